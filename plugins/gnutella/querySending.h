// Stands in for the routing side's sending of this node's own Query: the
// routing code owns the links' sending and replaces this file's
// definition (it also remembers the Query as sent on each link).
#pragma once

#include <vector>

namespace vesk::gnutella {

// Sends the whole Query descriptor on every connected link of
// g_ActiveHostList. The number of links that took it.
int SendQueryToAllLinks(const std::vector<unsigned char>& query);

}  // namespace vesk::gnutella
