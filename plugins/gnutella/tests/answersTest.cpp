// Answering peers from a small shared folder with the real share engine:
// the exact Query Hit and Pong bytes, the query words handed to the engine,
// hits cut at 255 results and 65,535 bytes, and the ping throttles with the
// clock replaced.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "core/capsule.h"
#include "plugins/gnutella/CGnutellaHostCatch.h"
#include "plugins/gnutella/CGnutellaPacket.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/dropCounts.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/hostCache.h"
#include "plugins/gnutella/pingAnswers.h"
#include "plugins/gnutella/queryAnswers.h"
#include "plugins/gnutella/routing.h"
#include "plugins/gnutella/tests/trafficFixture.h"
#include "plugins/share2/shareEngine.h"
#include "testing/testPaths.h"

namespace vesk::gnutella::test {
namespace {

bytes le32(std::uint32_t v) {
    bytes b(4);
    WriteLe32(b.data(), v);
    return b;
}
bytes text0(const std::string& s) {
    bytes b(s.begin(), s.end());
    b.push_back(0);
    return b;
}
bytes ping(unsigned char fill, unsigned char ttl, unsigned char hops) {
    return descriptorOf(guidOf(fill), function::ping, ttl, hops, {});
}
bytes pongBytes(unsigned char fill, unsigned char ttl, const bytes& portAndAddress, std::uint32_t files,
                std::uint32_t kilobytes) {
    return descriptorOf(guidOf(fill), function::pong, ttl, 0, joined({portAndAddress, le32(files), le32(kilobytes)}));
}

class Answers : public trafficFixture {
protected:
    void SetUp() override {
        trafficFixture::SetUp();
        std::string folder = shared.path() + "\\Music";
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        ASSERT_TRUE(vesk::testing::writeFile(folder + "\\alpha song.mp3", std::string(3000, 'a')));
        ASSERT_TRUE(vesk::testing::writeFile(folder + "\\beta song.ogg", std::string(10, 'b')));
        ASSERT_TRUE(vesk::testing::writeFile(folder + "\\notes.txt", std::string(5, 'n')));
        engine = new capsule_core<share2::CShareEngine>(factory);
        share2::shareSpec spec{};
        std::strcpy(spec.path, folder.c_str());
        ASSERT_EQ(engine->addShare(&spec), 1);
        g_Services.shareEngine = engine;
        a = addPeer("1.1.1.1");
    }
    void TearDown() override {
        ClearHostCatcher();
        trafficFixture::TearDown();
        engine->releaseCore();
    }
    unsigned idOf(const char* name) {
        for (unsigned i = 0; i < engine->objectCount(); ++i)
            if (share2::IShareObj* o = engine->objectById(i); o && std::strcmp(o->getName(), name) == 0)
                return o->getId();
        ADD_FAILURE() << name << " is not shared";
        return 0;
    }
    void cache(std::initializer_list<unsigned char> address, std::uint16_t port, std::uint32_t files,
               std::uint32_t kilobytes) {
        bytes a4(address);
        auto* entry = new CGnutellaHostCatch(a4.data(), port);
        entry->m_Files = files;
        entry->m_Kilobytes = kilobytes;
        g_HostCatcher[entry->m_Key] = entry;
    }

