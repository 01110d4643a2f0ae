// The common form of the worker threads and the threads _unload waits for.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>

#include "extern/sysrt/thread.h"
#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/tests/gnutellaFixture.h"
#include "plugins/gnutella/workerThreads.h"

namespace vesk::gnutella::test {
namespace {

// Polls the condition for up to 10 s; true once it holds.
template <class F>
bool eventually(F condition) {
    for (int i = 0; i < 10000; ++i) {
        if (condition())
            return true;
        Sleep(1);
    }
    return condition();
}

class ThreadsTest : public gnutellaFixture {
protected:
    void TearDown() override {
        g_State.shuttingDown = 0;
        DestroyHosts(g_InactiveHostList);
        DestroyHosts(g_ActiveHostList);
        gnutellaFixture::TearDown();
    }
};

std::atomic<int> turns{0};
std::atomic<int> earlyEnds{0};
std::atomic<int> stoppedEnds{0};

void countTurn() {
    ++turns;
}
void countEarlyEnd() {
    ++earlyEnds;
}
void countStoppedEnd() {
    ++stoppedEnds;
}

int countingWorker(Ithread* t) {
    return RunWorkerLoop(t, workerLoop{&countTurn, &g_ActiveHostList, &countEarlyEnd, &countStoppedEnd});
}

TEST_F(ThreadsTest, AWorkerEndsByItselfOnceShuttingDownWithItsListEmpty) {
    turns = earlyEnds = stoppedEnds = 0;
    unsigned before = sysrt::liveThreadObjects();
    Ithread* t = CreateModuleThread("counting worker", &countingWorker, nullptr);
    ASSERT_NE(t, nullptr);
    auto* link = new CGnutellaHost();
    g_ActiveHostList.items[link->m_Id] = link;
    ASSERT_TRUE(t->start());
    ASSERT_TRUE(eventually([] { return turns > 3; }));
    g_State.shuttingDown = 1;
    Sleep(20);
    EXPECT_TRUE(t->isRunning()) << "its list still holds a link";
    DestroyHosts(g_ActiveHostList);
    EXPECT_TRUE(eventually([&] { return !t->isRunning(); }));
    EXPECT_EQ(earlyEnds, 1);
    EXPECT_EQ(stoppedEnds, 0);
    t->release();
    EXPECT_EQ(sysrt::liveThreadObjects(), before);
}

TEST_F(ThreadsTest, AWorkerAskedToStopRunsItsStopStepAndEnds) {
    turns = earlyEnds = stoppedEnds = 0;
    Ithread* t = CreateModuleThread("counting worker", &countingWorker, nullptr);
    ASSERT_NE(t, nullptr);
    ASSERT_TRUE(t->start());
    ASSERT_TRUE(eventually([] { return turns > 0; }));
    EXPECT_TRUE(t->stop());
    EXPECT_EQ(stoppedEnds, 1);
    EXPECT_EQ(earlyEnds, 0);
    t->release();
}

TEST_F(ThreadsTest, TheListenerThreadDestroysItsLinksWhileShuttingDown) {
    auto* link = new CGnutellaHost();
    g_InactiveHostList.items[link->m_Id] = link;
    g_State.shuttingDown = 1;
    Ithread* t = CreateModuleThread("gnutella listener thread", &listener_thread, nullptr);
    ASSERT_NE(t, nullptr);
    ASSERT_TRUE(t->start());
    EXPECT_TRUE(eventually([&] { return !t->isRunning(); }));
    EXPECT_TRUE(g_InactiveHostList.IsEmpty());
    t->release();
}

int untilStopped(Ithread* t) {
    t->addRef();
    while (t->shouldRun())
        Sleep(1);
    t->ended();
    t->release();
    return 0;
}

TEST_F(ThreadsTest, ShortLivedThreadsAreStoppedAndWaitedFor) {
    unsigned before = sysrt::liveThreadObjects();
    Ithread* a = StartWorkerThread("Gnutella Search- ID: 1", &untilStopped, nullptr);
    Ithread* b = StartWorkerThread("Gnutella Search- ID: 2", &untilStopped, nullptr);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    a->release();  // the registry holds its own
    EXPECT_TRUE(b->isRunning());
    JoinWorkerThreads();
    EXPECT_FALSE(b->isRunning());
    b->release();
    EXPECT_EQ(sysrt::liveThreadObjects(), before);
}

// Ends later than the threader waits for a stop (a file copy that takes
// its time); the module's wait goes on until it has ended.
int slowToEnd(Ithread* t) {
    t->addRef();
    while (t->shouldRun())
        Sleep(1);
    Sleep(10500);
    t->ended();
    t->release();
    return 0;
}

TEST_F(ThreadsTest, AShortLivedThreadIsWaitedForUntilItHasEnded) {
    Ithread* slow = StartWorkerThread("gnutella filecopy thread", &slowToEnd, nullptr);
    ASSERT_NE(slow, nullptr);
    JoinWorkerThreads();
    EXPECT_FALSE(slow->isRunning());
    slow->release();
}

}  // namespace
}  // namespace vesk::gnutella::test
