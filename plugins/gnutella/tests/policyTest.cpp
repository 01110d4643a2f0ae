// Keeping the node linked: what one turn of the connection policy dials,
// the quick-connect list, and the active host thread starting itself again
// after a failure. Dials go to 127.0.0.1 only and are never stepped here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "plugins/gnutella/CGWebCache.h"
#include "plugins/gnutella/CGnutellaHostCatch.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/connectionPolicy.h"
#include "plugins/gnutella/dialling.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/hostCache.h"
#include "plugins/gnutella/protocol.h"
#include "plugins/gnutella/tests/linkFixture.h"
#include "plugins/gnutella/tests/scriptedDescriptor.h"
#include "plugins/gnutella/workerThreads.h"
#include "testing/testPaths.h"

namespace vesk::gnutella::test {
namespace {

class PolicyTest : public linkFixture {
protected:
    void TearDown() override {
        for (ss::IAgent* row : upRows) {
            g_Settings.UntrackOutgoingLink(row);
            row->release();
        }
        g_WebCache = nullptr;
        webCache.reset();
        {
            lockGuard hold(g_State.quickConnectLock);
            for (auto& entry : g_QuickConnect)
                delete entry.second;
            g_QuickConnect.clear();
        }
        linkFixture::TearDown();
    }

    // Counts n links as up, as handshakes would.
    void linksUp(int n) {
        for (int i = 0; i < n; ++i) {
            ss::IAgent* row = NewAgent();
            g_Settings.TrackOutgoingLink(row);
            upRows.push_back(row);
        }
    }

    // A link up to 127.0.0.1:port in the active list (the fixture clears it).
    static void linkUpTo(unsigned short port) {
        auto* up = new CGnutellaHost();
        std::strcpy(up->m_AddressText, "127.0.0.1");
        up->m_Port = port;
        up->m_Kind = linkKind::outgoingUp;
        std::lock_guard<std::recursive_mutex> hold(g_ActiveHostList.guard);
        g_ActiveHostList.items[up->m_Id] = up;
    }

    // The ports of the links being dialled, and those links forgotten.
    static std::vector<unsigned short> takeDials() {
        std::vector<unsigned short> ports;
        std::lock_guard<std::recursive_mutex> hold(g_InactiveHostList.guard);
        for (auto& entry : g_InactiveHostList.items) {
            ports.push_back(entry.second->m_Port);
            g_Settings.UntrackConnectingHost(entry.second->m_Row);
        }
        DestroyHosts(g_InactiveHostList);
        std::sort(ports.begin(), ports.end());
        return ports;
    }

    static void addSuccessfulHost(const char* address, std::uint16_t port) {
        auto* entry = new CGnutellaHostCatch(address, port);
        g_SuccessfulHosts.items[entry->m_Key] = entry;
    }

