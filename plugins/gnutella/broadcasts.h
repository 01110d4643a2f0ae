// The broadcast queue: pings and queries to pass on wait here for the next
// turn of the active host thread, in which each connected link but the one
// they came from is offered them once; they go at the end of that turn.
// The host window's ping (GUI thread) queues here as well.
#pragma once

#include <cstddef>

namespace vesk::gnutella {

class CGnutellaHost;

// A link with more buffers than this waiting to go out gets no broadcasts
// in that turn (and so never gets those).
constexpr unsigned long broadcastOutQueueLimit = 1000;

// Queues a copy of the descriptor, marked fresh; from is the link it came
// from (null: this node's own). 0, or -1 for null bytes.
int QueueBroadcast(const CGnutellaHost* from, const unsigned char* bytes, std::size_t size);

// Sends every broadcast that is not fresh and did not come from this link,
// in queue order. 0, or -1 for a null link, a link without descriptor or one
// with more than broadcastOutQueueLimit buffers waiting.
int SendBroadcastsToHost(CGnutellaHost* host);

// End of a turn: deletes the broadcasts that were offered, and marks the
// fresh ones for the next turn. 0.
int ExpireBroadcasts();

}  // namespace vesk::gnutella
