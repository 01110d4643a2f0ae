// The "Gnutella Active Host Update Thread": serves the links that are up
// (g_ActiveHostList), makes pending searches active, expires broadcasts, steps the
// web-cache exchanges, sends this node's pushes, stops removed searches,
// trims the host cache when asked and dials requested links.
#include "plugins/gnutella/CGWebCache.h"
#include "plugins/gnutella/activeHosts.h"
#include "plugins/gnutella/dialling.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/hostCache.h"
#include "plugins/gnutella/hostWindow.h"
#include "plugins/gnutella/pushRequests.h"
#include "plugins/gnutella/broadcasts.h"
#include "plugins/gnutella/searches.h"
#include "plugins/gnutella/workerThreads.h"

namespace vesk::gnutella {

namespace {

void activeHostTurn() {
    ServiceActiveHosts();
    SendRequestedPushes();
    PromotePendingSearches();
    ExpireBroadcasts();
    WebCacheStep();
    MarkRemovedSearches();
}

// Once no link is left at shutdown.
void saveAndClearHostCache() {
    SaveHostCatcher();
    ClearHostCatcher();
}

void lateActiveHostTurn() {
    HookLateHostWindow();
    ServeHostCacheRequests();
    ServiceRequestedConnections();
}

void afterFailure() {
    ClearActiveHostsAfterFailure();
    LogLine("**Gnutella** - respawning active host thread - exception caught and all active hosts cleared\r\n");
}

}  // namespace

int active_host_update_thread(Ithread* thread) {
    return RunWorkerLoop(thread, workerLoop{&activeHostTurn, &g_ActiveHostList, &saveAndClearHostCache, nullptr,
                                            &lateActiveHostTurn, &afterFailure});
}

}  // namespace vesk::gnutella