    vesk::testing::tempDir shared;
    share2::CShareEngine* engine = nullptr;
    peer a{};
};

TEST_F(Answers, AQueryIsAnsweredWithOneHitOfTheMatchingFiles) {
    std::uint32_t hitsBefore = g_Settings.SentCount(kind::queryHit);
    a.link->deliver(descriptorOf(guidOf(0x21), function::query, 3, 0, queryPayload("song")));
    turn();
    bytes payload = joined({{2, 0xCA, 0x18, 5, 6, 7, 8, 0xE8, 0x03, 0, 0},  // count, port, address, speed 1000
                            le32(idOf("alpha song.mp3")), le32(3000), text0("alpha song.mp3"), {0},
                            le32(idOf("beta song.ogg")), le32(10), text0("beta song.ogg"), {0},
                            {'V', 'E', 'S', 'K', 2, 0x0C, 0x01}, bytes(clientGuid, clientGuid + 16)});
    EXPECT_EQ(a.link->sends(), std::vector<bytes>{descriptorOf(guidOf(0x21), function::queryHit, 7, 0, payload)});
    EXPECT_EQ(g_Settings.SentCount(kind::queryHit) - hitsBefore, 1u);

    // An upload served, the uploads full, another address reported.
    g_Settings.m_Uploaded = true;
    g_Settings.m_MaxUploads = 0;
    g_Settings.m_EnableReported = 1;
    const unsigned char reported[4] = {1, 2, 3, 4};
    g_Settings.m_ReportedIP.Set(reported);
    g_Settings.m_ReportedPort = 7000;
    a.link->clearSends();
    a.link->deliver(descriptorOf(guidOf(0x22), function::query, 3, 0, queryPayload("notes")));
    turn();
    ASSERT_EQ(a.link->sends().size(), 1u);
    bytes h = a.link->sends()[0];
    EXPECT_EQ(bytes(h.begin() + 23, h.begin() + 30), (bytes{1, 0x58, 0x1B, 1, 2, 3, 4}));
    EXPECT_EQ(h[h.size() - 17], 0x01 | 0x08 | 0x04);
}

TEST_F(Answers, ThisNodesPongTellsItsSharesAndAddress) {
    std::uint32_t pongsBefore = g_Settings.SentCount(kind::pong);
    a.link->deliver(ping(0x51, 1, 0));
    turn();
    // The three files (the folder is no file); 3015 bytes are 2 kilobytes.
    EXPECT_EQ(a.link->sends(), std::vector<bytes>{pongBytes(0x51, 1, {0xCA, 0x18, 5, 6, 7, 8}, 3, 2)});
    EXPECT_EQ(g_Settings.SentCount(kind::pong) - pongsBefore, 1u);

    ResetPingGates();
    g_Settings.m_EnableReported = 1;
    const unsigned char reported[4] = {1, 2, 3, 4};
    g_Settings.m_ReportedIP.Set(reported);
    g_Settings.m_ReportedPort = 7000;
    a.link->clearSends();
    a.link->deliver(ping(0x52, 1, 0));
    turn();
    EXPECT_EQ(a.link->sends(), std::vector<bytes>{pongBytes(0x52, 1, {0x58, 0x1B, 1, 2, 3, 4}, 3, 2)});
}

// What a current servent sends: Pings carrying an extension block (a GGEP
// "SCP"), Pongs longer than their 14 bytes.
TEST_F(Answers, PingsWithAnExtensionBlockAndLongerPongsAreTakenAsPingsAndPongs) {
    const bytes scp = {0xC3, 0x83, 0x53, 0x43, 0x50, 0x01, 0x00};
    peer b = addPeer("2.2.2.2");
    a.link->deliver(descriptorOf(guidOf(0x81), function::ping, 1, 0, scp));  // alive ping
    turn();
    EXPECT_EQ(a.link->sends(), std::vector<bytes>{pongBytes(0x81, 1, {0xCA, 0x18, 5, 6, 7, 8}, 3, 2)});

    std::uint32_t pingsBefore = g_Settings.ReceivedCount(kind::ping);
    bytes passedOn = descriptorOf(guidOf(0x82), function::ping, 3, 0, scp);
    a.link->deliver(passedOn);
    settle();
    EXPECT_EQ(g_Settings.ReceivedCount(kind::ping) - pingsBefore, 1u);
    ASSERT_EQ(b.link->sends().size(), 1u);
    EXPECT_EQ(b.link->sends()[0], descriptorOf(guidOf(0x82), function::ping, 2, 1, scp)) << "with its block";

    // 41 bytes: the 14 of a Pong and a 4-byte block, which is left alone.
    a.link->deliver(descriptorOf(guidOf(0x83), function::pong, 1, 0,
                                 joined({{0xCA, 0x18, 11, 2, 3, 4}, le32(5), le32(6), {0xC3, 0x82, 0x44, 0x55}})));
    settle();
    ASSERT_EQ(g_HostCatcher.count("11.2.3.4:6346"), 1u);
    EXPECT_EQ(g_HostCatcher.at("11.2.3.4:6346")->m_Files, 5u);
    EXPECT_EQ(g_HostCatcher.at("11.2.3.4:6346")->m_Kilobytes, 6u);
    EXPECT_EQ(a.host->m_GarbageCount, 0u);
    EXPECT_EQ(a.host->m_DroppedCount, 0u);
    EXPECT_EQ(DropCount(dropReason::garbage), 0u);
}

TEST_F(Answers, APingGetsTheCachedPongsOnceAndTheOwnPongAtMostEvery30250Ms) {
    cache({9, 9, 9, 9}, 6346, 10, 20);
    cache({8, 8, 8, 8}, 6347, 11, 21);
    cache({7, 7, 7, 7}, 6348, 12, 22);
    a.link->deliver(ping(0x61, 3, 0));
    turn();
    // Host cache in key order, TTL 1, in one burst; then the own pong, whose
    // TTL counts the hop the ping has been passed on by.
    bytes burst = joined({pongBytes(0x61, 1, {0xCC, 0x18, 7, 7, 7, 7}, 12, 22),
                          pongBytes(0x61, 1, {0xCB, 0x18, 8, 8, 8, 8}, 11, 21),
                          pongBytes(0x61, 1, {0xCA, 0x18, 9, 9, 9, 9}, 10, 20)});
    EXPECT_EQ(a.link->sends(), (std::vector<bytes>{burst, pongBytes(0x61, 2, {0xCA, 0x18, 5, 6, 7, 8}, 3, 2)}));
    EXPECT_EQ(a.link->events(), (std::vector<std::string>{"mode on", "send", "mode off", "send"}));

    struct row {
        unsigned long after;  // ms since the first ping
        bool ownPong;
    } rows[] = {{6000, false}, {30249, false}, {30250, true}};
    unsigned char fill = 0x62;
    for (const row& r : rows) {
        SCOPED_TRACE(r.after);
        setNow(1000000 + r.after);
        a.link->clearSends();
        a.link->deliver(ping(fill, 1, 0));  // for this node alone: not held to the 6000 ms
        turn();
        std::size_t expected = r.ownPong ? 2 : 1;
        ASSERT_EQ(a.link->sends().size(), expected) << "the cached pongs once, and the own pong";
        EXPECT_EQ(a.link->sends()[0].size(), 3 * pongSize);
        ++fill;
    }
    // HandlePing alone gives nothing at all inside its gap.
    a.link->clearSends();
    std::unique_ptr<CGnutellaPacket> early(ClonePacketBytes(ping(0x6F, 1, 0).data(), 23));
    EXPECT_FALSE(HandlePing(early.get(), a.host));
    EXPECT_TRUE(a.link->sends().empty());
}

TEST_F(Answers, AtMostTenCachedPongsAndNoOwnPongFromAFullNodeFarAway) {
    auto* named = new CGnutellaHostCatch("cache.example", 6346);  // no address to tell
    g_HostCatcher[named->m_Key] = named;
    for (unsigned char i = 1; i <= 12; ++i)
        cache({20, 0, 0, i}, 6346, 0, 0);
    g_Settings.m_MaxIncoming = 0;
    std::unique_ptr<CGnutellaPacket> distant(ClonePacketBytes(ping(0x71, 5, 2).data(), 23));
    EXPECT_TRUE(HandlePing(distant.get(), a.host));
    ASSERT_EQ(a.link->sends().size(), 1u);
    EXPECT_EQ(a.link->sends()[0].size(), cachedPongLimit * pongSize);

    ResetPingGates();
    a.link->clearSends();
    std::unique_ptr<CGnutellaPacket> nearby(ClonePacketBytes(ping(0x72, 5, 1).data(), 23));
    EXPECT_TRUE(HandlePing(nearby.get(), a.host));
    EXPECT_EQ(a.link->sends().size(), 2u) << "one hop away it gets the own pong too";
}

TEST_F(Answers, TheFirstPingIsAnsweredHoweverEarlyTheClock) {
    setNow(100);  // the tick count shortly after the system started
    a.link->deliver(ping(0x91, 3, 0));
    turn();
    EXPECT_EQ(a.link->sends().size(), 1u);
    EXPECT_EQ(DropCount(dropReason::pingThrottled), 0u);
}

TEST_F(Answers, PingsPassedOnAreAtLeast6000MsApart) {
    peer b = addPeer("2.2.2.2");
    peer c = addPeer("3.3.3.3");
    a.link->deliver(ping(0x81, 3, 0));
    settle();
    setNow(1000000 + 5999);
    b.link->deliver(ping(0x82, 3, 0));
    settle();
    EXPECT_EQ(DropCount(dropReason::pingThrottled), 1u);
    std::unique_ptr<CGnutellaPacket> second(ClonePacketBytes(ping(0x82, 3, 0).data(), 23));
    EXPECT_FALSE(SeenByAnyHost(second.get(), kind::ping)) << "dropped unseen";
    EXPECT_EQ(c.link->sends().size(), 1u);

    setNow(1000000 + 6000);
    b.link->deliver(ping(0x83, 3, 0));
    settle();
    EXPECT_EQ(c.link->sends().size(), 2u);
    EXPECT_EQ(c.link->sends()[1], ping(0x83, 2, 1));

    // A neighbour's ping for this node alone is always answered.
    setNow(1000000 + 6001);
    a.link->clearSends();
    a.link->deliver(ping(0x84, 1, 0));
    settle();
    EXPECT_EQ(DropCount(dropReason::pingThrottled), 1u);
}

TEST_F(Answers, QueryTextsOfUpTo80CharactersAreAnswered) {
    // The search monitor shows one text every 400 ms and remembers the last
    // across tests: each run starts far from the one before.
    static unsigned long base = 7000000;
    base += 1000000;
    g_Settings.m_EnableSearchMonitor = 1;
    struct row {
        std::string text;
        bool answered;
        bool shown;
    } rows[] = {
        {"song" + std::string(76, ' '), true, true},
        {"song" + std::string(77, ' '), false, true},
        {"    ", false, false},
    };
    unsigned char fill = 0x31;
    for (const row& r : rows) {
        setNow(base += 400);
        a.link->clearSends();
        std::size_t shownBefore = recorded("IGnutellaStatDockWnd::AddLine").size();
        a.link->deliver(descriptorOf(guidOf(fill++), function::query, 3, 0, queryPayload(r.text)));
        turn();
        EXPECT_EQ(a.link->sends().size(), r.answered ? 1u : 0u) << r.text.size() << " characters";
        EXPECT_EQ(recorded("IGnutellaStatDockWnd::AddLine").size() - shownBefore, r.shown ? 1u : 0u);
    }
}

TEST_F(Answers, AnswersHoldAtMostGnutellaMaxOutgoingResults) {
    struct row {
        std::uint32_t limit;
        std::size_t hits;
        unsigned char firstCount;
    } rows[] = {{0, 0, 0}, {1, 1, 1}, {2, 1, 2}};
    unsigned char fill = 0x41;
    for (const row& r : rows) {
        SCOPED_TRACE(r.limit);
        g_Settings.m_MaxOutgoingResults = r.limit;
        a.link->clearSends();
        a.link->deliver(descriptorOf(guidOf(fill++), function::query, 3, 0, queryPayload("song")));
        turn();
        ASSERT_EQ(a.link->sends().size(), r.hits);
        if (r.hits) {
            EXPECT_EQ(a.link->sends()[0][23], r.firstCount);
        }
    }
}

TEST(QueryWords, GoToTheShareEngineOnceEachAndAtMostTen) {
    struct row {
        const char* text;
        const char* query;
    } rows[] = {
        {"song", "song"},
        {"song Song SONG", "song"},
        {"  one   two one ", "one two"},
        {"w1 w2 w3 w4 w5 w6 w7 w8 w9 w10 w11 w12", "w1 w2 w3 w4 w5 w6 w7 w8 w9 w10"},
        {"a a a a a a a a a a a a a b", "a b"},
        {"", ""},
    };
    for (const row& r : rows)
        EXPECT_EQ(ShareEngineQuery(r.text), r.query) << r.text;
}

TEST(QueryHits, AreCutAt255ResultsAnd65535PayloadBytes) {
    std::vector<hitResult> shortNames(400, hitResult{1, 2, "x.mp3"});
    EXPECT_EQ(ResultsInOneHit(shortNames, 0), 255u);
    EXPECT_EQ(ResultsInOneHit(shortNames, 255), 145u);
    EXPECT_EQ(ResultsInOneHit(shortNames, 400), 0u);

    std::vector<hitResult> longNames(255, hitResult{1, 2, std::string(hitNameLimit, 'n')});
    std::size_t fit = ResultsInOneHit(longNames, 0);
    EXPECT_EQ(fit, 243u);  // 34 bytes around them, 269 each
    hitSender me{};
    bytes hit = QueryHitDescriptor(guidOf(1).data(), 7, me, longNames.data(), fit);
    EXPECT_LE(hit.size() - descriptorHeaderSize, maxHitPayload);
    EXPECT_EQ(ReadLe32(hit.data() + header::payloadLength), hit.size() - descriptorHeaderSize);
    EXPECT_EQ(hit[descriptorHeaderSize], 243);
}

}  // namespace
}  // namespace vesk::gnutella::test
