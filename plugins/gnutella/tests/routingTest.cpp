// Routing between three peers over fake links: broadcasts in the next turn
// with TTL down and hops up, never back to their origin, duplicates and
// this node's own descriptors dropped, pongs, hits and pushes routed back
// along their request's path, a link with a long out queue skipped.
#include <gtest/gtest.h>

#include <cstring>
#include <mutex>

#include "plugins/gnutella/CGnutellaHostCatch.h"
#include "plugins/gnutella/CGnutellaPacket.h"
#include "plugins/gnutella/CGnutellaQueryHitContainer.h"
#include "plugins/gnutella/CGnutellaSearch.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/broadcasts.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/dropCounts.h"
#include "plugins/gnutella/handlePacket.h"
#include "plugins/gnutella/hostCache.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/pingAnswers.h"
#include "plugins/gnutella/routingMemory.h"
#include "plugins/gnutella/searches.h"
#include "plugins/gnutella/tests/trafficFixture.h"
#include "plugins/gnutella/workerThreads.h"

namespace vesk::gnutella::test {
namespace {

bytes query(unsigned char fill, unsigned char ttl, unsigned char hops) {
    return descriptorOf(guidOf(fill), function::query, ttl, hops, queryPayload("abc"));
}
bytes hit(unsigned char fill, const bytes& servent, unsigned char ttl = 5, unsigned char hops = 0) {
    return descriptorOf(guidOf(fill), function::queryHit, ttl, hops, hitPayload(servent));
}
bytes push(unsigned char fill, const bytes& servent, unsigned char ttl = 4) {
    bytes payload = joined({servent, {7, 0, 0, 0, 9, 9, 9, 9, 0xCA, 0x18}});
    return descriptorOf(guidOf(fill), function::push, ttl, 0, payload);
}
bytes pong(unsigned char fill, unsigned char ttl) {
    return descriptorOf(guidOf(fill), function::pong, ttl, 0, {0xCA, 0x18, 9, 8, 7, 6, 10, 0, 0, 0, 20, 0, 0, 0});
}

class Routing : public trafficFixture {
protected:
    void SetUp() override {
        trafficFixture::SetUp();
        a = addPeer("1.1.1.1");
        b = addPeer("2.2.2.2");
        c = addPeer("3.3.3.3");
    }
    void TearDown() override {
        ClearHostCatcher();
        trafficFixture::TearDown();
    }
    void forgetSends() {
        for (peer& p : peers)
            p.link->clearSends();
    }
    peer a{}, b{}, c{};
};

TEST_F(Routing, AQueryGoesToEveryOtherLinkInTheNextTurnOnce) {
    a.link->deliver(query(0x21, 3, 1));
    turn();
    EXPECT_TRUE(b.link->sends().empty()) << "queued, not sent, in the turn it came";
    turn();
    bytes out = query(0x21, 2, 2);
    EXPECT_EQ(b.link->sends(), std::vector<bytes>{out});
    EXPECT_EQ(c.link->sends(), std::vector<bytes>{out});
    EXPECT_TRUE(a.link->sends().empty()) << "never back to its origin";
    turn();
    EXPECT_EQ(b.link->sends().size(), 1u) << "offered in one turn only";
    EXPECT_EQ(a.host->m_ReceivedCount, 1u);
    EXPECT_EQ(b.host->m_SentCount, 1u);
}

TEST_F(Routing, DuplicatesAndTtlZeroAreNotPassedOn) {
    a.link->deliver(query(0x21, 3, 1));
    settle();
    forgetSends();
    b.link->deliver(query(0x21, 2, 2));  // the same query back by another way
    settle();
    EXPECT_EQ(DropCount(dropReason::duplicate), 1u);

    c.link->deliver(query(0x31, 0, 4));
    settle();
    a.link->deliver(query(0x31, 3, 1));  // still remembered though not passed on
    settle();
    EXPECT_EQ(DropCount(dropReason::duplicate), 2u);

    c.link->deliver(query(0x32, 1, 0));
    settle();
    EXPECT_TRUE(c.link->sends().empty());
    EXPECT_EQ(a.link->sends(), std::vector<bytes>{query(0x32, 0, 1)}) << "TTL 1 goes on with TTL 0";
    EXPECT_EQ(b.link->sends(), std::vector<bytes>{query(0x32, 0, 1)});

    forgetSends();
    c.link->deliver(query(0x33, 3, 255));
    settle();
    EXPECT_EQ(a.link->sends(), std::vector<bytes>{query(0x33, 2, 255)}) << "hops stay at 255, never wrap to 0";
}

TEST_F(Routing, HitsAndPushesGoBackAlongTheirRequestsPath) {
    a.link->deliver(query(0x21, 3, 1));
    settle();
    forgetSends();
    bytes servent = guidOf(0x5A);
    c.link->deliver(hit(0x21, servent, 5, 0));
    turn();
    EXPECT_EQ(a.link->sends(), std::vector<bytes>{hit(0x21, servent, 4, 1)}) << "at once, TTL - 1, hops + 1";
    EXPECT_TRUE(b.link->sends().empty());
    EXPECT_TRUE(c.link->sends().empty());

    a.link->deliver(hit(0x21, guidOf(0x5C)));  // from the link the query came by
    settle();
    EXPECT_EQ(a.link->sends().size(), 1u) << "not back to the link it came from";

    b.link->deliver(hit(0x99, servent));  // answers no query anyone asked
    settle();
    EXPECT_EQ(DropCount(dropReason::noRoute), 1u);
    EXPECT_EQ(a.link->sends().size(), 1u);

    // The push names the servent whose hit came over C.
    a.link->deliver(push(0x41, servent, 4));
    turn();
    bytes routed = push(0x41, servent, 3);
    routed[header::hops] = 1;
    EXPECT_EQ(c.link->sends(), std::vector<bytes>{routed});
    EXPECT_TRUE(b.link->sends().empty());

    // A servent no hit came from: sent nowhere, yet a second copy is known.
    b.link->deliver(push(0x42, guidOf(0x6B)));
    settle();
    a.link->deliver(push(0x42, guidOf(0x6B)));
    settle();
    EXPECT_EQ(DropCount(dropReason::duplicate), 1u);
    EXPECT_EQ(c.link->sends().size(), 1u);
    EXPECT_EQ(a.link->sends().size(), 1u);
}

TEST_F(Routing, DescriptorsTooShortForTheirHandlerAreDroppedUnread) {
    a.link->deliver(query(0x21, 3, 1));
    settle();
    forgetSends();
    // A hit of 11 bytes passes the framing but holds no servent identifier.
    c.link->deliver(descriptorOf(guidOf(0x21), function::queryHit, 5, 0, bytes(11, 1)));
    settle();
    EXPECT_EQ(DropCount(dropReason::malformed), 1u);
    EXPECT_EQ(c.host->m_DroppedCount, 1u);
    EXPECT_TRUE(a.link->sends().empty());

    struct row {
        bytes descriptor;
        std::size_t size;  // as handed over
        dropReason reason;
    } rows[] = {
        {push(0x41, guidOf(1)), 48, dropReason::malformed},  // its length field tells 26
        {descriptorOf(guidOf(0x42), 0x02, 5, 0, {}), 23, dropReason::unknownFunction},
        {descriptorOf(guidOf(0x43), function::ping, 5, 0, {}), 22, dropReason::malformed},
    };
    std::uint32_t others = g_Settings.m_OtherDescriptors;
    for (const row& r : rows) {
        std::uint32_t before = DropCount(r.reason);
        std::unique_ptr<CGnutellaPacket> packet(ClonePacketBytes(r.descriptor.data(), r.descriptor.size()));
        CGnutellaPacket empty;
        EXPECT_EQ(handle_packet(b.host, packet ? packet.get() : &empty, r.descriptor.data(), r.size), 1);
        EXPECT_EQ(DropCount(r.reason) - before, 1u);
    }
    EXPECT_EQ(g_Settings.m_OtherDescriptors - others, 1u);
    settle();
    for (peer* p : {&a, &b, &c})
        EXPECT_TRUE(p->link->sends().empty());
}

TEST_F(Routing, APongGoesBackToTheLinkItsPingCameFrom) {
    a.link->deliver(descriptorOf(guidOf(0x51), function::ping, 4, 0, {}));
    turn();
    forgetSends();  // this node's own answer to the ping
    turn();
    bytes passedOn = descriptorOf(guidOf(0x51), function::ping, 3, 1, {});
    EXPECT_EQ(b.link->sends(), std::vector<bytes>{passedOn});
    EXPECT_EQ(c.link->sends(), std::vector<bytes>{passedOn});
    b.link->deliver(pong(0x51, 3));
    turn();
    bytes back = pong(0x51, 2);
    back[header::hops] = 1;
    EXPECT_EQ(a.link->sends(), std::vector<bytes>{back});
    EXPECT_EQ(c.link->sends().size(), 1u);
    EXPECT_EQ(b.link->sends().size(), 1u);

    c.link->deliver(pong(0x52, 3));  // no ping of that GUID came by
    settle();
    EXPECT_EQ(a.link->sends().size(), 1u);
    EXPECT_EQ(b.link->sends().size(), 1u);
}

TEST_F(Routing, ALinkWithALongOutQueueMissesTheBroadcastsOfThatTurn) {
    c.link->waitingBuffers = broadcastOutQueueLimit + 1;
    a.link->deliver(query(0x21, 3, 1));
    turn();
    turn();
    EXPECT_EQ(b.link->sends().size(), 1u);
    EXPECT_TRUE(c.link->sends().empty());
    c.link->waitingBuffers = 0;
    turn();
    EXPECT_TRUE(c.link->sends().empty()) << "the broadcast is gone after its turn";
}

TEST_F(Routing, OwnQueriesGoOutOnceAndTheirHitsGoToTheSearch) {
    CGnutellaSearch search;
    std::strcpy(search.m_Query, "own words");
    std::memcpy(search.m_Guid.bytes, guidOf(0x71).data(), 16);
    {
        std::lock_guard<std::recursive_mutex> hold(g_SearchListsGuard);
        g_PendingSearchList.push_back(&search);
    }
    PromotePendingSearches();
    bytes q = QueryDescriptor(search.m_Guid.bytes, "own words", 0, 7);
    for (peer* p : {&a, &b, &c}) {
        EXPECT_EQ(p->link->sends(), std::vector<bytes>{q});
        EXPECT_EQ(p->link->events(), (std::vector<std::string>{"mode on", "send", "mode off"}));
    }
    EXPECT_EQ(g_ActiveSearchList.count(search.m_Guid), 1u);
    EXPECT_TRUE(g_PendingSearchList.empty());
    forgetSends();

    bytes back = q;
    back[header::ttl] = 6;
    back[header::hops] = 1;
    b.link->deliver(back);
    settle();
    EXPECT_EQ(DropCount(dropReason::ownDescriptorBack), 1u);

    bytes answer = hit(0x71, guidOf(0x5A));
    c.link->deliver(answer);
    settle();
    {
        std::lock_guard<std::mutex> hold(search.m_HitLock);
        ASSERT_EQ(search.m_Hits.size(), 1u);
        EXPECT_EQ(search.m_Hits.front()->m_Bytes, answer);
    }
    EXPECT_TRUE(c.host->m_Routes.HasServent(guid16::from(guidOf(0x5A).data())));

    {
        std::lock_guard<std::recursive_mutex> hold(g_SearchListsGuard);
        g_ActiveSearchList.clear();  // the search was stopped
    }
    c.link->deliver(hit(0x71, guidOf(0x5B)));
    settle();
    EXPECT_EQ(DropCount(dropReason::hitNotTaken), 1u);
    for (peer* p : {&a, &b, &c})
        EXPECT_TRUE(p->link->sends().empty());
}

TEST_F(Routing, ThisNodesOwnPingComingBackIsDroppedAndItsPongsKept) {
    PingAllHosts();
    turn();  // queued between turns: offered in the next
    turn();
    ASSERT_EQ(a.link->sends().size(), 1u);
    bytes ping = a.link->sends()[0];
    EXPECT_EQ(ping.size(), 23u);
    EXPECT_EQ(ping[header::ttl], 7);
    EXPECT_TRUE(IsMarkedGuid(ping.data()));
    forgetSends();

    ping[header::ttl] = 6;
    ping[header::hops] = 1;
    b.link->deliver(ping);
    settle();
    EXPECT_EQ(b.host->m_DroppedCount, 1u);
    EXPECT_EQ(DropCount(dropReason::ownDescriptorBack), 1u);

    bytes answer = joined({bytes(ping.begin(), ping.begin() + 16),
                           {function::pong, 3, 0, 14, 0, 0, 0, 0xCA, 0x18, 9, 8, 7, 6, 10, 0, 0, 0, 20, 0, 0, 0}});
    std::uint32_t hostsBefore = g_Settings.m_PongHosts;
    c.link->deliver(answer);
    settle();
    EXPECT_EQ(g_Settings.m_PongHosts - hostsBefore, 1u);
    for (peer* p : {&a, &b, &c})
        EXPECT_TRUE(p->link->sends().empty());
}

TEST_F(Routing, APushToThisNodeIsNotPassedOnAndNotTakenTwice) {
    bytes us(clientGuid, clientGuid + 16);
    a.link->deliver(push(0x81, us));
    a.link->deliver(push(0x82, us));
    b.link->deliver(push(0x81, us));  // the same descriptor over another link
    settle();
    EXPECT_EQ(DropCount(dropReason::pushForKnownTransfer), 1u);
    for (peer* p : {&a, &b, &c})
        EXPECT_TRUE(p->link->sends().empty());
}

TEST_F(Routing, ABusyLinkOnlyGetsPongsForItsFirstPing) {
    auto* cached = new CGnutellaHostCatch(std::vector<unsigned char>{9, 9, 9, 9}.data(), 6346);
    g_HostCatcher[cached->m_Key] = cached;
    b.host->m_State = linkState::busy;
    b.host->m_ActivityTime = now();  // kept 10 s from its handshake
    b.link->deliver(query(0x21, 3, 1));
    settle();
    EXPECT_EQ(DropCount(dropReason::busyLink), 1u);
    EXPECT_TRUE(a.link->sends().empty());

    b.link->deliver(joined({descriptorOf(guidOf(0x52), function::ping, 3, 0, {}), query(0x22, 3, 1)}));
    turn();
    EXPECT_EQ(b.link->events(), (std::vector<std::string>{"mode on", "send", "mode off"}));
    ASSERT_EQ(b.link->sends().size(), 1u);
    EXPECT_EQ(b.link->sends()[0].size(), 37u);
    EXPECT_EQ(b.host->m_State, linkState::busyAnswered);
    EXPECT_TRUE(b.host->m_Framing.leftover.Empty()) << "what followed the ping is not read";
    settle();
    EXPECT_TRUE(a.link->sends().empty());
}

// Polls the condition for up to 10 s; true once it holds.
template <class F>
bool eventually(F condition) {
    for (int i = 0; i < 10000 && !condition(); ++i)
        Sleep(1);
    return condition();
}

TEST_F(Routing, TheActiveHostThreadServesTheLinksThatAreUp) {
    a.link->deliver(query(0x21, 3, 1));
    c.link->statusValue = net::status::idle;  // ended: taken off the list
    Ithread* t = CreateModuleThread("Gnutella Active Host Update Thread", &active_host_update_thread, nullptr);
    ASSERT_NE(t, nullptr);
    ASSERT_TRUE(t->start());
    EXPECT_TRUE(eventually([&] { return b.link->sends().size() == 1; }));
    EXPECT_TRUE(eventually([&] { return g_ActiveHostList.Count() == 2; }));
    EXPECT_TRUE(t->stop());
    t->release();
    EXPECT_EQ(b.link->sends(), std::vector<bytes>{query(0x21, 2, 2)});
    EXPECT_TRUE(c.link->sends().empty());
    EXPECT_TRUE(g_PendingBroadcastList.IsEmpty());
    peers.back().host = nullptr;  // the thread destroyed it
}

TEST(RoutingMemory, EachKindHoldsItsCapacityAndForgetsItsOldestFirst) {
    CRoutingMemory memory;
    for (unsigned k = 0; k < kind::count; ++k) {
        SCOPED_TRACE(k);
        auto id = [&](std::size_t n) {
            guid16 g;
            std::memcpy(g.bytes, &n, sizeof n);
            g.bytes[15] = static_cast<unsigned char>(k);
            return g;
        };
        for (std::size_t n = 0; n < routeCapacity[k]; ++n)
            ASSERT_EQ(memory.AddReceived(k, id(n)), 1);
        EXPECT_EQ(memory.AddReceived(k, id(0)), 0) << "already there";
        EXPECT_EQ(memory.AddReceived(k, id(routeCapacity[k])), 1);
        EXPECT_FALSE(memory.HasReceived(k, id(0))) << "the oldest went";
        EXPECT_TRUE(memory.HasReceived(k, id(1)));
        EXPECT_EQ(memory.ReceivedSize(k), routeCapacity[k]);
        EXPECT_FALSE(memory.HasSent(k, id(1))) << "received and sent are apart";
    }
    EXPECT_EQ(memory.AddReceived(kind::count, guid16()), -1);
    EXPECT_EQ(memory.AddSent(kind::count, guid16()), -1);
    for (std::size_t n = 0; n <= serventCapacity; ++n) {
        guid16 g;
        std::memcpy(g.bytes, &n, sizeof n);
        memory.AddServent(g);
    }
    EXPECT_FALSE(memory.HasServent(guid16())) << "servents are bounded too";
    memory.Clear();
    EXPECT_EQ(memory.ReceivedSize(kind::query), 0u);
}

}  // namespace
}  // namespace vesk::gnutella::test
