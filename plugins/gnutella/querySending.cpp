#include "plugins/gnutella/querySending.h"

#include <mutex>

#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/moduleLists.h"

namespace vesk::gnutella {

int SendQueryToAllLinks(const std::vector<unsigned char>& query) {
    if (query.empty())
        return 0;
    int sent = 0;
    std::lock_guard<std::recursive_mutex> hold(g_ActiveHostList.guard);
    for (auto& entry : g_ActiveHostList.items) {
        CGnutellaHost* link = entry.second;
        if (!link->m_Link || link->m_Link->status() != net::status::connected)
            continue;
        // One write, gathered and handed over at once.
        link->m_Link->setSendMode(true);
        bool taken = link->m_Link->send(query.data(), query.size()) == 1;
        link->m_Link->setSendMode(false);
        if (taken) {
            ++link->m_SentCount;
            ++sent;
        } else {
            ++link->m_DroppedCount;  // refused: the Query never reaches that peer
        }
    }
    return sent;
}

}  // namespace vesk::gnutella
