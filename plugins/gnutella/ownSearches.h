// This node's own queries: each new search's Query goes out on every link
// that is up once, in the turn after it was started, and the search then
// waits for hits among the active ones. Runs on the active host thread.
#pragma once

#include <cstddef>

namespace vesk::gnutella {

// Sends the Query on every link that is up (send mode on around each send)
// and remembers it as sent on each. 0, or -1 when no link is up or the
// bytes are no Query.
int SendQueryToAll(const unsigned char* query, std::size_t size);

// Takes every search waiting to be sent: makes it active under its GUID
// (replacing one with the same GUID) and sends its Query to all links,
// pausing 1 ms after each. A search is active even when no link is up: the
// links that come up later are sent the active queries. 0.
int PromotePendingSearches();

}  // namespace vesk::gnutella
