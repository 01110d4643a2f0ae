// A Push addressed to this node: the peer asks it to connect out and offer
// one of its shared files. This is the one hand-over point between
// descriptor handling and the upload side.
#pragma once

namespace vesk::gnutella {

class CGnutellaPacket;

// Takes a Push whose servent identifier is this node's client GUID. The
// connection it makes is kept in g_TransferHostList under the push's GUID;
// handle_packet hands over no push whose GUID already names a connection
// there. -1 when nothing was done, otherwise the result of the dial.
//
// Stands in for the upload side, which is not built yet: until then a push
// to this node is taken and nothing is done (-1).
int HandlePushToUs(const CGnutellaPacket* push);

}  // namespace vesk::gnutella
