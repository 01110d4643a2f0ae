#include "plugins/gnutella/pingAnswers.h"

#include <algorithm>
#include <memory>

#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaHostCatch.h"
#include "plugins/gnutella/CGnutellaPacket.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/advertisedAddress.h"
#include "plugins/gnutella/broadcasts.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/hostCache.h"
#include "plugins/gnutella/intervalGate.h"
#include "plugins/gnutella/routing.h"

namespace vesk::gnutella {

namespace {

constexpr std::uint32_t pongPayload = 14;

intervalGate ownPongGate(ownPongGapMs);
intervalGate acceptedPingGate(acceptedPingGapMs);

bool hasAddress(const unsigned char* a) {
    return a[0] || a[1] || a[2] || a[3];
}

std::vector<unsigned char> newPing() {
    std::vector<unsigned char> ping(descriptorHeaderSize);
    if (BuildDescriptorHeader(ping.data(), nullptr, function::ping, 0) != 0)
        ping.clear();
    return ping;
}

}  // namespace

std::vector<unsigned char> PongDescriptor(const unsigned char* pingGuid, unsigned char ttl,
                                          const unsigned char* address, std::uint16_t port, std::uint32_t files,
                                          std::uint32_t kilobytes) {
    std::vector<unsigned char> pong(pongSize);
    WriteDescriptorHeader(pong.data(), pingGuid, function::pong, ttl, 0, pongPayload);
    unsigned char* payload = pong.data() + descriptorHeaderSize;
    WriteLe16(payload, port);
    std::copy(address, address + 4, payload + 2);
    WriteLe32(payload + 6, files);
    WriteLe32(payload + 10, kilobytes);
    return pong;
}

sharedFiles SharedFiles(share2::IShareEngine* engine) {
    sharedFiles shared;
    unsigned ids = engine ? engine->objectCount() : 0;
    for (unsigned id = 0; id < ids; ++id) {
        share2::IShareObj* object = engine->objectById(id);  // null once no longer shared
        if (object && object->getName()[0]) {              // a folder has no name
            ++shared.count;
            shared.bytes += object->getSize();
        }
    }
    return shared;
}

bool HandlePing(const CGnutellaPacket* ping, CGnutellaHost* host) {
    if (!ping || !host || !ownPongGate.Pass())
        return false;
    SendCachedPongs(ping, host);
    if (g_Settings.Counts().incomingLinks >= g_Settings.m_MaxIncoming && ping->Hops() > 1)
        return true;
    sharedFiles shared = SharedFiles(g_Services.shareEngine);
    std::uint32_t files = shared.count;
    std::uint32_t kilobytes = static_cast<std::uint32_t>(std::min<std::uint64_t>(shared.bytes >> 10, 0xFFFFFFFFu));
    unsigned char ttl = ping->Hops() < 0xFF ? static_cast<unsigned char>(ping->Hops() + 1) : ping->Hops();
    advertisedAddress own = AdvertisedAddress();
    std::vector<unsigned char> pong = PongDescriptor(ping->Guid(), ttl, own.address, own.port, files, kilobytes);
    SendToHost(host, pong.data(), static_cast<unsigned long>(pong.size()));
    g_Settings.CountSent(kind::pong);
    return true;
}

int SendCachedPongs(const CGnutellaPacket* ping, CGnutellaHost* host) {
    if (!ping || !host)
        return 0;
    std::vector<unsigned char> burst;
    burst.reserve(cachedPongLimit * pongSize);
    int count = 0;
    {
        lockGuard hold(g_State.hostCacheLock);
        for (const auto& entry : g_HostCatcher) {
            if (static_cast<std::size_t>(count) == cachedPongLimit)
                break;
            const CGnutellaHostCatch& known = *entry.second;
            if (!hasAddress(known.m_Address))  // a name not yet resolved tells a peer nothing
                continue;
            std::vector<unsigned char> pong =
                PongDescriptor(ping->Guid(), 1, known.m_Address, known.m_Port, known.m_Files, known.m_Kilobytes);
            burst.insert(burst.end(), pong.begin(), pong.end());
            ++count;
        }
    }
    if (count == 0)
        return 0;
    for (int i = 0; i < count; ++i)
        g_Settings.CountSent(kind::pong);
    if (host->m_Link)
        host->m_Link->setSendMode(true);
    SendToHost(host, burst.data(), static_cast<unsigned long>(burst.size()));
    if (host->m_Link)
        host->m_Link->setSendMode(false);
    return count;
}

void AnswerPing(const CGnutellaPacket* ping, CGnutellaHost* host) {
    if (!HandlePing(ping, host))
        SendCachedPongs(ping, host);
}

bool AcceptPing() {
    return acceptedPingGate.Pass();
}

void ResetPingGates() {
    ownPongGate.Reset();
    acceptedPingGate.Reset();
}

int PingHost(CGnutellaHost* host) {
    if (!host)
        return -1;
    std::vector<unsigned char> ping = newPing();
    std::unique_ptr<CGnutellaPacket> packet(ClonePacketBytes(ping.data(), ping.size()));
    if (!packet)
        return -1;
    int sent = SendToHost(host, ping.data(), static_cast<unsigned long>(ping.size()));
    RememberSent(host, packet.get(), kind::ping);
    return sent;
}

int PingAllHosts() {
    std::vector<unsigned char> ping = newPing();
    std::unique_ptr<CGnutellaPacket> packet(ClonePacketBytes(ping.data(), ping.size()));
    if (!packet)
        return 0;
    QueueBroadcast(nullptr, ping.data(), ping.size());
    RememberSentAll(packet.get(), kind::ping, nullptr);
    return 0;
}

}  // namespace vesk::gnutella
