// Routing over the links that are up: their memories, sending on one link,
// and forwarding a descriptor by its kind (pings and queries broadcast on
// the next turn, pongs, query hits and pushes routed back at once along the
// path their request came by).
//
// Runs on the active host thread; the memory look-ups also serve other
// threads. g_ActiveHostList's guard is held only around walks and sends,
// never around a call into the user interface.
#pragma once

#include <cstddef>

namespace vesk::gnutella {

class CGnutellaHost;
class CGnutellaPacket;

// The routing kind of a function code (kind::ping .. kind::push), or
// kind::count for any other code.
unsigned RouteKindOf(unsigned char functionCode);

// -1 when the link has no descriptor, 0 when it is not connected, else the
// result of send; the link's sent count goes up by one. A send the network
// module refuses drops the bytes and is counted on the link and as dropped.
int SendToHost(CGnutellaHost* host, const void* bytes, unsigned long length);

// Counts the descriptor as received (sent) in the statistics and enters
// its GUID in the link's memory of that kind: 1 when added, 0 when it was
// there, -1 for a kind outside 0..4. A query hit's servent identifier
// enters the link's servent memory as well.
int AddRoute(CGnutellaHost* host, const CGnutellaPacket* packet, unsigned routeKind);
int RememberSent(CGnutellaHost* host, const CGnutellaPacket* packet, unsigned routeKind);
// RememberSent on every link that is up but except (null: all). 1.
int RememberSentAll(const CGnutellaPacket* packet, unsigned routeKind, const CGnutellaHost* except);

// Whether any link that is up has received (sent) the GUID in that kind.
bool SeenByAnyHost(const CGnutellaPacket* packet, unsigned routeKind);
bool SentToAnyHost(const CGnutellaPacket* packet, unsigned routeKind);

// Forgets a closed link's routes. 0.
int ClearRoutingMemory(CGnutellaHost* host);

// Pings, queries and other codes: hops + 1 in the packet and, when the
// received TTL is above 0, TTL - 1 too and the changed bytes queued for
// broadcast; TTL 0 is not queued. Pongs, query hits and pushes: offered to
// each link that is up in key order but the one they came from
// (ForwardToHost) until one takes it. bytes stay as received. 0.
int ForwardToHosts(const unsigned char* bytes, std::size_t size, CGnutellaHost* from, CGnutellaPacket* packet);

// Routes a pong, query hit or push back on this link when the link is its
// route (the ping or query was received here; the push's servent was seen
// in a query hit here), with TTL - 1 and hops + 1: 1 when this link is the
// route, 0 when not or when the received TTL is 0, -1 for another kind.
int ForwardToHost(CGnutellaHost* host, const unsigned char* bytes, std::size_t size, CGnutellaPacket* packet);

}  // namespace vesk::gnutella
