// A search from start to results over real links: the manager starts it,
// its Query reaches every scripted peer on 127.0.0.1, a peer answers with
// crafted hits (naming other addresses inside, never dialled), the hits
// come back through the link and are handed over as the routing does, and
// the manager receives the exact agents, one batch per hit. Stopping and
// the result limit end the search's thread.
#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "extern/net/communications.h"
#include "extern/net/engine.h"
#include "extern/net/tests/loopback.h"
#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaSearch.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/protocol.h"
#include "plugins/gnutella/resources.h"
#include "plugins/gnutella/searchHits.h"
#include "plugins/gnutella/searches.h"
#include "plugins/gnutella/tests/craftedHits.h"
#include "plugins/gnutella/tests/searchFixture.h"
#include "vesk/net.h"

namespace vesk::gnutella::test {
namespace {

using net::test::plainListener;
using net::test::receiveBytes;
using net::test::sendAll;

// The names of the results of every batch the manager was handed, in order.
std::mutex batchLock;
std::vector<std::vector<std::string>> batches;

void recordBatch(Ivector* batch) {
    std::vector<std::string> names;
    for (unsigned i = 0; i < batch->size(); ++i) {
        auto* agent = interfaceCast<ss::IAgent>(batch->at(i).asGeneric());
        Istring* name = agent ? agent->GetAttribute(ResourceText(IDS_GNU_FIELD_NAME)).asString() : nullptr;
        names.push_back(name && name->c_str() ? name->c_str() : "");
    }
    std::lock_guard<std::mutex> hold(batchLock);
    batches.push_back(names);
}

std::vector<std::vector<std::string>> recordedBatches() {
    std::lock_guard<std::mutex> hold(batchLock);
    return batches;
}

// One link of this node to a scripted peer on 127.0.0.1.
struct peerLink {
    plainListener listener;
    SOCKET peer = INVALID_SOCKET;
    net::ITCPDescriptor* link = nullptr;  // held by the link's CGnutellaHost

    ~peerLink() { net::test::closePlain(peer); }
};

class SearchFlow : public searchFixture {
protected:
    void SetUp() override {
        searchFixture::SetUp();
        {
            std::lock_guard<std::mutex> hold(batchLock);
            batches.clear();
        }
        manager->AddResultCallback(&recordBatch);
        InitProtocol();
        ASSERT_NE(g_State.protocol, nullptr);
        g_State.running = 1;  // online: links that are up are served, not closed
    }
    void TearDown() override {
        g_State.running = 0;
        searchFixture::TearDown();  // the links go before the network thread
        if (communications)
            static_cast<IcoreObject*>(communications)->releaseCore();
        if (engine)
            engine->stop();
    }

    void startNetwork() {
        engine = std::make_shared<net::engine>(net::engineSettings());
        ASSERT_TRUE(engine->start());
        communications = new capsule_core<net::communications>(engine);
    }

    // Dials the peer and lists the link as up.
    void linkTo(peerLink& p) {
        auto* d =
            interfaceCast<net::ITCPDescriptor>(communications->createDescriptor("vesk::net::tcp", nullptr));
        ASSERT_NE(d, nullptr);
        d->addRef();
        auto* link = new CGnutellaHost();
        link->m_Link = d;
        link->m_State = linkState::outgoingUp;
        link->m_Kind = linkKind::outgoingUp;
        p.link = d;
        ASSERT_EQ(d->connect("127.0.0.1", p.listener.port()), 1);
        p.peer = p.listener.acceptOne();
        ASSERT_NE(p.peer, INVALID_SOCKET);
        ASSERT_TRUE(eventually([&] { return d->status() == net::status::connected; }));
        std::lock_guard<std::recursive_mutex> hold(g_ActiveHostList.guard);
        g_ActiveHostList.items[link->m_Id] = link;
    }

    std::size_t resultCount(ss::ISearchInst* s) {
        Ivector* results = s->GetResults();
        lockGuard hold(results->getLock());
        return results->size();
    }

    bool searchListed(const guid16& queryId) {
        std::lock_guard<std::recursive_mutex> hold(g_SearchListsGuard);
        return g_ActiveSearchList.count(queryId) != 0;
    }

