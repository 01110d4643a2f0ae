// A Push addressed to this node: the peer asks it to connect out and offer
// one of its shared files. This is the one hand-over point between
// descriptor handling and the upload side.
#pragma once

#include <cstdint>

#include "plugins/gnutella/guid16.h"

namespace vesk::gnutella {

class CGnutellaHost;
class CGnutellaPacket;

// At most this many push uploads are being set up at once (dialling the
// requester, or holding the GIV's connection until its request comes): a
// peer that repeats Pushes cannot open connections without bound.
constexpr unsigned maxPushSetUps = 8;
// The requester's request is awaited this long after the GIV went out (the
// module's request time-out); then the connection is closed.
constexpr std::uint32_t givAnswerTimeoutMs = 5000;

// Takes a Push whose servent identifier is this node's client GUID: when
// the index names a shared file, dials the requester and keeps the
// connection in g_TransferHostList under an identifier of its own
// (pushConnecting), whose first step sends the GIV. -1 when nothing was
// done (no such file, an address or port no connection can go to, no
// descriptor, a Push taken before, maxPushSetUps being set up), otherwise
// the result of the dial.
int HandlePushToUs(const CGnutellaPacket* push);

// Whether a Push to this node with that GUID was taken before (a repeat of
// it is dropped: its connection exists or existed). The last few are kept.
bool PushTakenBefore(const guid16& pushGuid);

// A connection that sent the GIV (g_InactiveHostList, its first data not
// read yet) and has received no request within givAnswerTimeoutMs.
bool GivAnswerOverdue(const CGnutellaHost* host);

}  // namespace vesk::gnutella
