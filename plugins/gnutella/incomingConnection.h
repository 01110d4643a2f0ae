// The first data of an accepted connection decides what it is: a 0.4 or
// 0.6 Gnutella connect, a push answer ("GIV ") or an upload request
// ("GET "); anything else is refused.
#pragma once

#include <string_view>

namespace vesk::gnutella {

class CGnutellaHost;

// Classifies the text of the connection's first receive, in this order:
// the configured connect string or "GNUTELLA CONNECT/0.4\n\n" (any case) is
// answered as a 0.4 connect; "GIV " (exact case) goes to the push side;
// "GET " (any case) to the upload side; "GNUTELLA CONNECT/" (any case) is
// answered as a 0.6 connect. The result of the branch taken; anything else
// is refused (1).
int HandleIncomingConnection(CGnutellaHost* host, std::string_view text);

}  // namespace vesk::gnutella
