// The "Gnutella Active Host Update Thread": the links that are up
// (g_ActiveHostList), this node's new searches, the broadcasts and the
// searches to stop.
//
// Links leave g_ActiveHostList only on this thread (and after it ended), so
// the link pointers a turn took from the list stay valid through the turn
// without the list's guard being held; other threads only add links.
#include <mutex>
#include <vector>

#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/broadcasts.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/hostCache.h"
#include "plugins/gnutella/ownSearches.h"
#include "plugins/gnutella/readDescriptors.h"
#include "plugins/gnutella/workerThreads.h"

namespace vesk::gnutella {

namespace {

// The host step of one link that is up: 1 when the link is to go. Stands in
// for the links side's, which also closes the links when going offline,
// drops busy links after their time and dials dropped outgoing links again;
// here a connected link has its traffic served and a link that ended or
// failed goes.
int ServiceActiveHost(CGnutellaHost& host) {
    int status = host.m_Link ? host.m_Link->status() : net::status::idle;
    if (status == net::status::connected)
        return ServiceLinkTraffic(host);
    return status == net::status::idle || status == net::status::failed ? 1 : 0;
}

void ServiceActiveHosts() {
    if (IsShuttingDown()) {
        DestroyHosts(g_ActiveHostList);
        return;
    }
    std::vector<CGnutellaHost*> links;
    {
        std::lock_guard<std::recursive_mutex> hold(g_ActiveHostList.guard);
        for (auto& entry : g_ActiveHostList.items)
            links.push_back(entry.second);
    }
    for (CGnutellaHost* host : links) {
        if (ServiceActiveHost(*host) != 1)
            continue;
        {
            std::lock_guard<std::recursive_mutex> hold(g_ActiveHostList.guard);
            g_ActiveHostList.items.erase(host->m_Id);
        }
        delete host;
    }
}

void activeHostTurn() {
    ServiceActiveHosts();
    PromotePendingSearches();
    ExpireBroadcasts();
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
