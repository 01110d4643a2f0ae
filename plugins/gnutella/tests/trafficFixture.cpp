#include "plugins/gnutella/tests/trafficFixture.h"

#include <cstring>
#include <mutex>

#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/activeHosts.h"
#include "plugins/gnutella/broadcasts.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/dropCounts.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/pingAnswers.h"

namespace vesk::gnutella::test {

bytes guidOf(unsigned char fill) {
    return bytes(16, fill);
}

bytes descriptorOf(const bytes& guid, unsigned char functionCode, unsigned char ttl, unsigned char hops,
                   const bytes& payload) {
    bytes d(descriptorHeaderSize);
    std::memcpy(d.data(), guid.data(), 16);
    d[header::function] = functionCode;
    d[header::ttl] = ttl;
    d[header::hops] = hops;
    WriteLe32(d.data() + header::payloadLength, static_cast<std::uint32_t>(payload.size()));
    d.insert(d.end(), payload.begin(), payload.end());
    return d;
}

bytes queryPayload(const std::string& text) {
    bytes p(2 + text.size() + 1, 0);
    std::memcpy(p.data() + 2, text.data(), text.size());
    return p;
}

bytes hitPayload(const bytes& servent) {
    return joined({{1, 0xCA, 0x18, 9, 9, 9, 9, 0, 0, 0, 0},  // one result from 9.9.9.9:6346
                   {7, 0, 0, 0, 5, 0, 0, 0, 'a', 0, 0},      // index 7, size 5, "a"
                   servent});
}

bytes joined(std::initializer_list<bytes> parts) {
    bytes all;
    for (const bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

void trafficFixture::SetUp() {
    linkFixture::SetUp();
    g_Settings.m_MaxTTLAllowed = 20;
    g_Settings.m_LocalTTL = 7;
    g_Settings.m_MinResponseSpeed = 0;
    g_Settings.m_MaxIncoming = 5;
    g_Settings.m_MaxUploads = 7;
    g_Settings.m_MaxOutgoingResults = 255;
    g_Settings.m_ListenPort = 6346;
    g_Settings.m_EnableReported = 0;
    g_Settings.m_LocalSpeed = 1000;
    g_Settings.m_Uploaded = false;
    g_Settings.m_EnableSearchMonitor = 0;
    const unsigned char own[4] = {5, 6, 7, 8};
    g_Settings.m_OwnAddress.Set(own);
    for (int i = 0; i < 16; ++i)
        clientGuid[i] = static_cast<unsigned char>(0xC0 + i);
    std::memcpy(g_Settings.m_ClientGuid, clientGuid, 16);
    ResetPingGates();
    ResetDropCounts();
}

void trafficFixture::TearDown() {
    {
        std::lock_guard<std::recursive_mutex> hold(g_SearchListsGuard);
        g_PendingSearchList.clear();
        g_ActiveSearchList.clear();
    }
    ClearTransferLists();
    linkFixture::TearDown();  // destroys the links
    for (peer& p : peers)
        p.link->release();
    peers.clear();
    EXPECT_EQ(fakeLink::liveBuffers(), 0) << "every received buffer is released";
}

trafficFixture::peer trafficFixture::addPeer(const char* address) {
    fakeLink* link = fakeLink::make(address, 6346);
    link->addRef();  // the fixture's
    link->addRef();  // the link's, as accept() hands it out
    auto* host = new CGnutellaHost(link);
    host->m_State = linkState::built;
    host->m_Kind = linkKind::incomingUp;
    {
        std::lock_guard<std::recursive_mutex> hold(g_ActiveHostList.guard);
        g_ActiveHostList.items[host->m_Id] = host;
    }
    peers.push_back({link, host});
    return peers.back();
}

void trafficFixture::turn() {
    for (peer& p : peers)
        ServiceActiveHost(p.host);
    ExpireBroadcasts();
}

void trafficFixture::settle() {
    for (int i = 0; i < 100; ++i) {
        bool waiting = false;
        for (peer& p : peers)
            waiting = waiting || p.link->hasIncoming() || !p.host->m_Framing.leftover.Empty();
        if (!waiting && g_PendingBroadcastList.IsEmpty())
            return;
        turn();
    }
    ADD_FAILURE() << "the links did not settle";
}

}  // namespace vesk::gnutella::test
