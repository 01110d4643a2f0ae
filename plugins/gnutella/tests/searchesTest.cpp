// The protocol's registration and its searches: start and stop through the
// manager's callbacks, the search lists, the hit queue and result agents.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaQueryHitContainer.h"
#include "plugins/gnutella/CGnutellaSearch.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/downloadActions.h"
#include "plugins/gnutella/downloadQueue.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/protocol.h"
#include "plugins/gnutella/queryHitResults.h"
#include "plugins/gnutella/resources.h"
#include "plugins/gnutella/searchHits.h"
#include "plugins/gnutella/searches.h"
#include "plugins/gnutella/tests/craftedHits.h"
#include "plugins/gnutella/tests/searchFixture.h"
#include "vesk/data.h"

namespace vesk::gnutella::test {
namespace {

using Searches = searchFixture;
using listsGuard = std::lock_guard<std::recursive_mutex>;

std::string languageString(HMODULE module, unsigned id) {
    char text[256] = {};
    LoadStringA(module, id, text, sizeof text);
    return text;
}

TEST_F(Searches, TheManagerSeesTheProtocolAndItsFortyFieldsInOrder) {
    // field, list, level: the result list, downloads, uploads, connections,
    // host cache and statistics.
    const int table[40][3] = {
        {264, 315, 100},  {246, 315, 100},  {240, 315, 1},    {202, 315, 100},  {238, 315, 1},
        {232, 315, 1000}, {231, 315, 1000}, {269, 312, 1000}, {246, 312, 100},  {240, 312, 1},
        {202, 312, 100},  {238, 312, 1},    {232, 312, 1000}, {231, 312, 1000}, {280, 312, 1000},
        {308, 312, 1000}, {303, 312, 1000}, {269, 317, 1000}, {246, 317, 100},  {240, 317, 1},
        {238, 317, 1},    {232, 317, 1000}, {231, 317, 1000}, {280, 317, 1000}, {308, 317, 1000},
        {303, 317, 1000}, {246, 314, 1000}, {238, 314, 1},    {280, 314, 1},    {309, 314, 1000},
        {202, 314, 1},    {264, 314, 100},  {300, 314, 100},  {299, 314, 100},  {298, 314, 100},
        {297, 314, 100},  {238, 313, 1},    {246, 313, 1000}, {264, 313, 1000}, {283, 316, 1000},
    };
    std::vector<recordingManager::field> expected;
    for (const auto& row : table)
        expected.push_back(
            {languageString(resources, row[0]), languageString(resources, row[1]), 0x4040, row[2]});

    InitProtocol();
    ASSERT_EQ(managerObject->registrations.size(), 1u);
    const ss::ProtocolRegistration& r = managerObject->registrations[0];
    EXPECT_EQ(r.out, &g_State.protocol);
    EXPECT_STREQ(r.name, "Gnutella");
    EXPECT_STREQ(r.description, "Gnutella File Searching/Sharing Protocol");
    EXPECT_STREQ(r.shortName, "zUdoradur");
    EXPECT_EQ(r.parameter1, 0);
    EXPECT_EQ(r.parameter2, 0);
    EXPECT_EQ(r.onConnect, &on_connect);
    EXPECT_EQ(r.onDisconnect, &on_disconnect);
    EXPECT_EQ(r.onStartSearch, &on_start_search);
    EXPECT_EQ(r.onStopSearch, &on_stop_search);
    EXPECT_EQ(managerObject->fields, expected);
    ASSERT_NE(g_State.protocol, nullptr);

    InitProtocol();
    EXPECT_EQ(managerObject->registrations.size(), 1u) << "registered once";
}

TEST_F(Searches, EachStartedSearchGetsAFreshMarkedIdItsNamedThreadAndAPendingPlace) {
    InitProtocol();
    ref<ss::ISearchInst> first = newSearch("first words"), second = newSearch("second");
    ASSERT_TRUE(manager->StartSearch(first.get()));
    ASSERT_TRUE(manager->StartSearch(second.get()));
    ASSERT_EQ(first->GetId(), 0) << "the manager's first id";

    listsGuard hold(g_SearchListsGuard);
    ASSERT_EQ(g_PendingSearchList.size(), 2u);
    CGnutellaSearch* a = g_PendingSearchList.front();
    CGnutellaSearch* b = g_PendingSearchList.back();
    EXPECT_STREQ(a->m_Query, "first words");
    EXPECT_STREQ(b->m_Query, "second");
    EXPECT_TRUE(IsMarkedGuid(a->m_Guid.bytes));
    EXPECT_TRUE(IsMarkedGuid(b->m_Guid.bytes));
    EXPECT_NE(a->m_Guid, b->m_Guid);
    EXPECT_TRUE(g_SearchInstIDtoSearchGUID.at(first->GetId()) == a->m_Guid);
    EXPECT_TRUE(g_SearchInstIDtoSearchGUID.at(second->GetId()) == b->m_Guid);
    EXPECT_TRUE(g_ActiveSearchList.empty()) << "active only once the Query is sent";

    Ithread* firstThread = threadNamed("Gnutella Search- ID: 0");
    Ithread* secondThread = threadNamed(SearchThreadName(second->GetId()));
    ASSERT_NE(firstThread, nullptr);
    ASSERT_NE(secondThread, nullptr);
    EXPECT_NE(firstThread, secondThread);
    EXPECT_TRUE(firstThread->isRunning());
    EXPECT_TRUE(secondThread->isRunning());
    EXPECT_EQ(SearchThreadName(-1), "Gnutella Search- ID: 4294967295");
}

TEST_F(Searches, TheSearchTextIsCutSoThatItsQueryFitsTheFraming) {
    for (std::size_t length : {0u, 1u, 254u, 255u, 300u}) {
        std::string text(length, 'w');
        ref<ss::ISearchInst> s = newSearch(text.c_str());
        ASSERT_EQ(on_start_search(s.get()), 1);
        listsGuard hold(g_SearchListsGuard);
        CGnutellaSearch* search = g_PendingSearchList.back();
        std::size_t kept = std::min<std::size_t>(length, 254);
        EXPECT_EQ(std::string(search->m_Query), text.substr(0, kept)) << length;
        std::vector<unsigned char> query = QueryDescriptor(search->m_Guid.bytes, search->m_Query, 0, 5);
        EXPECT_LE(query.size() - descriptorHeaderSize, 257u) << length;
    }
}

TEST_F(Searches, AStoppedSearchPendingOrActiveIsStoppedAndItsThreadEnds) {
    InitProtocol();
    ref<ss::ISearchInst> pending = newSearch("pending"), active = newSearch("active");
    ASSERT_TRUE(manager->StartSearch(active.get()));
    PromotePendingSearches();  // no link: its Query goes nowhere, but it is active
    ASSERT_TRUE(manager->StartSearch(pending.get()));
    CGnutellaSearch* pendingSearch = nullptr;
    {
        listsGuard hold(g_SearchListsGuard);
        ASSERT_EQ(g_ActiveSearchList.size(), 1u);
        ASSERT_EQ(g_PendingSearchList.size(), 1u);
        pendingSearch = g_PendingSearchList.front();
    }
    Ithread* pendingThread = threadNamed(SearchThreadName(pending->GetId()));
    Ithread* activeThread = threadNamed(SearchThreadName(active->GetId()));
    ASSERT_TRUE(pendingThread && activeThread);

    EXPECT_EQ(on_stop_search(pending.get()), 1);
    EXPECT_EQ(on_stop_search(active.get()), 1);
    {
        listsGuard hold(g_SearchListsGuard);
        EXPECT_TRUE(g_PendingSearchList.empty());
        EXPECT_TRUE(g_ActiveSearchList.empty());
        EXPECT_TRUE(g_SearchInstIDtoSearchGUID.empty());
        ASSERT_EQ(g_SearchRemoveList.size(), 2u);
        EXPECT_EQ(g_SearchRemoveList.front(), pendingSearch);
    }
    EXPECT_EQ(on_stop_search(pending.get()), 0) << "a second stop finds nothing";
    EXPECT_EQ(on_stop_search(nullptr), 1);
    EXPECT_TRUE(pendingThread->isRunning()) << "marked by the next turn of the active host thread";

    MarkRemovedSearches();
    EXPECT_TRUE(eventually([&] { return !pendingThread->isRunning() && !activeThread->isRunning(); }));
    listsGuard hold(g_SearchListsGuard);
    EXPECT_TRUE(g_SearchRemoveList.empty());
    PromotePendingSearches();
    EXPECT_TRUE(g_ActiveSearchList.empty()) << "a search stopped while pending never goes out";
}

TEST_F(Searches, ASecondSearchUnderTheSameIdTakesTheIdsEntry) {
    ref<ss::ISearchInst> older = newSearch("older"), newer = newSearch("newer");
    older->SetId(7);
    newer->SetId(7);
    ASSERT_EQ(StartSearch(older.get()), 0);
    ASSERT_EQ(StartSearch(newer.get()), 0);
    EXPECT_EQ(on_stop_search(older.get()), 1);
    listsGuard hold(g_SearchListsGuard);
    ASSERT_EQ(g_SearchRemoveList.size(), 1u);
    EXPECT_STREQ(g_SearchRemoveList.front()->m_Query, "newer");
    ASSERT_EQ(g_PendingSearchList.size(), 1u);
    EXPECT_STREQ(g_PendingSearchList.front()->m_Query, "older");
    EXPECT_EQ(on_stop_search(newer.get()), 0);
}

TEST_F(Searches, WithoutAThreadNoSearchIsKept) {
    g_State.threadClass = 0;
    ref<ss::ISearchInst> s = newSearch("no thread");
    EXPECT_EQ(StartSearch(s.get()), -1);
    EXPECT_EQ(on_start_search(s.get()), 1);
    EXPECT_EQ(StartSearch(nullptr), -1);
    listsGuard hold(g_SearchListsGuard);
    EXPECT_TRUE(g_PendingSearchList.empty());
    EXPECT_TRUE(g_SearchInstIDtoSearchGUID.empty());
}

// A search listed as active without a thread, so that its queue stays as
// the test leaves it.
struct threadlessActiveSearch {
    CGnutellaSearch* search = new CGnutellaSearch();
    threadlessActiveSearch() {
        NewMessageGuid(search->m_Guid.bytes);
        listsGuard hold(g_SearchListsGuard);
        g_ActiveSearchList[search->m_Guid] = search;
    }
    ~threadlessActiveSearch() {
        ForgetSearch(search);
        delete search;
    }
    std::size_t queued() {
        std::lock_guard<std::mutex> hold(search->m_HitLock);
        return search->m_Hits.size();
    }
};

TEST_F(Searches, OnlyWholeHitsForAnActiveSearchThatIsNotStoppingAreQueued) {
    threadlessActiveSearch active;
    craftedHit h;
    h.queryId = active.search->m_Guid;
    h.records = {{1, 1, "a", ""}};
    bytes good = h.descriptor();

    bytes otherFunction = good;
    otherFunction[header::function] = function::query;
    guid16 unknown;
    ASSERT_EQ(NewMessageGuid(unknown.bytes), 0);
    QueueQueryHitForSearch(unknown, good.data(), good.size());
    QueueQueryHitForSearch(active.search->m_Guid, otherFunction.data(), otherFunction.size());
    QueueQueryHitForSearch(active.search->m_Guid, good.data(), good.size() - 1);  // shorter than it says
    QueueQueryHitForSearch(active.search->m_Guid, good.data(), 22);
    QueueQueryHitForSearch(active.search->m_Guid, nullptr, good.size());
    EXPECT_EQ(active.queued(), 0u);

    QueueQueryHitForSearch(active.search->m_Guid, good.data(), good.size());
    ASSERT_EQ(active.queued(), 1u);
    EXPECT_EQ(active.search->m_Hits.front()->m_Bytes, good);

    active.search->m_Stopping = true;
    QueueQueryHitForSearch(active.search->m_Guid, good.data(), good.size());
    EXPECT_EQ(active.queued(), 1u) << "a stopping search takes no hit";
}

TEST_F(Searches, AHitForAPendingSearchIsDropped) {
    ref<ss::ISearchInst> s = newSearch("pending");
    ASSERT_EQ(StartSearch(s.get()), 0);
    CGnutellaSearch* search;
    {
        listsGuard hold(g_SearchListsGuard);
        search = g_PendingSearchList.front();
    }
    craftedHit h;
    h.queryId = search->m_Guid;
    h.records = {{1, 1, "a", ""}};
    bytes d = h.descriptor();
    QueueQueryHitForSearch(h.queryId, d.data(), d.size());
    std::lock_guard<std::mutex> hold(search->m_HitLock);
    EXPECT_TRUE(search->m_Hits.empty());
}

// A hit of the largest payload the framing takes.
CGnutellaQueryHitContainer* largestHit() {
    craftedHit h;
    h.records = {{1, 1, "a", std::string(65535 - 11 - 16 - 11, 'x')}};
    bytes d = h.descriptor();
    EXPECT_EQ(d.size(), 23u + 65535u);
    return NewQueryHitContainer(d.data(), d.size());
}

TEST_F(Searches, TheHitQueueOfASearchIsBounded) {
    CGnutellaSearch search;
    const std::size_t fits = maxQueuedHitBytes / (23 + 65535);
    for (std::size_t i = 0; i < fits; ++i)
        ASSERT_EQ(QueueQueryHit(&search, largestHit()), 1) << i;
    EXPECT_EQ(QueueQueryHit(&search, largestHit()), 0) << "the queue is full";
    EXPECT_EQ(ProcessQueryHit(&search), 0);
    EXPECT_EQ(QueueQueryHit(&search, largestHit()), 1) << "room again once one is read";
    EXPECT_EQ(QueueQueryHit(&search, nullptr), -1);
    EXPECT_EQ(QueueQueryHit(nullptr, largestHit()), -1);
}

TEST_F(Searches, AnEmptyQueueOrAStoppingSearchGivesNoResults) {
    CGnutellaSearch search;
    EXPECT_EQ(ProcessQueryHit(&search), 10);
    search.m_Stopping = true;
    EXPECT_EQ(ProcessQueryHit(&search), 0);
    EXPECT_EQ(ProcessQueryHit(nullptr), 0);
}

// The agents of a batch, each with one reference held by the vector.
std::vector<ss::IAgent*> agentsOf(Ivector* batch) {
    std::vector<ss::IAgent*> agents;
    for (unsigned i = 0; batch && i < batch->size(); ++i)
        agents.push_back(interfaceCast<ss::IAgent>(batch->at(i).asGeneric()));
    return agents;
}

TEST_F(Searches, EachAcceptedRecordBecomesAResultAgentWithTheDownloadAction) {
    craftedHit h;
    h.port = 6347;
    h.records = {{7, 1234, "song one.mp3", ""},
                 {8, 99, "two.ogg", "urn:sha1:PLSTHIPQGSSZTS5FJUPAKUZWUGYQYPFB"}};
    h.trailer = Trailer("LIME", 1, 1);
    bytes d = h.descriptor();
    Ivector* batch = BuildResultBatch(ParseQueryHit(d.data(), d.size()));
    ASSERT_NE(batch, nullptr);
    std::vector<ss::IAgent*> agents = agentsOf(batch);
    ASSERT_EQ(agents.size(), 2u);
    const int limewireIcon = ui.control()->AddIcon(ui.defaultModule(), 154);
    const char* vendorField = ResourceText(IDS_GNU_FIELD_CLIENT);
    for (std::size_t i = 0; i < agents.size(); ++i) {
        SCOPED_TRACE(i);
        ss::IAgent* a = agents[i];
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(textOf(a, IDS_GNU_FIELD_NAME), h.records[i].name);
        Ibuffer* servent = a->GetAttribute(ResourceText(IDS_GNU_FIELD_ID)).asBuffer();
        ASSERT_NE(servent, nullptr);
        servent->seek(0, 0);
        ASSERT_EQ(servent->resize(0), 16u);
        EXPECT_EQ(std::memcmp(servent->current(), h.servent.bytes, 16), 0);
        EXPECT_EQ(textOf(a, IDS_GNU_FIELD_ADDRESS), "198.51.100.7");
        EXPECT_EQ(a->GetAttribute(ResourceText(IDS_GNU_FIELD_PORT)).asUshort(), 6347);
        EXPECT_EQ(a->GetAttribute(ResourceText(IDS_GNU_FIELD_INDEX)).asUlong(), h.records[i].index);
        EXPECT_EQ(a->GetAttribute(ResourceText(IDS_GNU_FIELD_SIZE)).asUlong(), h.records[i].size);
        EXPECT_EQ(textOf(a, IDS_GNU_FIELD_CLIENT), "Limewire");
        EXPECT_EQ(a->GetAttributeProperty(vendorField, "II").asLong(), limewireIcon);
        EXPECT_EQ(a->GetAttribute("GNUTELLA_FORCE_PUSH").asUlong(), 1u);
        EXPECT_EQ(a->GetAction(ResourceText(IDS_GNU_ACTION_DOWNLOAD)), &add_download);
    }
    batch->release();
}

TEST_F(Searches, AResultsDownloadActionQueuesTheResultAsTheDownloadsRow) {
    craftedHit h;
    h.records = {{7, 1234, "song one.mp3", ""}};
    bytes d = h.descriptor();
    Ivector* batch = BuildResultBatch(ParseQueryHit(d.data(), d.size()));
    ASSERT_NE(batch, nullptr);
    ss::IAgent* result = agentsOf(batch).at(0);
    EXPECT_TRUE(result->FireAction(ResourceText(IDS_GNU_ACTION_DOWNLOAD)));
    ss::IAgent* queued = PopQueuedDownload();
    EXPECT_EQ(queued, result);
    if (queued)
        queued->release();  // the queue's reference, handed over
    EXPECT_FALSE(result->HasAction(ResourceText(IDS_GNU_ACTION_DOWNLOAD))) << "queued, no longer offered";
    batch->release();
}

TEST_F(Searches, WhichHitsGiveResultsAndWithWhatVendor) {
    const int otherIcon = ui.control()->AddIcon(ui.defaultModule(), 152);
    struct row {
        const char* what;
        unsigned char address[4];
        bool showFirewalled;
        bool malformed;
        std::size_t results;
        bool push;
    } rows[] = {
        {"a public address", {198, 51, 100, 7}, false, false, 2, false},
        {"a private address, shown", {192, 168, 1, 5}, true, false, 2, false},
        {"a private address, not shown", {192, 168, 1, 5}, false, false, 0, false},
        {"loopback", {127, 0, 0, 1}, true, false, 0, false},
        {"no address", {0, 0, 0, 0}, false, false, 2, true},
        {"malformed after the two records", {0, 0, 0, 0}, false, true, 2, false},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        g_Settings.m_ShowFirewalledResults = r.showFirewalled;
        craftedHit h;
        std::copy(r.address, r.address + 4, h.address);
        h.records = {{1, 1, "a", ""}, {2, 2, "b", ""}};
        if (r.malformed)
            h.count = 3;
        bytes d = h.descriptor();
        Ivector* batch = BuildResultBatch(ParseQueryHit(d.data(), d.size()));
        std::vector<ss::IAgent*> agents = agentsOf(batch);
        EXPECT_EQ(agents.size(), r.results);
        for (ss::IAgent* a : agents) {
            EXPECT_EQ(textOf(a, IDS_GNU_FIELD_CLIENT), "Not Reported");
            EXPECT_EQ(a->GetAttributeProperty(ResourceText(IDS_GNU_FIELD_CLIENT), "II").asLong(), otherIcon);
            EXPECT_EQ(a->HasAttribute("GNUTELLA_FORCE_PUSH"), r.push);
        }
        if (batch)
            batch->release();
    }
}

}  // namespace
}  // namespace vesk::gnutella::test
