// The hosts kept between runs: the host filter, and the host cache and the
// successful hosts saved to and read back from the settings store.
#include <gtest/gtest.h>

#include <string>

#include "plugins/gnutella/CGnutellaHostCatch.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/hostCache.h"
#include "plugins/gnutella/CGnutellaPacket.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/tests/gnutellaFixture.h"
#include "plugins/gnutella/tests/linkFixture.h"
#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/resources.h"

namespace vesk::gnutella::test {
namespace {

TEST(HostFilter, RefusesHostsNoPeerCouldBeOrThisNodeItself) {
    const unsigned char publicOwn[4] = {8, 8, 4, 4};
    const unsigned char privateOwn[4] = {192, 168, 0, 2};
    struct row {
        unsigned char address[4];
        std::uint16_t port;
        const unsigned char* own;
        bool enableReported;
        bool refused;
    } rows[] = {
        {{0, 1, 2, 3}, 6346, publicOwn, false, true},   {{10, 1, 2, 0}, 6346, publicOwn, false, true},
        {{127, 0, 0, 1}, 6346, publicOwn, false, true}, {{224, 0, 0, 1}, 6346, publicOwn, false, true},
        {{1, 2, 255, 4}, 6346, publicOwn, false, true}, {{1, 2, 3, 255}, 6346, publicOwn, false, true},
        {{1, 255, 3, 4}, 6346, publicOwn, false, true}, {{223, 1, 2, 3}, 6346, publicOwn, false, false},
        {{8, 8, 4, 4}, 6346, publicOwn, false, true},   // this node and its listen port
        {{8, 8, 4, 4}, 6347, publicOwn, false, false},  // another port of the same address
        {{10, 0, 0, 5}, 6346, privateOwn, false, true}, {{10, 0, 0, 5}, 6346, privateOwn, true, false},
        {{10, 0, 0, 5}, 6346, publicOwn, false, false}, {{1, 2, 3, 4}, 6346, privateOwn, false, false},
    };
    for (const row& r : rows)
        EXPECT_EQ(IsRefusedHost(r.address, r.port, r.own, 6346, r.enableReported), r.refused)
            << int(r.address[0]) << "." << int(r.address[1]) << "." << int(r.address[2]) << "."
            << int(r.address[3]) << ":" << r.port;
}

class HostCacheTest : public gnutellaFixture {
protected:
    void SetUp() override {
        gnutellaFixture::SetUp();
        const unsigned char own[4] = {192, 168, 0, 2};
        g_Settings.m_OwnAddress.Set(own);
        g_Settings.m_ListenPort = 6346;
        g_Settings.m_EnableReported = 0;
        g_State.hostListsRead = true;
    }
    void TearDown() override {
        ClearHostCatcher();
        ClearSuccessfulHosts();
        g_HostCatchKeyQueue.clear();
        g_State.hostListsRead = false;
        gnutellaFixture::TearDown();
    }

    static void cache(const char* address, std::uint16_t port, unsigned long kilobytes, unsigned long files) {
        auto* entry = new CGnutellaHostCatch(address, port);
        entry->m_Kilobytes = kilobytes;
        entry->m_Files = files;
        g_HostCatcher[entry->m_Key] = entry;
        g_HostCatchKeyQueue.push_back(entry->m_Key);
    }

