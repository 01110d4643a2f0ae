#include "plugins/gnutella/searchHits.h"

#include <mutex>

#include "plugins/gnutella/CGnutellaQueryHitContainer.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/searches.h"

namespace vesk::gnutella {

bool QueueQueryHitForSearch(const guid16& queryId, const unsigned char* descriptor, std::size_t length) {
    CGnutellaQueryHitContainer* hit = NewQueryHitContainer(descriptor, length);
    if (!hit)
        return false;
    // Under the lists' guard the search cannot end: its thread takes itself
    // out of the lists under the same guard before it destroys the search.
    std::lock_guard<std::recursive_mutex> hold(g_SearchListsGuard);
    auto found = g_ActiveSearchList.find(queryId);
    if (found == g_ActiveSearchList.end()) {
        delete hit;
        return false;
    }
    return QueueQueryHit(found->second, hit) == 1;
}

}  // namespace vesk::gnutella
