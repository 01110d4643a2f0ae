// The "Gnutella Active Host Update Thread": the links that are up
// (g_ActiveHostList), the new searches' Queries and the searches to stop.
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/hostCache.h"
#include "plugins/gnutella/searches.h"
#include "plugins/gnutella/workerThreads.h"

namespace vesk::gnutella {

namespace {

void ServiceActiveHosts() {
    if (IsShuttingDown())
        DestroyHosts(g_ActiveHostList);
}

void activeHostTurn() {
    ServiceActiveHosts();
    PromotePendingSearches();
    MarkRemovedSearches();
}

void saveAndClearHostCache() {
    SaveHostCatcher();
    ClearHostCatcher();
}

}  // namespace

int active_host_update_thread(Ithread* thread) {
    return RunWorkerLoop(thread,
                         workerLoop{&activeHostTurn, &g_ActiveHostList, &saveAndClearHostCache, nullptr});
}

}  // namespace vesk::gnutella
