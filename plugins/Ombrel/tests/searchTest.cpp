#include <atomic>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "plugins/Ombrel/searchInst.h"
#include "plugins/Ombrel/tests/managerFixture.h"

namespace vesk::ss::test {
namespace {

std::vector<std::string> searchLog;

int startA(ISearchInst* s) { searchLog.push_back("start A " + std::to_string(s->GetId())); return 0; }
int stopA(ISearchInst* s) { searchLog.push_back("stop A " + std::to_string(s->GetId())); return 0; }
int startB(ISearchInst* s) { searchLog.push_back("start B " + std::to_string(s->GetId())); return 0; }
int stopB(ISearchInst* s) { searchLog.push_back("stop B " + std::to_string(s->GetId())); return 0; }
int startThrows(ISearchInst*) { throw 7; }
int stopThrows(ISearchInst*) { throw 8; }
bool connectNothing() { return true; }

std::string address(const void* p) {
    std::ostringstream out;
    out << p;
    return out.str();
}

class Searches : public managerFixture {
protected:
    void SetUp() override {
        managerFixture::SetUp();
        searchLog.clear();
    }
    void TearDown() override {
        for (ISearchInst* s : held)
            s->release();
        managerFixture::TearDown();
    }

    void addProtocol(ProtocolSearchFn start, ProtocolSearchFn stop) {
        IProtocol* p = nullptr;
        ASSERT_EQ(manager->RegisterProtocol(
                      ProtocolRegistration{&p, "P", "", "", 0, 0, connectNothing, nullptr, start, stop}),
                  1);
    }

    // A new search with its query set, held by the test.
    ISearchInst* create(const char* query, unsigned limit = 0) {
        managerObject->SetMaxSearchResults(limit);
        ISearchInst* s = manager->CreateSearch(query);
        s->addRef();
        s->SetQuery(query);
        held.push_back(s);
        return s;
    }

    // A batch of n result agents, each with the attribute Size = sizes[i]
    // (or i when no sizes are given); one reference held by the caller.
    Ivector* batch(unsigned n, const std::vector<long>& sizes = {}) {
        Ivector* b = newVector();
        for (unsigned i = 0; i < n; ++i) {
            IAgent* a = newAgent();
            a->SetAttribute("Size", value(i < sizes.size() ? sizes[i] : static_cast<long>(i)));
            b->pushBack(value(static_cast<Igeneric*>(a)));
            a->release();
        }
        return b;
    }

    int add(ISearchInst* s, Ivector* b) {
        int stored = s->AddResults(b);
        b->release();
        return stored;
    }

    unsigned storedCount(ISearchInst* s) {
        lockGuard hold(s->GetResults()->getLock());
        return s->GetResults()->size();
    }

    bool active(ISearchInst* s) { return CSearchInst::From(s)->IsActive(); }
    static const char* resultCount() { return services().resultCountName.c_str(); }

