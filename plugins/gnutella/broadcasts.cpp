#include "plugins/gnutella/broadcasts.h"

#include <mutex>
#include <new>

#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/moduleRecords.h"
#include "plugins/gnutella/routing.h"

namespace vesk::gnutella {

namespace {

unsigned long buffersWaiting(net::ITCPDescriptor* link) {
    auto* queues = interfaceCast<net::IPrivateBaseDescriptor>(link);
    net::IOutQueue* out = queues ? queues->outQueue() : nullptr;
    return out ? out->size() : 0;
}

}  // namespace

int QueueBroadcast(const CGnutellaHost* from, const unsigned char* bytes, std::size_t size) {
    if (!bytes)
        return -1;
    auto* broadcast = new (std::nothrow) CGnutellaBroadcast();
    if (!broadcast)
        return 0;
    broadcast->m_HasSource = from != nullptr;
    if (from)
        broadcast->m_Source = from->m_Id;
    try {
        broadcast->m_Bytes.assign(bytes, bytes + size);
        std::lock_guard<std::recursive_mutex> hold(g_PendingBroadcastList.guard);
        g_PendingBroadcastList.items.push_back(broadcast);
    } catch (...) {
        delete broadcast;
    }
    return 0;
}

int SendBroadcastsToHost(CGnutellaHost* host) {
    if (!host || !host->m_Link || buffersWaiting(host->m_Link) > broadcastOutQueueLimit)
        return -1;
    std::lock_guard<std::recursive_mutex> hold(g_PendingBroadcastList.guard);
    for (CGnutellaBroadcast* broadcast : g_PendingBroadcastList.items) {
        if (broadcast->m_Fresh || (broadcast->m_HasSource && broadcast->m_Source == host->m_Id))
            continue;
        SendToHost(host, broadcast->m_Bytes.data(), static_cast<unsigned long>(broadcast->m_Bytes.size()));
    }
    return 0;
}

int ExpireBroadcasts() {
    std::list<CGnutellaBroadcast*> offered;
    {
        std::lock_guard<std::recursive_mutex> hold(g_PendingBroadcastList.guard);
        auto& items = g_PendingBroadcastList.items;
        for (auto it = items.begin(); it != items.end();) {
            if ((*it)->m_Fresh) {
                (*it)->m_Fresh = false;
                ++it;
            } else {
                offered.push_back(*it);
                it = items.erase(it);
            }
        }
    }
    for (CGnutellaBroadcast* broadcast : offered)
        delete broadcast;
    return 0;
}

}  // namespace vesk::gnutella
