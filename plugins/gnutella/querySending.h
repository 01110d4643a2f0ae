// This node's own Query going out: once on every link that is up, in the
// turn after its search was started (links that come up later are sent the
// active queries by the handshake).
#pragma once

#include <vector>

namespace vesk::gnutella {

// Sends the whole Query descriptor on every connected link of
// g_ActiveHostList (send mode on around each send) and remembers it as
// sent on every link that is up, so that it is known when it comes back.
// The number of links that took it; 0 for bytes that are no Query.
int SendQueryToAllLinks(const std::vector<unsigned char>& query);

}  // namespace vesk::gnutella