    std::vector<ISearchInst*> held;
};

TEST_F(Searches, ResultLimitTable) {
    struct row {
        unsigned limit, before, batchSize;
        std::vector<long> sizes;  // a Size over 1000 is filtered out
        int returned;
        unsigned stored;
        bool stillActive;
    } rows[] = {
        {100, 95, 10, {}, 100, 100, true},                                      // 5 of 10 fit
        {100, 98, 10, {5000, 5000, 5000, 5000, 5000, 1, 2, 3, 4, 5}, 100, 100, true},  // 2 of the 5 left
        {0, 0, 7, {}, 7, 7, true},
        {0, 0, 7, {1, 2000, 3, 4000, 5, 6, 7}, 5, 5, true},
        {0, 3, 0, {}, 3, 3, true},  // an empty batch does not stop an unlimited search
        {10, 0, 0, {}, 0, 0, true},
        {4000000000u, 0, 3, {}, 3, 3, true},  // room beyond the largest int
    };
    ASSERT_TRUE(manager->AddFilterByName("Big", "Size", ">", value(1000L)));
    for (const row& r : rows) {
        ISearchInst* s = create("limits", r.limit);
        ASSERT_TRUE(manager->StartSearch(s));
        if (r.before) {
            ASSERT_EQ(add(s, batch(r.before)), static_cast<int>(r.before));
        }
        EXPECT_EQ(add(s, batch(r.batchSize, r.sizes)), r.returned) << r.limit << " " << r.before;
        EXPECT_EQ(storedCount(s), r.stored);
        EXPECT_EQ(active(s), r.stillActive);
        EXPECT_EQ(s->GetAgent()->GetAttribute(resultCount()).payload.l, static_cast<long>(r.stored));
    }
}

TEST_F(Searches, TheBatchAfterTheLimitStopsTheSearch) {
    addProtocol(startA, stopA);
    ISearchInst* s = create("full", 3);
    manager->StartSearch(s);
    EXPECT_EQ(add(s, batch(5)), 3);
    EXPECT_TRUE(active(s)) << "reaching the limit exactly does not stop at once";
    EXPECT_EQ(manager->GetSearchCount(), 1);
    EXPECT_EQ(add(s, batch(2)), 0);
    EXPECT_FALSE(active(s));
    EXPECT_EQ(manager->GetSearchCount(), 0);
    EXPECT_EQ(searchLog, (std::vector<std::string>{"start A 0", "stop A 0"}));
    EXPECT_EQ(add(s, batch(2)), 0);
    EXPECT_EQ(storedCount(s), 3u);
}

// Holds each search thread in the result callbacks, after it fixed its
// room, until the other thread is there too.
std::atomic<int> threadsInCallbacks{0};
void meetTheOtherSearchThread(Ivector*) {
    ++threadsInCallbacks;
    for (DWORD start = GetTickCount(); threadsInCallbacks < 2 && GetTickCount() - start < 15000;)
        Sleep(1);
}

TEST_F(Searches, TwoSearchThreadsTogetherKeepTheLimit) {
    threadsInCallbacks = 0;
    manager->AddResultCallback(meetTheOtherSearchThread);
    ISearchInst* s = create("shared", 3);
    ASSERT_TRUE(manager->StartSearch(s));
    std::thread first([&] { add(s, batch(3)); });
    std::thread second([&] { add(s, batch(3)); });
    first.join();
    second.join();
    ASSERT_EQ(threadsInCallbacks.load(), 2) << "both batches found room before either was stored";
    EXPECT_EQ(storedCount(s), 3u);
    EXPECT_EQ(s->GetAgent()->GetAttribute(resultCount()).payload.l, 3);
}

TEST_F(Searches, StartAndStopGoThroughEveryProtocolOnce) {
    addProtocol(startA, stopA);
    addProtocol(startB, stopB);
    ISearchInst* s = create("two");
    ASSERT_TRUE(manager->StartSearch(s));
    EXPECT_FALSE(manager->StartSearch(s)) << "a search starts once";
    EXPECT_FALSE(manager->StartSearch(nullptr));
    EXPECT_EQ(manager->GetSearchCount(), 1);
    manager->StopSearch(s);
    manager->StopSearch(s);  // already stopped: nothing
    EXPECT_EQ(manager->GetSearchCount(), 0);
    EXPECT_EQ(searchLog, (std::vector<std::string>{"start A 0", "start B 0", "stop A 0", "stop B 0"}));
    ISearchInst* neverStarted = create("idle");
    manager->StopSearch(neverStarted);
    EXPECT_EQ(manager->GetSearchCount(), 0);
    EXPECT_EQ(searchLog.size(), 4u);
}

TEST_F(Searches, AThrowingProtocolDoesNotStopTheOthers) {
    addProtocol(startThrows, stopA);
    addProtocol(startB, stopB);
    ISearchInst* s = create("robust");
    EXPECT_TRUE(manager->StartSearch(s));
    EXPECT_EQ(searchLog, (std::vector<std::string>{"start B 0"}));
}

TEST_F(Searches, AThrowingStopStaysInTheManager) {
    addProtocol(startA, stopThrows);
    addProtocol(startB, stopB);
    ISearchInst* s = create("robust", 1);
    manager->StartSearch(s);
    EXPECT_EQ(add(s, batch(1)), 1);
    EXPECT_EQ(add(s, batch(1)), 0) << "the limit stops it on the search thread";
    EXPECT_FALSE(active(s));
    EXPECT_EQ(searchLog, (std::vector<std::string>{"start A 0", "start B 0", "stop B 0"}));
}

TEST_F(Searches, IdsAreNeverGivenTwice) {
    ISearchInst* a = create("a");
    ISearchInst* b = create("b");
    manager->StartSearch(a);
    manager->StartSearch(b);
    manager->StopSearch(a);
    ISearchInst* c = create("c");
    manager->StartSearch(c);
    EXPECT_EQ(a->GetId(), 0);
    EXPECT_EQ(b->GetId(), 1);
    EXPECT_EQ(c->GetId(), 2);
    EXPECT_EQ(manager->GetSearchCount(), 2);
}

TEST_F(Searches, TheUserInterfaceFollowsTheSearch) {
    ISearchInst* s = create("ubuntu iso");
    IAgent* agent = s->GetAgent();
    ASSERT_NE(agent, nullptr);
    EXPECT_EQ(agent->GetAttribute("ISearchInst").asGeneric(), static_cast<Igeneric*>(s));
    std::string window = address(s->GetWindow());
    std::vector<std::string> created = ui.calls().lines();
    ASSERT_GE(created.size(), 2u);
    EXPECT_EQ(created[0], "IUIControl::CreateSearchResultWnd|ubuntu iso|0|0|100|100");
    EXPECT_EQ(created.back(), "ISearchResultWnd::Activate|" + window);

    ui.calls().clear();
    manager->StartSearch(s);
    EXPECT_EQ(textOf(agent->GetAttribute(services().searchTextName.c_str())), "ubuntu iso");
    EXPECT_EQ(agent->GetAttribute(resultCount()).code, vt::longV);
    std::vector<std::string> expected = {
        "ISearchResultWnd::GetChildWnd|" + window,
        "IWnd::SetWindowTextA|ubuntu iso",
        "IFrameChildWnd::Activate",
        "ISearchResultWnd::Attach|" + window + "|" + address(agent),
        "ISearchHistoryDockWnd::UpdateSearch|" + address(agent),
    };
    EXPECT_EQ(ui.calls().lines(), expected);

    ui.calls().clear();
    EXPECT_EQ(add(s, batch(2)), 2);
    expected = {"ISearchHistoryDockWnd::UpdateSearch|" + address(agent),
                "ISearchResultWnd::RefreshList|" + window + "|0"};
    EXPECT_EQ(ui.calls().lines(), expected);

    manager->StopSearch(s);
    ui.calls().clear();
    EXPECT_EQ(add(s, batch(2)), 0);
    EXPECT_TRUE(ui.calls().lines().empty()) << "a stopped search touches nothing";
    EXPECT_EQ(storedCount(s), 2u);
}

// The result list reads the results under their lock while a hit is being
// stored: it must find the lock free between results, not held for the
// whole batch with its pauses.
TEST_F(Searches, TheWindowReadsTheResultsWhileABatchIsStored) {
    ISearchInst* s = create("window reads");
    manager->StartSearch(s);
    Ilock* lock = s->GetResults()->getLock();
    bool partSeen = false;
    for (int attempt = 0; attempt < 5 && !partSeen; ++attempt) {
        unsigned before = storedCount(s);
        Ivector* b = batch(100);
        std::atomic<bool> stored{false};
        std::thread search([&] {
            add(s, b);
            stored = true;
        });
        while (!stored && !partSeen) {
            if (lock->tryLock(0)) {
                unsigned n = s->GetResults()->size();
                lock->unlock(0);
                partSeen = n > before && n < before + 100;
            }
            Sleep(0);
        }
        search.join();
    }
    EXPECT_TRUE(partSeen) << "the batch was stored in one hold of the lock";
}

TEST_F(Searches, NullBatchIsRefused) {
    ISearchInst* s = create("x");
    manager->StartSearch(s);
    EXPECT_EQ(s->AddResults(nullptr), 0);
}

// A search thread hands in batches while the GUI thread changes filters and
// reads the results; the user-interface calls of AddResults run on the GUI
// thread meanwhile. Nothing may wait on a lock the other side holds.
TEST_F(Searches, SearchThreadAndGuiThreadDoNotBlockEachOther) {
    ISearchInst* s = create("busy");
    manager->StartSearch(s);
    std::atomic<bool> done{false};
    std::atomic<int> guiRounds{0};
    std::thread search([&] {
        for (int i = 0; i < 15; ++i)
            add(s, batch(4, {1, 5000, 2, 3}));
        done = true;
    });
    while (!done) {
        ui.gui().run([&] {
            manager->AddFilterByName("Big", "Size", ">", value(1000L));
            lockGuard hold(s->GetResults()->getLock());
            s->GetResults()->size();
        });
        ui.gui().run([&] { manager->RemoveFilter("Big4"); });
        ++guiRounds;
        Sleep(1);
    }
    search.join();
    EXPECT_GT(guiRounds.load(), 0);
    unsigned stored = storedCount(s);
    EXPECT_GE(stored, 45u);
    EXPECT_LE(stored, 60u);
}

}  // namespace
}  // namespace vesk::ss::test
