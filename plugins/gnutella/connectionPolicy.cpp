#include "plugins/gnutella/connectionPolicy.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "plugins/gnutella/CGWebCache.h"
#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaHostCatch.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/dialling.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/hostCache.h"
#include "plugins/gnutella/moduleLists.h"

namespace vesk::gnutella {

namespace {

// Hosts the cache gives per turn.
constexpr int firstDials = 3;  // while no link is up
constexpr int laterDials = 1;

bool listHasLinkTo(guardedList<hostMap>& list, const hostAddress& host) {
    std::lock_guard<std::recursive_mutex> hold(list.guard);
    for (auto& entry : list.items) {
        const CGnutellaHost* link = entry.second;
        if (link->m_Port == host.port &&
            (host.address == link->m_AddressText || host.address == link->m_HostName))
            return true;
    }
    return false;
}

// A peer learnt back from its own pongs is already linked: dialling it
// again would show and serve the same peer twice.
bool linkedOrBeingSetUp(const hostAddress& host) {
    return listHasLinkTo(g_InactiveHostList, host) || listHasLinkTo(g_ActiveHostList, host);
}

}  // namespace

int MaintainConnections() {
    if (!IsOnline())
        return 0;
    trackerCounts counts = g_Settings.Counts();
    std::uint32_t wanted = counts.links + counts.connecting;
    if (wanted >= g_Settings.m_MinTotalConnections || wanted >= g_Settings.m_MaxOutgoing)
        return 0;
    if (!HostCatcherEmpty()) {
        for (int i = counts.links == 0 ? firstDials : laterDials; i > 0; --i) {
            std::unique_ptr<CGnutellaHostCatch> host(PopHostCatcher());
            if (host && !linkedOrBeingSetUp(hostAddress{host->m_AddressText, host->m_Port}))
                ConnectToHost(host->m_AddressText, host->m_Port);
        }
        return 0;
    }
    if (counts.connecting != 0)
        return 0;
    if (std::unique_ptr<CGnutellaHostCatch> host{PopSuccessfulHost()}) {
        QueueRequestedConnection(host->m_AddressText, host->m_Port);
        return 0;
    }
    RequestWebCacheHosts();
    return 0;
}

int ConnectQuickList() {
    std::vector<hostAddress> hosts;
    {
        lockGuard hold(g_State.quickConnectLock);
        for (auto& entry : g_QuickConnect)
            hosts.push_back(hostAddress{entry.second->m_AddressText, entry.second->m_Port});
    }
    if (hosts.empty())
        return -1;
    for (const hostAddress& host : hosts)
        if (!linkedOrBeingSetUp(host))
            QueueRequestedConnection(host.address.c_str(), host.port);
    return 0;
}

}  // namespace vesk::gnutella
