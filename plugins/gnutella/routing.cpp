#include "plugins/gnutella/routing.h"

#include <mutex>
#include <vector>

#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaPacket.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/broadcasts.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/dropCounts.h"
#include "plugins/gnutella/linkControl.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/peerReader.h"

namespace vesk::gnutella {

namespace {

// Where the servent identifier lies in a query hit's kept record.
constexpr std::size_t hitRecordServent = 11;

guid16 guidOf(const CGnutellaPacket* packet) {
    return guid16::from(packet->Guid());
}

unsigned char nextHops(unsigned char hops) {
    return hops < 0xFF ? static_cast<unsigned char>(hops + 1) : hops;
}

// True when pred holds for some link that is up.
template <class P>
bool anyActiveHost(P pred) {
    std::lock_guard<std::recursive_mutex> hold(g_ActiveHostList.guard);
    for (auto& entry : g_ActiveHostList.items)
        if (pred(*entry.second))
            return true;
    return false;
}

// The descriptor as it leaves this node: the packet's TTL and hops.
std::vector<unsigned char> outgoingCopy(const unsigned char* bytes, std::size_t size, const CGnutellaPacket* packet) {
    std::vector<unsigned char> out(bytes, bytes + size);
    out[header::ttl] = packet->Ttl();
    out[header::hops] = packet->Hops();
    return out;
}

bool isRoute(const CGnutellaHost& host, unsigned routeKind, const unsigned char* bytes, std::size_t size) {
    peerReader descriptor(bytes, size);
    const unsigned char* guid = descriptor.BytesAt(0, guidSize);
    switch (routeKind) {
        case kind::pong:
            return guid && host.m_Routes.HasReceived(kind::ping, guid16::from(guid));
        case kind::queryHit:
            return guid && host.m_Routes.HasReceived(kind::query, guid16::from(guid));
        case kind::push: {
            const unsigned char* servent = descriptor.BytesAt(descriptorHeaderSize, guidSize);
            return servent && host.m_Routes.HasServent(guid16::from(servent));
        }
        default:
            return false;
    }
}

bool routedBack(unsigned routeKind) {
    return routeKind == kind::pong || routeKind == kind::queryHit || routeKind == kind::push;
}

}  // namespace

unsigned RouteKindOf(unsigned char functionCode) {
    switch (functionCode) {
        case function::ping:
            return kind::ping;
        case function::pong:
            return kind::pong;
        case function::query:
            return kind::query;
        case function::queryHit:
            return kind::queryHit;
        case function::push:
            return kind::push;
        default:
            return kind::count;
    }
}

int SendToHost(CGnutellaHost* host, const void* bytes, unsigned long length) {
    if (!host || !host->m_Link)
        return -1;
    if (host->m_Link->status() != net::status::connected)
        return 0;
    ++host->m_SentCount;
    int sent = SendOnLink(host, bytes, length);
    if (!sent)
        CountDrop(dropReason::sendRefused);
    return sent;
}

int AddRoute(CGnutellaHost* host, const CGnutellaPacket* packet, unsigned routeKind) {
    if (!host || !packet || routeKind >= kind::count)
        return -1;
    g_Settings.CountReceived(routeKind);
    if (routeKind == kind::queryHit) {
        peerReader record(packet->m_Payload.data(), packet->m_Payload.size());
        if (const unsigned char* servent = record.BytesAt(hitRecordServent, guidSize))
            host->m_Routes.AddServent(guid16::from(servent));
    }
    return host->m_Routes.AddReceived(routeKind, guidOf(packet));
}

int RememberSent(CGnutellaHost* host, const CGnutellaPacket* packet, unsigned routeKind) {
    if (!host || !packet || routeKind >= kind::count)
        return -1;
    g_Settings.CountSent(routeKind);
    return host->m_Routes.AddSent(routeKind, guidOf(packet));
}

int RememberSentAll(const CGnutellaPacket* packet, unsigned routeKind, const CGnutellaHost* except) {
    std::lock_guard<std::recursive_mutex> hold(g_ActiveHostList.guard);
    for (auto& entry : g_ActiveHostList.items)
        if (entry.second != except)
            RememberSent(entry.second, packet, routeKind);
    return 1;
}

bool SeenByAnyHost(const CGnutellaPacket* packet, unsigned routeKind) {
    if (!packet)
        return false;
    guid16 id = guidOf(packet);
    return anyActiveHost([&](const CGnutellaHost& h) { return h.m_Routes.HasReceived(routeKind, id); });
}

bool SentToAnyHost(const CGnutellaPacket* packet, unsigned routeKind) {
    if (!packet)
        return false;
    guid16 id = guidOf(packet);
    return anyActiveHost([&](const CGnutellaHost& h) { return h.m_Routes.HasSent(routeKind, id); });
}

int ClearRoutingMemory(CGnutellaHost* host) {
    if (host)
        host->m_Routes.Clear();
    return 0;
}

int ForwardToHost(CGnutellaHost* host, const unsigned char* bytes, std::size_t size, CGnutellaPacket* packet) {
    if (!host || !packet)
        return -1;
    unsigned routeKind = RouteKindOf(packet->Function());
    peerReader received(bytes, size);
    unsigned char ttl = received.U8At(header::ttl);
    unsigned char hops = received.U8At(header::hops);
    if (!routedBack(routeKind) || received.Failed())
        return -1;
    if (ttl == 0)
        return 0;
    packet->m_Header[header::ttl] = static_cast<unsigned char>(ttl - 1);
    packet->m_Header[header::hops] = nextHops(hops);
    if (!isRoute(*host, routeKind, bytes, size))
        return 0;
    std::vector<unsigned char> out = outgoingCopy(bytes, size, packet);
    SendToHost(host, out.data(), static_cast<unsigned long>(out.size()));
    return 1;
}

int ForwardToHosts(const unsigned char* bytes, std::size_t size, CGnutellaHost* from, CGnutellaPacket* packet) {
    peerReader received(bytes, size);
    unsigned char ttl = received.U8At(header::ttl);
    unsigned char hops = received.U8At(header::hops);
    if (!packet || received.Failed())
        return 0;
    unsigned routeKind = RouteKindOf(packet->Function());
    if (routedBack(routeKind)) {
        std::lock_guard<std::recursive_mutex> hold(g_ActiveHostList.guard);
        for (auto& entry : g_ActiveHostList.items) {
            // Never back to the link it came from.
            if (entry.second != from && ForwardToHost(entry.second, bytes, size, packet) != 0)
                break;
        }
        return 0;
    }
    packet->m_Header[header::hops] = nextHops(hops);
    if (ttl == 0)
        return 0;
    packet->m_Header[header::ttl] = static_cast<unsigned char>(ttl - 1);
    std::vector<unsigned char> out = outgoingCopy(bytes, size, packet);
    QueueBroadcast(from, out.data(), out.size());
    return 0;
}

}  // namespace vesk::gnutella
