// This node's pushes as downloader: asking a source behind a firewall to
// connect back with a GIV, and giving up when it does not.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vesk::gnutella {

class CGnutellaHost;

// The longest GIV line (without its "\n\n") either side keys a push by;
// both cut theirs here, so a long file name still gives equal keys.
constexpr std::size_t givKeyLimit = 259;

// "GIV " index ":" the servent as 32 upper-case hex digits "/" name, cut to
// givKeyLimit characters.
std::string GivKey(std::uint32_t index, const unsigned char* servent, const char* name);

// The 49-byte Push: a new descriptor GUID, this node's TTL, the servent,
// the index, this node's address and port (the reported ones when
// Gnutella_EnableReported is on).
std::vector<unsigned char> PushDescriptor(const unsigned char* servent, std::uint32_t index);

// Files the push this download waits for under its GIV key and queues the
// Push for the active host thread, which sends it on the first link that
// saw the source's query hits. 0 when queued; -1 when the row carries no
// servent identifier. Called with the download connection's lock (and
// from the row actions g_TransferHostList's guard) held: it takes no guard
// earlier in the module's lock order.
int RequestPush(CGnutellaHost* host);

// Active host thread: sends the Pushes queued since its last turn. A Push
// no link can route marks its download, which ends with status 994.
void SendRequestedPushes();
// Drops what is queued (the module stops).
void ClearRequestedPushes();

// A download waiting for a GIV (awaitingGiv, its own link closed): a Push
// that found no route ends it with 994 at once; otherwise after 10000 ms
// from the stamp it ends with 991 when no push can work (both ends
// private, nothing reported) or 992.
int HandlePushWait(CGnutellaHost* host);

}  // namespace vesk::gnutella
