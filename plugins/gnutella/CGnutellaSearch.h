// One search of this module: its query, its identifier (the GUID of its
// Query descriptor), the manager's search instance and the search's own
// thread. The search lists do not own searches: a search is destroyed by
// its own thread once it is stopping.
#pragma once

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>

#include "plugins/gnutella/CGnutellaQueryHitContainer.h"
#include "plugins/gnutella/guid16.h"
#include "vesk/ss.h"
#include "vesk/threading.h"

namespace vesk::gnutella {

constexpr unsigned queryTextSize = 256;

class CGnutellaSearch {
public:
    CGnutellaSearch() = default;
    virtual ~CGnutellaSearch();
    CGnutellaSearch(const CGnutellaSearch&) = delete;
    CGnutellaSearch& operator=(const CGnutellaSearch&) = delete;

    char m_Query[queryTextSize] = {};
    guid16 m_Guid;
    ss::ISearchInst* m_Instance = nullptr;  // one reference held, may be null
    Ithread* m_Thread = nullptr;            // one reference held, may be null
    // Once true the search takes no hits and its thread ends.
    std::atomic<bool> m_Stopping{false};

    // Query hits answering it, oldest first (queryHitQueue.h).
    std::mutex m_HitsLock;
    std::deque<std::unique_ptr<CGnutellaQueryHitContainer>> m_Hits;
};

}  // namespace vesk::gnutella
