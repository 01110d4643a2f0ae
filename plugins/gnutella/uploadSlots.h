// Upload slots: at most Gnutella_MaxUploadsPerIP running uploads per peer
// address (g_HostIPUploadCount), and the running uploads the tracker
// counts against Gnutella_MaxUploads.
#pragma once

namespace vesk::gnutella {

class CGnutellaHost;

// One more upload for the address: false when it already has
// Gnutella_MaxUploadsPerIP (the first upload of an address is always
// admitted) or for a null address.
bool AddUploadForIp(const char* address);
// One upload fewer; true when that was the address's last (its entry goes).
bool RemoveUploadForIp(const char* address);

// The upload's slot and its row among the running uploads given back, once
// per transfer however many of its ending paths get here.
void ReleaseUploadSlot(CGnutellaHost* host);

}  // namespace vesk::gnutella
