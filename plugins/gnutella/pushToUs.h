// A Push addressed to this node: the peer asks it to connect out and offer
// one of its shared files. This is the one hand-over point between
// descriptor handling and the upload side.
#pragma once

namespace vesk::gnutella {

class CGnutellaPacket;

// Takes a Push whose servent identifier is this node's client GUID: when
// the index names a shared file, dials the requester and keeps the
// connection in g_TransferHostList under the push's GUID (pushConnecting),
// whose first step sends the GIV. handle_packet hands over no push whose
// GUID already names a connection there. -1 when nothing was done (no such
// file, an address or port no connection can go to, no descriptor),
// otherwise the result of the dial.
int HandlePushToUs(const CGnutellaPacket* push);

}  // namespace vesk::gnutella
