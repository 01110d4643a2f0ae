// The web caches the shipped module knows before it has learned any: the
// project's own. Only the plug-in links this file; test builds carry an
// empty list instead, so that no test can reach them.
#include "plugins/gnutella/CGWebCache.h"

namespace vesk::gnutella {

std::vector<std::string> BuiltInWebCaches() {
    return {"gwc1.pelloran.net/gcache.php", "gwc2.pelloran.net/gcache/gcache.asp",
            "gwc3.pelloran.net/gcache/gcache.php"};
}

}  // namespace vesk::gnutella
