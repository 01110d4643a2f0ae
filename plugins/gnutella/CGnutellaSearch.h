// One search of this module: its query, its identifier (the GUID of its
// Query descriptor), the manager's search instance, the search's own thread
// and the query hits waiting for that thread. The search lists do not own
// searches: a search is destroyed by its own thread once it is stopping,
// after it has taken itself out of every list.
#pragma once

#include <atomic>
#include <cstddef>
#include <list>
#include <mutex>

#include "plugins/gnutella/guid16.h"
#include "vesk/ss.h"
#include "vesk/threading.h"

namespace vesk::gnutella {

class CGnutellaQueryHitContainer;

constexpr unsigned queryTextSize = 256;
// A Query's payload holds at most 257 bytes (the framing refuses more):
// the minimum speed (2), the text and its terminator.
constexpr std::size_t maxQueryTextLength = 254;
// Hits waiting for one search, in descriptor bytes; a peer that floods a
// search with hits faster than its thread reads them is not followed.
constexpr std::size_t maxQueuedHitBytes = 4u << 20;

class CGnutellaSearch {
public:
    CGnutellaSearch() = default;
    // Marks it stopping, destroys the hits still queued, lets go of its
    // thread (asked to stop, not waited for) and of its instance.
    virtual ~CGnutellaSearch();
    CGnutellaSearch(const CGnutellaSearch&) = delete;
    CGnutellaSearch& operator=(const CGnutellaSearch&) = delete;

    char m_Query[queryTextSize] = {};  // at most maxQueryTextLength characters
    guid16 m_Guid;
    ss::ISearchInst* m_Instance = nullptr;  // one reference held, may be null
    Ithread* m_Thread = nullptr;            // one reference held, may be null
    // Once true the search takes no hits and its thread ends.
    std::atomic<bool> m_Stopping{false};

    // Guards the hit queue and its byte count. Taken alone, or inside the
    // search lists' guard; never held across a call out of the module.
    std::mutex m_HitLock;
    std::list<CGnutellaQueryHitContainer*> m_Hits;  // oldest first; owned
    std::size_t m_QueuedBytes = 0;
};

// Copies the text (null counts as empty) into the search's query, cut to
// maxQueryTextLength characters.
void SetQueryText(CGnutellaSearch& search, const char* text);

}  // namespace vesk::gnutella