    void storeCached(int i, const char* address, unsigned short port, unsigned long kilobytes,
                     unsigned long files) {
        std::string n = std::to_string(i);
        store->put("Gnutella_HostCatchItemIP" + n, value(address));
        store->put("Gnutella_HostCatchItemPort" + n, value(port));
        store->put("Gnutella_HostCatchItemKB" + n, value(kilobytes));
        store->put("Gnutella_HostCatchItemFiles" + n, value(files));
    }
};

TEST_F(HostCacheTest, SavingWritesTheCountAndEachHostInKeyOrder) {
    cache("5.6.7.8", 6347, 100, 10);
    cache("1.2.3.4", 6346, 200, 20);
    cache("1.2.3.4", 80, 300, 30);
    SaveHostCatcher();
    EXPECT_EQ(store->typeOf("Gnutella_HostCatchEntires"), vt::ulongV);
    EXPECT_EQ(store->numberOf("Gnutella_HostCatchEntires"), 3u);
    // Key text order: "1.2.3.4:6346" < "1.2.3.4:80" < "5.6.7.8:6347".
    const char* addresses[] = {"1.2.3.4", "1.2.3.4", "5.6.7.8"};
    unsigned long ports[] = {6346, 80, 6347}, kilobytes[] = {200, 300, 100}, files[] = {20, 30, 10};
    for (int i = 0; i < 3; ++i) {
        std::string n = std::to_string(i + 1);
        EXPECT_EQ(store->textOf("Gnutella_HostCatchItemIP" + n), addresses[i]);
        EXPECT_EQ(store->typeOf("Gnutella_HostCatchItemPort" + n), vt::ushortV);
        EXPECT_EQ(store->numberOf("Gnutella_HostCatchItemPort" + n), ports[i]);
        EXPECT_EQ(store->typeOf("Gnutella_HostCatchItemKB" + n), vt::ulongV);
        EXPECT_EQ(store->numberOf("Gnutella_HostCatchItemKB" + n), kilobytes[i]);
        EXPECT_EQ(store->numberOf("Gnutella_HostCatchItemFiles" + n), files[i]);
    }
    std::vector<std::string> order = {"Gnutella_HostCatchEntires", "Gnutella_HostCatchItemPort1",
                                      "Gnutella_HostCatchItemIP1", "Gnutella_HostCatchItemKB1",
                                      "Gnutella_HostCatchItemFiles1"};
    EXPECT_EQ(std::vector<std::string>(store->setOrder.begin(), store->setOrder.begin() + 5), order);
}

TEST_F(HostCacheTest, LoadingTakesTheItemsOutOfTheStoreAndSkipsRefusedHosts) {
    store->put("Gnutella_HostCatchEntires", value(4UL));
    storeCached(1, "1.2.3.4", 6346, 200, 20);
    storeCached(2, "10.0.0.5", 6346, 1, 1);  // private, seen from a private node
    storeCached(3, "1.2.3.4", 6346, 9, 9);   // the same host again
    storeCached(4, "5.6.7.8", 6347, 100, 10);
    LoadHostCatcher();

    ASSERT_EQ(g_HostCatcher.size(), 2u);
    EXPECT_EQ(g_HostCatcher.at("1.2.3.4:6346")->m_Kilobytes, 200u);
    EXPECT_EQ(g_HostCatcher.at("1.2.3.4:6346")->m_Files, 20u);
    EXPECT_EQ(g_HostCatcher.at("5.6.7.8:6347")->m_Port, 6347);
    EXPECT_EQ(std::list<std::string>(g_HostCatchKeyQueue),
              (std::list<std::string>{"1.2.3.4:6346", "5.6.7.8:6347"}));
    for (int i = 1; i <= 4; ++i) {
        std::string n = std::to_string(i);
        EXPECT_FALSE(store->has("Gnutella_HostCatchItemPort" + n)) << n;
        EXPECT_FALSE(store->has("Gnutella_HostCatchItemKB" + n)) << n;
        EXPECT_FALSE(store->has("Gnutella_HostCatchItemFiles" + n)) << n;
    }
    EXPECT_FALSE(store->has("Gnutella_HostCatchItemIP1"));
    EXPECT_TRUE(store->has("Gnutella_HostCatchItemIP2")) << "a refused host's address stays";
    EXPECT_TRUE(store->has("Gnutella_HostCatchItemIP3")) << "so does a repeated one";
    EXPECT_FALSE(store->has("Gnutella_HostCatchItemIP4"));
}

TEST_F(HostCacheTest, ACountOfAnotherTypeOrADamagedCountLoadsOnlyWhatIsThere) {
    store->put("Gnutella_HostCatchEntires", value(3L));
    storeCached(1, "1.2.3.4", 6346, 0, 0);
    LoadHostCatcher();
    EXPECT_TRUE(g_HostCatcher.empty()) << "a long count counts as 0";

    store->put("Gnutella_HostCatchEntires", value(4000000000UL));
    LoadHostCatcher();
    EXPECT_EQ(g_HostCatcher.size(), 1u);
}

TEST_F(HostCacheTest, SuccessfulHostsKeepThePortUnderItemIpAndTheAddressUnderItemPort) {
    g_SuccessfulHosts.items["1.2.3.4:6346"] = new CGnutellaHostCatch("1.2.3.4", 6346);
    SaveSuccessfulHosts();
    EXPECT_EQ(store->numberOf("Gnutella_SuccessfulEntires"), 1u);
    EXPECT_EQ(store->typeOf("Gnutella_SuccessfulItemIP1"), vt::ushortV);
    EXPECT_EQ(store->numberOf("Gnutella_SuccessfulItemIP1"), 6346u);
    EXPECT_EQ(store->textOf("Gnutella_SuccessfulItemPort1"), "1.2.3.4");

    ClearSuccessfulHosts();
    LoadSuccessfulHosts();
    ASSERT_EQ(g_SuccessfulHosts.items.size(), 1u);
    EXPECT_EQ(g_SuccessfulHosts.items.begin()->first, "1.2.3.4:6346");
    EXPECT_FALSE(store->has("Gnutella_SuccessfulItemIP1"));
    EXPECT_FALSE(store->has("Gnutella_SuccessfulItemPort1"));
}

TEST_F(HostCacheTest, SuccessfulHostsNamingAHostTwiceLoadTheFirstAndEndAtTheSecond) {
    store->put("Gnutella_SuccessfulEntires", value(3UL));
    const char* addresses[] = {"1.2.3.4", "1.2.3.4", "5.6.7.8"};
    for (int i = 0; i < 3; ++i) {
        store->put("Gnutella_SuccessfulItemIP" + std::to_string(i + 1),
                   value(static_cast<unsigned short>(6346)));
        store->put("Gnutella_SuccessfulItemPort" + std::to_string(i + 1), value(addresses[i]));
    }
    LoadSuccessfulHosts();
    ASSERT_EQ(g_SuccessfulHosts.items.size(), 1u);
    EXPECT_EQ(g_SuccessfulHosts.items.begin()->first, "1.2.3.4:6346");
}

TEST_F(HostCacheTest, TheSaveHookPutsTheHostListsIntoTheStoreBeforeTheFileIsWritten) {
    cache("1.2.3.4", 6346, 1, 2);
    g_SuccessfulHosts.items["5.6.7.8:6347"] = new CGnutellaHostCatch("5.6.7.8", 6347);
    EXPECT_TRUE(on_settings_changed());
    EXPECT_EQ(store->numberOf("Gnutella_HostCatchEntires"), 1u);
    EXPECT_EQ(store->textOf("Gnutella_HostCatchItemIP1"), "1.2.3.4");
    EXPECT_EQ(store->numberOf("Gnutella_SuccessfulEntires"), 1u);
    EXPECT_EQ(store->textOf("Gnutella_SuccessfulItemPort1"), "5.6.7.8");
    EXPECT_EQ(store->numberOf("Gnutella_QuickConnectEntries"), 0u);
}

TEST_F(HostCacheTest, BeforeTheListsAreReadASaveLeavesTheStoredOnesAlone) {
    g_State.hostListsRead = false;
    store->put("Gnutella_HostCatchEntires", value(1UL));
    storeCached(1, "1.2.3.4", 6346, 1, 1);
    on_settings_changed();
    EXPECT_EQ(store->numberOf("Gnutella_HostCatchEntires"), 1u);
    EXPECT_EQ(store->textOf("Gnutella_HostCatchItemIP1"), "1.2.3.4");
    EXPECT_FALSE(store->has("Gnutella_SuccessfulEntires"));
}

TEST_F(HostCacheTest, ClearingEmptiesTheCacheAndItsListButNotTheKeyQueue) {
    cache("1.2.3.4", 6346, 1, 2);
    ClearHostCatcher();
    EXPECT_TRUE(g_HostCatcher.empty());
    EXPECT_EQ(g_HostCatchKeyQueue.size(), 1u);
    EXPECT_EQ(recorded("IGnutellaHostDockWnd::ClearCatch").size(), 1u);
}

// The host cache as pongs, the policy and the user's row action use it.
class HostCatcherTest : public linkFixture {
protected:
    void SetUp() override {
        linkFixture::SetUp();
        const unsigned char own[4] = {8, 8, 4, 4};
        g_Settings.m_OwnAddress.Set(own);
        g_Settings.m_ListenPort = 6346;
    }

