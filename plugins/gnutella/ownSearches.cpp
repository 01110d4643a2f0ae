#include "plugins/gnutella/ownSearches.h"

#include <windows.h>

#include <memory>
#include <mutex>
#include <vector>

#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaPacket.h"
#include "plugins/gnutella/CGnutellaSearch.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/routing.h"

namespace vesk::gnutella {

namespace {

// Moves the first pending search to the active ones and gives its Query;
// empty when none waits. The search lists' guard is let go before the
// links' is taken (that is their order).
std::vector<unsigned char> promoteOne(bool& found) {
    std::lock_guard<std::recursive_mutex> hold(g_SearchListsGuard);
    found = !g_PendingSearchList.empty();
    if (!found)
        return {};
    CGnutellaSearch* search = g_PendingSearchList.front();
    g_PendingSearchList.pop_front();
    g_ActiveSearchList[search->m_Guid] = search;
    return QueryDescriptor(search->m_Guid.bytes, search->m_Query, g_Settings.m_MinResponseSpeed,
                           g_Settings.m_LocalTTL);
}

}  // namespace

int SendQueryToAll(const unsigned char* query, std::size_t size) {
    std::unique_ptr<CGnutellaPacket> packet(ClonePacketBytes(query, size));
    if (!packet || packet->Function() != function::query)
        return -1;
    std::lock_guard<std::recursive_mutex> hold(g_ActiveHostList.guard);
    if (g_ActiveHostList.items.empty())
        return -1;
    for (auto& entry : g_ActiveHostList.items) {
        CGnutellaHost& host = *entry.second;
        if (host.m_Link)
            host.m_Link->setSendMode(true);
        SendToHost(host, query, size);
        if (host.m_Link)
            host.m_Link->setSendMode(false);
    }
    RememberSentAll(*packet, kind::query, nullptr);
    return 0;
}

int PromotePendingSearches() {
    for (;;) {
        bool found = false;
        std::vector<unsigned char> query = promoteOne(found);
        if (!found)
            return 0;
        if (!query.empty())
            SendQueryToAll(query.data(), query.size());
        Sleep(1);
    }
}

}  // namespace vesk::gnutella