    std::vector<ss::IAgent*> upRows;  // one reference each
    std::unique_ptr<vesk::testing::tempDir> folder;
    std::unique_ptr<CGWebCache> webCache;
};

using ports = std::vector<unsigned short>;

TEST_F(PolicyTest, WithNoLinkUpThreeCachedHostsAreDialledThenOnePerTurn) {
    for (unsigned short port = 1; port <= 6; ++port)
        cacheHost("127.0.0.1", port);
    MaintainConnections();
    EXPECT_EQ(takeDials(), ports({1, 2, 3})) << "the oldest cached first";
    EXPECT_EQ(CachedHosts(10).size(), 3u);
    EXPECT_EQ(recorded("IGnutellaHostDockWnd::RemoveCatch").size(), 3u);

    linksUp(1);
    MaintainConnections();
    EXPECT_EQ(takeDials(), ports({4}));
}

TEST_F(PolicyTest, SilentAcceptedConnectionsEndAfter3000MsAndThePolicyDialsCachedHostsAgain) {
    for (unsigned short port = 1; port <= 3; ++port)
        cacheHost("127.0.0.1", port);
    std::vector<SOCKET> silent;
    for (std::size_t i = 1; i <= 5; ++i) {
        silent.push_back(net::test::plainConnect(listenPort()));
        ASSERT_TRUE(stepUntil([&] { return g_InactiveHostList.Count() == i; }));
    }
    EXPECT_EQ(g_Settings.Counts().connecting, 5u);
    MaintainConnections();
    EXPECT_EQ(g_InactiveHostList.Count(), 5u) << "5 being connected: nothing is dialled";

    advance(3000);
    stepInactive();
    stepInactive();
    EXPECT_EQ(g_InactiveHostList.Count(), 5u) << "3000 ms are allowed";
    advance(1);
    ASSERT_TRUE(stepUntil([] { return g_InactiveHostList.IsEmpty(); }));
    EXPECT_EQ(g_Settings.Counts().connecting, 0u);
    for (SOCKET s : silent) {
        EXPECT_TRUE(peerSeesClose(s));
        net::test::closePlain(s);
    }
    MaintainConnections();
    EXPECT_EQ(takeDials(), ports({1, 2, 3}));
}

TEST_F(PolicyTest, ACachedHostAlreadyLinkedOrBeingDialledIsTakenOutWithoutADial) {
    linkUpTo(2);  // as its pong taught the cache
    ASSERT_EQ(ConnectToHost("127.0.0.1", 3), 0);
    for (unsigned short port = 1; port <= 3; ++port)
        cacheHost("127.0.0.1", port);

    MaintainConnections();
    EXPECT_EQ(takeDials(), ports({1, 3})) << "port 3 once: the dial already being set up";
    EXPECT_TRUE(CachedHosts(10).empty());
}

TEST_F(PolicyTest, EnoughLinksUpOrBeingConnectedDialNothing) {
    for (unsigned short port = 1; port <= 3; ++port)
        cacheHost("127.0.0.1", port);
    linksUp(4);
    QueueRequestedConnection("127.0.0.1", 9);  // one being connected: 5 of Gnutella_MinTotalConnections 5
    MaintainConnections();
    EXPECT_TRUE(g_InactiveHostList.IsEmpty());
    EXPECT_EQ(CachedHosts(10).size(), 3u);

    g_Settings.m_MinTotalConnections = 100;
    g_Settings.m_MaxOutgoing = 5;
    MaintainConnections();
    EXPECT_TRUE(g_InactiveHostList.IsEmpty()) << "nor at Gnutella_MaxOutgoing";

    g_Settings.m_MaxOutgoing = 10;
    g_State.running = 0;
    MaintainConnections();
    EXPECT_TRUE(g_InactiveHostList.IsEmpty()) << "nor offline";
    g_State.running = 1;
    MaintainConnections();
    EXPECT_EQ(takeDials(), ports({1}));
}

TEST_F(PolicyTest, AnEmptyCacheWaitsForDialsThenTakesSuccessfulHostsThenTheWebCaches) {
    folder = std::make_unique<vesk::testing::tempDir>();
    unsigned short closed = net::test::freePort();
    webCache = std::make_unique<CGWebCache>(
        std::vector<std::string>{"127.0.0.1:" + std::to_string(closed) + "/gcache.php"}, folder->path());
    g_WebCache = webCache.get();
    addSuccessfulHost("127.0.0.1", 7);
    addSuccessfulHost("127.0.0.1", 8);

    QueueRequestedConnection("127.0.0.1", 9);
    MaintainConnections();
    EXPECT_EQ(g_InactiveRequestedConnectionQueue.Count(), 1u) << "a dial pending: the policy waits";
    DestroyHosts(g_InactiveRequestedConnectionQueue);
    g_Settings.Clear();

    MaintainConnections();
    EXPECT_EQ(g_InactiveRequestedConnectionQueue.Count(), 1u) << "one successful host per turn";
    EXPECT_EQ(g_SuccessfulHosts.Count(), 1u);
    EXPECT_EQ(g_InactiveRequestedConnectionQueue.items.front()->m_Port, 7);
    DestroyHosts(g_InactiveRequestedConnectionQueue);
    g_Settings.Clear();
    MaintainConnections();
    EXPECT_TRUE(g_SuccessfulHosts.IsEmpty());
    DestroyHosts(g_InactiveRequestedConnectionQueue);
    g_Settings.Clear();

    EXPECT_TRUE(webCache->m_Connections.empty());
    MaintainConnections();
    EXPECT_FALSE(webCache->m_Connections.empty()) << "nothing else left: the web caches are asked";
    webCache->EndExchanges();
}

TEST_F(PolicyTest, TheQuickConnectListIsQueuedExceptHostsAlreadyLinkedOrBeingDialled) {
    EXPECT_EQ(ConnectQuickList(), -1);
    for (unsigned short port : {11, 12}) {
        auto* entry = new CGnutellaHostCatch("127.0.0.1", port);
        g_QuickConnect[entry->m_Key] = entry;
    }
    ASSERT_EQ(ConnectToHost("127.0.0.1", 12), 0);
    linkUpTo(13);
    auto* entry = new CGnutellaHostCatch("127.0.0.1", 13);
    g_QuickConnect[entry->m_Key] = entry;
    EXPECT_EQ(ConnectQuickList(), 0);
    ASSERT_EQ(g_InactiveRequestedConnectionQueue.Count(), 1u) << "12 is being dialled, 13 is up";
    EXPECT_EQ(g_InactiveRequestedConnectionQueue.items.front()->m_Port, 11);
}

TEST_F(PolicyTest, TheActiveHostThreadStartsItselfAgainAfterAFailure) {
    auto* link = new CGnutellaHost();
    auto* failing = new capsule<scriptedDescriptor>();
    failing->statusFails = true;  // the failure the thread catches
    link->m_Link = failing;
    link->m_Link->addRef();
    link->m_Kind = linkKind::outgoingUp;
    g_Settings.TrackOutgoingLink(link->m_Row);
    g_ActiveHostList.items[link->m_Id] = link;

    Ithread* thread = CreateModuleThread("Gnutella Active Host Update Thread", &active_host_update_thread, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_TRUE(thread->start());
    const std::string line =
        "**Gnutella** - respawning active host thread - exception caught and all active hosts cleared\r\n";
    EXPECT_TRUE(net::test::waitFor([&] {
        std::vector<std::string> lines = log->lines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }));
    EXPECT_TRUE(g_ActiveHostList.IsEmpty());
    EXPECT_EQ(g_Settings.Counts().outgoingLinks, 0u);
    EXPECT_EQ(recorded("IGnutellaHostDockWnd::RemoveConnect").size(), 1u);
    EXPECT_EQ(protocol->lastState(), protocolState::connecting);

    // The same object runs again: a new link is served by it.
    auto* next = new CGnutellaHost();
    next->m_Kind = linkKind::incomingUp;
    g_ActiveHostList.items[next->m_Id] = next;
    EXPECT_TRUE(net::test::waitFor([] { return g_ActiveHostList.IsEmpty(); })) << "an idle link is let go";
    EXPECT_TRUE(thread->isRunning());
    EXPECT_TRUE(thread->stop());
    thread->release();
}

}  // namespace
}  // namespace vesk::gnutella::test
