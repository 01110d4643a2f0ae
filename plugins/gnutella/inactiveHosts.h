// The link machine of the listener thread: every link of
// g_InactiveHostList (dialled, accepted or in its handshake) takes one step
// per turn until it is up, refused or failed.
#pragma once

#include <cstdint>

namespace vesk::gnutella {

class CGnutellaHost;

// A connection a peer opened gets this long, from its accept, for its first
// message (a connect, a request, a GIV) before it is closed: the wait the
// handshake allows for a peer's final reply.
constexpr std::uint32_t acceptedSilenceMs = 3000;

// One step of one link, by the node's online state, its descriptor's
// status and its state. 1 when the link is done with g_InactiveHostList.
//
// Online and connected: a dialled link sends its 0.6 connect; an answer
// awaited more than 1000 ms (3000 ms for a peer's final reply, and for the
// first message of a connection a peer opened) closes the descriptor;
// otherwise the bytes received go to the reader of the state.
// Online and idle: a waiting link is dialled; any other has ended (closed,
// 1), as has a failed one. Offline: a link being dialled or up closes and
// waits to be dialled again; an accepted one closes and ends.
int ServiceInactiveHost(CGnutellaHost* host);

// Steps every link in key order. A link done with the list leaves it and
// the count of links being connected; it then goes where its step handed
// it (the active list, the transfer list) or, failed or refused, its row
// leaves the connection list and it is destroyed. While the module shuts
// down every link is destroyed instead. 0.
int ServiceInactiveHosts();

}  // namespace vesk::gnutella
