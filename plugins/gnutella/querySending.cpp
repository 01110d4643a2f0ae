#include "plugins/gnutella/querySending.h"

#include <memory>
#include <mutex>

#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaPacket.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/routing.h"

namespace vesk::gnutella {

int SendQueryToAllLinks(const std::vector<unsigned char>& query) {
    std::unique_ptr<CGnutellaPacket> packet(ClonePacketBytes(query.data(), query.size()));
    if (!packet || packet->Function() != function::query)
        return 0;
    int sent = 0;
    std::lock_guard<std::recursive_mutex> hold(g_ActiveHostList.guard);
    for (auto& entry : g_ActiveHostList.items) {
        CGnutellaHost* link = entry.second;
        if (!link->m_Link || link->m_Link->status() != net::status::connected)
            continue;
        // One write, gathered and handed over at once.
        link->m_Link->setSendMode(true);
        if (SendToHost(link, query.data(), static_cast<unsigned long>(query.size())) == 1)
            ++sent;
        link->m_Link->setSendMode(false);
    }
    RememberSentAll(packet.get(), kind::query, nullptr);
    return sent;
}

}  // namespace vesk::gnutella