    // A pong from the host, sharing files and kilobytes.
    static CGnutellaPacket pong(const unsigned char (&address)[4], std::uint16_t port, std::uint32_t files = 0,
                                std::uint32_t kilobytes = 0) {
        CGnutellaPacket packet;
        WriteDescriptorHeader(packet.m_Header, nullptr, function::pong, 7, 0, 14);
        packet.m_Payload.resize(14);
        WriteLe16(packet.m_Payload.data(), port);
        std::copy(address, address + 4, packet.m_Payload.begin() + 2);
        WriteLe32(packet.m_Payload.data() + 6, files);
        WriteLe32(packet.m_Payload.data() + 10, kilobytes);
        return packet;
    }

    static void offerPong(CGnutellaPacket packet) { AddPongHost(&packet); }

    static std::list<std::string> queue() {
        lockGuard hold(g_State.hostCacheLock);
        return g_HostCatchKeyQueue;
    }
};

TEST_F(HostCatcherTest, APongCachesItsHostWithARowThatDialsIt) {
    offerPong(pong({1, 2, 3, 4}, 6346, 10, 200));
    ASSERT_EQ(g_HostCatcher.count("1.2.3.4:6346"), 1u);
    CGnutellaHostCatch* entry = g_HostCatcher.at("1.2.3.4:6346");
    EXPECT_EQ(entry->m_Files, 10u);
    EXPECT_EQ(entry->m_Kilobytes, 200u);
    EXPECT_EQ(rowText(entry->m_Row, IDS_GNU_FIELD_ADDRESS), "1.2.3.4");
    EXPECT_EQ(rowText(entry->m_Row, IDS_GNU_FIELD_ID), "1.2.3.4:6346");
    EXPECT_EQ(entry->m_Row->GetAttribute(ResourceText(IDS_GNU_FIELD_PORT)).asUshort(), 6346);
    EXPECT_TRUE(entry->m_Row->HasAction(ResourceText(IDS_GNU_ACTION_CONNECT)));
    EXPECT_EQ(recorded("IGnutellaHostDockWnd::UpdateCatch").size(), 1u);

    offerPong(pong({1, 2, 3, 4}, 6346, 99, 99));
    EXPECT_EQ(g_HostCatcher.at("1.2.3.4:6346")->m_Files, 10u) << "a cached host keeps what it had";
    EXPECT_EQ(queue().size(), 1u);

    for (const CGnutellaPacket& refused : {pong({127, 0, 0, 1}, 6346), pong({8, 8, 4, 4}, 6346), pong({1, 2, 3, 255}, 1)})
        offerPong(refused);
    offerPong(pong({8, 8, 4, 4}, 6347));
    EXPECT_EQ(CachedHosts(10).size(), 2u) << "loopback, this node and a 255 part are refused; another port is not";
}

TEST_F(HostCatcherTest, AFullCacheGivesUpItsOldestHostForANewOne) {
    g_Settings.m_MaxHostCatcher = 50;
    for (unsigned char i = 1; i <= 50; ++i)
        offerPong(pong({9, 9, 9, i}, 6346));
    ui.calls().clear();
    offerPong(pong({1, 2, 3, 4}, 6346));
    EXPECT_EQ(CachedHosts(100).size(), 50u);
    EXPECT_EQ(g_HostCatcher.count("9.9.9.1:6346"), 0u) << "the oldest inserted went";
    EXPECT_EQ(queue().back(), "1.2.3.4:6346");
    EXPECT_EQ(queue().front(), "9.9.9.2:6346");
    EXPECT_EQ(recorded("IGnutellaHostDockWnd::RemoveCatch").size(), 1u);
}

TEST_F(HostCatcherTest, LoadingKeepsTheLastItemsThatFitTheCacheAndShowsThemOnce) {
    g_Settings.m_MaxHostCatcher = 50;
    const unsigned long stored = 200;
    store->put("Gnutella_HostCatchEntires", value(stored));
    for (unsigned long i = 1; i <= stored; ++i) {
        std::string n = std::to_string(i);
        std::string address = "11.0." + std::to_string(i / 100) + "." + std::to_string(i % 100 + 1);
        store->put("Gnutella_HostCatchItemIP" + n, value(address.c_str()));
        store->put("Gnutella_HostCatchItemPort" + n, value(static_cast<unsigned short>(6346)));
    }
    LoadHostCatcher();

    EXPECT_EQ(CachedHosts(1000).size(), 50u);
    EXPECT_EQ(queue().front(), "11.0.1.52:6346") << "item 151, the first of the last 50";
    EXPECT_EQ(queue().back(), "11.0.2.1:6346");
    EXPECT_EQ(recorded("IGnutellaHostDockWnd::UpdateCatch").size(), 50u) << "a row per host kept, none for the rest";
    EXPECT_TRUE(recorded("IGnutellaHostDockWnd::RemoveCatch").empty());
    EXPECT_FALSE(store->has("Gnutella_HostCatchItemIP1")) << "an item older than the bound is dropped for good";
}

TEST_F(HostCatcherTest, AfterClearingTheStaleKeysArePoppedAsNothingOneByOne) {
    cacheHost("127.0.0.1", 1);
    cacheHost("127.0.0.1", 2);
    ClearHostCatcher();
    cacheHost("127.0.0.1", 3);
    EXPECT_EQ(PopHostCatcher(), nullptr);
    EXPECT_EQ(PopHostCatcher(), nullptr);
    std::unique_ptr<CGnutellaHostCatch> third(PopHostCatcher());
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->m_Port, 3);
    EXPECT_TRUE(queue().empty());
    EXPECT_EQ(PopHostCatcher(), nullptr);
}

TEST_F(HostCatcherTest, TheRowActionDialsTheCachedHostOnce) {
    cacheHost("127.0.0.1", 1);
    cacheHost("127.0.0.1", 2);
    CGnutellaHostCatch* entry = g_HostCatcher.at("127.0.0.1:2");
    entry->FillRow();
    ss::IAgent* row = entry->m_Row;
    row->addRef();
    connect_to_catch_host(row);
    CGnutellaHost* link = onlyLink(g_InactiveHostList);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->m_Port, 2);
    EXPECT_STREQ(link->m_AddressText, "127.0.0.1");
    EXPECT_EQ(queue(), (std::list<std::string>{"127.0.0.1:1"}));
    EXPECT_EQ(recorded("IGnutellaHostDockWnd::RemoveCatch").size(), 1u);

    connect_to_catch_host(row);
    EXPECT_EQ(g_InactiveHostList.Count(), 1u) << "the host is gone from the cache: nothing is dialled";
    row->release();
}

}  // namespace
}  // namespace vesk::gnutella::test
