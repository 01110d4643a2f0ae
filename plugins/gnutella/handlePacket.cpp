#include "plugins/gnutella/handlePacket.h"

#include <memory>
#include <mutex>
#include <new>

#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaPacket.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/clock.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/dropCounts.h"
#include "plugins/gnutella/hostCache.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/peerReader.h"
#include "plugins/gnutella/pingAnswers.h"
#include "plugins/gnutella/pushToUs.h"
#include "plugins/gnutella/queryAnswers.h"
#include "plugins/gnutella/routing.h"
#include "plugins/gnutella/searchHits.h"

namespace vesk::gnutella {

namespace {

using handler = int (*)(CGnutellaHost*, CGnutellaPacket*, const unsigned char*, std::size_t);

int drop(dropReason reason) {
    CountDrop(reason);
    return 1;
}

// Counted on the link as well (its row shows them).
int dropOnLink(CGnutellaHost* host, dropReason reason) {
    ++host->m_DroppedCount;
    return drop(reason);
}

int handlePing(CGnutellaHost* host, CGnutellaPacket* ping, const unsigned char* bytes, std::size_t size) {
    if (ping->Ttl() == 1 && ping->Hops() == 0) {  // a neighbour asks this node alone
        AnswerPing(ping, host);
        return 1;
    }
    if (!AcceptPing())
        return drop(dropReason::pingThrottled);
    if (host->m_State == linkState::busy) {  // a link kept only to hand out pongs
        SendCachedPongs(ping, host);
        host->m_ActivityTime = TickNow();
        host->m_State = linkState::busyAnswered;
        return 0;
    }
    if (SentToAnyHost(ping, kind::ping))
        return dropOnLink(host, dropReason::ownDescriptorBack);
    if (SeenByAnyHost(ping, kind::ping))
        return drop(dropReason::duplicate);
    ForwardToHosts(bytes, size, host, ping);
    AddRoute(host, ping, kind::ping);
    AnswerPing(ping, host);
    return 1;
}

void addToPongTotals(const CGnutellaPacket* pong) {
    peerReader payload(pong->m_Payload.data(), pong->m_Payload.size());
    std::uint32_t files = payload.Le32At(6);
    std::uint32_t kilobytes = payload.Le32At(10);
    if (payload.Failed())
        return;
    ++g_Settings.m_PongHosts;
    g_Settings.m_PongFiles += files;
    g_Settings.m_PongKilobytes += kilobytes;
}

int handlePong(CGnutellaHost* host, CGnutellaPacket* pong, const unsigned char* bytes, std::size_t size) {
    AddPongHost(pong);
    if (SentToAnyHost(pong, kind::ping))  // it answers this node's ping
        addToPongTotals(pong);
    else
        ForwardToHosts(bytes, size, host, pong);
    return 1;
}

int handleQuery(CGnutellaHost* host, CGnutellaPacket* query, const unsigned char* bytes, std::size_t size) {
    if (SentToAnyHost(query, kind::query))
        return drop(dropReason::ownDescriptorBack);
    if (SeenByAnyHost(query, kind::query))
        return drop(dropReason::duplicate);
    HandleQuery(query, host);
    ForwardToHosts(bytes, size, host, query);
    AddRoute(host, query, kind::query);
    return 1;
}

int handleQueryHit(CGnutellaHost* host, CGnutellaPacket* hit, const unsigned char* bytes, std::size_t size) {
    if (SentToAnyHost(hit, kind::query)) {  // answers a search of this node
        if (!QueueQueryHitForSearch(guid16::from(hit->Guid()), bytes, size))
            return drop(dropReason::hitNotTaken);
        AddRoute(host, hit, kind::queryHit);
        return 1;
    }
    if (!SeenByAnyHost(hit, kind::query))
        return drop(dropReason::noRoute);
    AddRoute(host, hit, kind::queryHit);
    ForwardToHosts(bytes, size, host, hit);
    return 1;
}

int handlePush(CGnutellaHost* host, CGnutellaPacket* push, const unsigned char* bytes, std::size_t size) {
    peerReader descriptor(bytes, size);
    guid16 servent = guid16::from(descriptor.BytesAt(descriptorHeaderSize, guidSize));
    if (servent == guid16::from(g_Settings.m_ClientGuid)) {
        // A repeated push to us is taken once.
        if (PushTakenBefore(guid16::from(push->Guid())))
            return drop(dropReason::pushForKnownTransfer);
        HandlePushToUs(push);
        return 1;
    }
    if (SeenByAnyHost(push, kind::push))
        return drop(dropReason::duplicate);
    ForwardToHosts(bytes, size, host, push);
    AddRoute(host, push, kind::push);
    return 1;
}

struct descriptorHandler {
    unsigned char functionCode;
    std::size_t minimumPayload;
    handler handle;
};

constexpr descriptorHandler handlers[] = {
    {function::ping, minimumPingPayload, &handlePing},
    {function::pong, minimumPongPayload, &handlePong},
    {function::push, minimumPushPayload, &handlePush},
    {function::query, minimumQueryPayload, &handleQuery},
    {function::queryHit, minimumQueryHitPayload, &handleQueryHit},
};

const descriptorHandler* handlerFor(unsigned char functionCode) {
    for (const descriptorHandler& h : handlers)
        if (h.functionCode == functionCode)
            return &h;
    return nullptr;
}

}  // namespace

int handle_packet(CGnutellaHost* host, CGnutellaPacket* packet, const unsigned char* bytes, std::size_t size) {
    if (!host || !packet)
        return 1;
    ++host->m_ReceivedCount;
    peerReader descriptor(bytes, size);
    const unsigned char* head = descriptor.BytesAt(0, descriptorHeaderSize);
    if (!head || descriptor.Le32At(header::payloadLength) != size - descriptorHeaderSize)
        return dropOnLink(host, dropReason::malformed);
    const descriptorHandler* h = handlerFor(head[header::function]);
    if (!h) {
        ++g_Settings.m_OtherDescriptors;
        return dropOnLink(host, dropReason::unknownFunction);
    }
    if (size - descriptorHeaderSize < h->minimumPayload)
        return dropOnLink(host, dropReason::malformed);
    if (host->m_State == linkState::busy && h->functionCode != function::ping)
        return drop(dropReason::busyLink);
    return h->handle(host, packet, bytes, size);
}

}  // namespace vesk::gnutella