    std::shared_ptr<net::engine> engine;
    net::communications* communications = nullptr;
    net::test::winsockSession winsock;
};

TEST_F(SearchFlow, TheQueryReachesEveryLinkAndCraftedHitsArriveAsOneBatchEach) {
    startNetwork();
    peerLink peers[3];
    for (peerLink& p : peers)
        ASSERT_NO_FATAL_FAILURE(linkTo(p));
    ASSERT_NO_FATAL_FAILURE(startActiveHostThread());

    ref<ss::ISearchInst> search = newSearch("abc");
    ASSERT_TRUE(manager->StartSearch(search.get()));

    // Every peer gets the same Query: 23-byte header, speed, text, zero.
    bytes first = receiveBytes(peers[0].peer, 29);
    ASSERT_EQ(first.size(), 29u);
    guid16 queryId = guid16::from(first.data());
    EXPECT_TRUE(IsMarkedGuid(queryId.bytes));
    EXPECT_EQ(first, QueryDescriptor(queryId.bytes, "abc", 0, 5));
    for (int i = 1; i < 3; ++i)
        EXPECT_EQ(receiveBytes(peers[i].peer, 29), first) << "peer " << i;
    ASSERT_TRUE(searchListed(queryId));

    // The second peer answers twice; the bytes come back through its link.
    craftedHit music, video;
    music.queryId = video.queryId = queryId;
    music.records = {{11, 3000000, "abc live.mp3", ""}, {12, 4000000, "abc studio.mp3", ""}};
    music.trailer = Trailer("LIME", 1, 1);
    video.address[0] = 203;  // 203.0.113.9: a documentation address
    video.address[1] = 0;
    video.address[2] = 113;
    video.address[3] = 9;
    video.port = 6350;
    video.records = {{5, 700000000, "abc.avi", "urn:sha1:PLSTHIPQGSSZTS5FJUPAKUZWUGYQYPFB"}};
    video.trailer = Trailer("BEAR", 0, 0);
    bytes musicBytes = music.descriptor(), videoBytes = video.descriptor();
    bytes answer = musicBytes;
    answer.insert(answer.end(), videoBytes.begin(), videoBytes.end());
    // The active host thread reads them off the link and routes them to
    // the search that sent the query.
    ASSERT_TRUE(sendAll(peers[1].peer, answer));

    ASSERT_TRUE(eventually([&] { return resultCount(search.get()) == 3; }));
    EXPECT_EQ(recordedBatches(),
              (std::vector<std::vector<std::string>>{{"abc live.mp3", "abc studio.mp3"}, {"abc.avi"}}));
    Ivector* results = search->GetResults();
    struct expected {
        const char* name;
        const char* address;
        unsigned short port;
        unsigned long index, size;
        const char* vendor;
        bool push;
    } rows[] = {
        {"abc live.mp3", "198.51.100.7", 6346, 11, 3000000, "Limewire", true},
        {"abc studio.mp3", "198.51.100.7", 6346, 12, 4000000, "Limewire", true},
        {"abc.avi", "203.0.113.9", 6350, 5, 700000000, "Bearshare", false},
    };
    for (unsigned i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        auto* a = interfaceCast<ss::IAgent>(results->at(i).asGeneric());
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(textOf(a, IDS_GNU_FIELD_NAME), rows[i].name);
        EXPECT_EQ(textOf(a, IDS_GNU_FIELD_ADDRESS), rows[i].address);
        EXPECT_EQ(a->GetAttribute(ResourceText(IDS_GNU_FIELD_PORT)).asUshort(), rows[i].port);
        EXPECT_EQ(a->GetAttribute(ResourceText(IDS_GNU_FIELD_INDEX)).asUlong(), rows[i].index);
        EXPECT_EQ(a->GetAttribute(ResourceText(IDS_GNU_FIELD_SIZE)).asUlong(), rows[i].size);
        EXPECT_EQ(textOf(a, IDS_GNU_FIELD_CLIENT), rows[i].vendor);
        EXPECT_EQ(a->HasAttribute("GNUTELLA_FORCE_PUSH"), rows[i].push);
        EXPECT_TRUE(a->HasAction(ResourceText(IDS_GNU_ACTION_DOWNLOAD)));
    }

    // The user stops it: the search leaves the lists and its thread ends.
    Ithread* thread = threadNamed(SearchThreadName(search->GetId()));
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(thread->isRunning());
    manager->StopSearch(search.get());
    EXPECT_TRUE(eventually([&] { return !thread->isRunning(); }));
    EXPECT_FALSE(searchListed(queryId));
    QueueQueryHitForSearch(queryId, musicBytes.data(), musicBytes.size());
    Sleep(50);
    EXPECT_EQ(resultCount(search.get()), 3u) << "a hit after the stop is dropped";
}

TEST_F(SearchFlow, TheResultLimitStopsTheSearchFromItsOwnThread) {
    ASSERT_NO_FATAL_FAILURE(startActiveHostThread());
    managerObject->SetMaxSearchResults(3);
    ref<ss::ISearchInst> search = newSearch("limit");
    ASSERT_TRUE(manager->StartSearch(search.get()));
    guid16 queryId;
    {
        std::lock_guard<std::recursive_mutex> hold(g_SearchListsGuard);
        queryId = g_SearchInstIDtoSearchGUID.at(search->GetId());
    }
    ASSERT_TRUE(eventually([&] { return searchListed(queryId); }));
    Ithread* thread = threadNamed(SearchThreadName(search->GetId()));
    ASSERT_NE(thread, nullptr);

    craftedHit pair;
    pair.queryId = queryId;
    pair.records = {{1, 10, "limit one", ""}, {2, 20, "limit two", ""}};
    bytes d = pair.descriptor();
    QueueQueryHitForSearch(queryId, d.data(), d.size());
    ASSERT_TRUE(eventually([&] { return resultCount(search.get()) == 2; }));
    QueueQueryHitForSearch(queryId, d.data(), d.size());
    ASSERT_TRUE(eventually([&] { return recordedBatches().size() == 2; }));
    EXPECT_EQ(resultCount(search.get()), 3u) << "one of the second pair fits";
    EXPECT_TRUE(thread->isRunning()) << "reaching the limit exactly does not stop it";

    // The next hit finds no room: the manager stops the search from the
    // search's own thread, which then ends.
    QueueQueryHitForSearch(queryId, d.data(), d.size());
    EXPECT_TRUE(eventually([&] { return !thread->isRunning(); }));
    EXPECT_FALSE(searchListed(queryId));
    EXPECT_EQ(resultCount(search.get()), 3u);
    EXPECT_EQ(manager->GetSearchCount(), 0);
}

}  // namespace
}  // namespace vesk::gnutella::test
