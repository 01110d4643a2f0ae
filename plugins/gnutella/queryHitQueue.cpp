#include "plugins/gnutella/queryHitQueue.h"

#include <mutex>

#include "plugins/gnutella/CGnutellaQueryHitContainer.h"
#include "plugins/gnutella/CGnutellaSearch.h"

namespace vesk::gnutella {

void QueueQueryHit(CGnutellaSearch& search, std::unique_ptr<CGnutellaQueryHitContainer> hit) {
    if (!hit || search.m_Stopping)
        return;
    std::lock_guard<std::mutex> hold(search.m_HitsLock);
    search.m_Hits.push_back(std::move(hit));
}

std::unique_ptr<CGnutellaQueryHitContainer> TakeQueryHit(CGnutellaSearch& search) {
    std::lock_guard<std::mutex> hold(search.m_HitsLock);
    if (search.m_Hits.empty())
        return nullptr;
    std::unique_ptr<CGnutellaQueryHitContainer> hit = std::move(search.m_Hits.front());
    search.m_Hits.pop_front();
    return hit;
}

}  // namespace vesk::gnutella
