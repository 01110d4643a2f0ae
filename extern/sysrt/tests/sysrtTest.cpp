// The platform-layer stand-in: named threads, the signal loop's latch and
// message pumping, and the function index.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "core/capsule.h"
#include "core/coreDirectory.h"
#include "extern/sysrt/functionIndex.h"
#include "extern/sysrt/signalProcessor.h"
#include "extern/sysrt/thread.h"
#include "testing/recordingLog.h"
#include "vesk/data.h"

namespace vesk::test {
namespace {

using namespace vesk::sysrt;

// How long a test waits for something that should happen at once.
constexpr DWORD conditionWaitMs = 20000;

// ---- function index ----

struct ipCase {
    const char* text;
    short expected;
};

class ValidIp : public ::testing::TestWithParam<ipCase> {};

TEST_P(ValidIp, AnswersShortOneOnlyForADottedAddress) {
    auto* index = new capsule_core<functionIndex>();
    unsigned long id = index->findFunction("vesk::net::valid_ip", nullptr);
    ASSERT_NE(id, 0u);
    Ifunction* function = index->getFunction(id);
    ASSERT_NE(function, nullptr);
    value answer = function->call(value(GetParam().text));
    EXPECT_EQ(answer.code, vt::shortV);
    EXPECT_EQ(answer.asShort(), GetParam().expected);
    index->releaseCore();
}

INSTANTIATE_TEST_SUITE_P(
    FunctionIndex, ValidIp,
    ::testing::Values(ipCase{"127.0.0.1", 1}, ipCase{"0.0.0.0", 1}, ipCase{"255.255.255.255", 1},
                      ipCase{"001.02.3.4", 1}, ipCase{"256.1.1.1", 0}, ipCase{"1.2.3.999", 0},
                      ipCase{"1.2.3", 0}, ipCase{"1.2.3.4.5", 0}, ipCase{"1.2.3.", 0}, ipCase{".1.2.3", 0},
                      ipCase{"1..2.3", 0}, ipCase{"1.2.3.0004", 0}, ipCase{"1.2.3.4 ", 0}, ipCase{" 1.2.3.4", 0},
                      ipCase{"1.2.3.4:6346", 0}, ipCase{"+1.2.3.4", 0}, ipCase{"1.2.3.-4", 0},
                      ipCase{"a.b.c.d", 0}, ipCase{"localhost", 0}, ipCase{"", 0}, ipCase{nullptr, 0}));

TEST(FunctionIndex, KnowsOnlyItsFunctionAndRefusesOtherArguments) {
    auto* index = new capsule_core<functionIndex>();
    EXPECT_EQ(index->findFunction("vesk::net::other", nullptr), 0u);
    EXPECT_EQ(index->findFunction(nullptr, nullptr), 0u);
    EXPECT_EQ(index->getFunction(0), nullptr);
    Ifunction* function = index->getFunction(index->findFunction("vesk::net::valid_ip", nullptr));
    ASSERT_NE(function, nullptr);
    EXPECT_EQ(function->call(value(127L)).asShort(), 0);
    index->releaseCore();
}

// ---- signal loop ----

// Runs the loop on its own thread and tells whether it returned in time.
bool loopReturnsWithin(signalProcessor* signals, DWORD ms) {
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread loop([&] {
        signals->run();
        SetEvent(done);
    });
    bool returned = WaitForSingleObject(done, ms) == WAIT_OBJECT_0;
    if (!returned) {
        // Unstick it so the test can end.
        signals->postSignal(0, nullptr, static_cast<IglobalShutdownSignal*>(new capsule<globalShutdownSignal>(nullptr)), 0);
    }
    loop.join();
    CloseHandle(done);
    return returned;
}

TEST(SignalProcessor, ShutdownPostedBeforeTheLoopIsNotLost) {
    auto* signals = new capsule_core<signalProcessor>();
    ASSERT_TRUE(signals->ready());
    bool gone = false;
    struct watched : globalShutdownSignal {
        explicit watched(bool* g) : globalShutdownSignal(nullptr), gone_(g) {}
        ~watched() { *gone_ = true; }
        bool* gone_;
    };
    // Posted on path 0: the host's path does not exist yet.
    EXPECT_EQ(signals->postSignal(0, nullptr, new capsule<watched>(&gone), 0), 1);
    EXPECT_TRUE(gone) << "the signal is taken over and released";
    EXPECT_TRUE(loopReturnsWithin(signals, conditionWaitMs));
    EXPECT_TRUE(loopReturnsWithin(signals, conditionWaitMs)) << "the latch stays set";
    EXPECT_EQ(signals->postSignal(0, nullptr, nullptr, 0), 0);
    signals->releaseCore();
}

TEST(SignalProcessor, LoopWaitsForTheSignalWhilePathsComeAndGo) {
    auto* signals = new capsule_core<signalProcessor>();
    unsigned long path = signals->registerSignalPath("signal_path(test)", nullptr, 0);
    EXPECT_GE(path, 2u);
    EXPECT_NE(signals->registerSignalPath("runtime::debug", nullptr, 1), path);
    EXPECT_EQ(signals->registerSignalPath(nullptr, nullptr, 0), 0u);

    std::atomic<bool> returned{false};
    std::thread loop([&] {
        signals->run();
        returned = true;
    });
    Sleep(200);
    EXPECT_FALSE(returned) << "the loop ends only on a shutdown signal";
    signals->postSignal(path, nullptr, new capsule<globalShutdownSignal>(nullptr), 0);
    loop.join();
    EXPECT_TRUE(returned);
    signals->releaseCore();
}

LRESULT CALLBACK countingProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_APP)
        return 42;
    return DefWindowProcA(window, message, w, l);
}

TEST(SignalProcessor, LoopServesMessagesSentToWindowsOfItsThread) {
    auto* signals = new capsule_core<signalProcessor>();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = countingProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "signalLoopTestWindow";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    HWND window = CreateWindowA("signalLoopTestWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);

    DWORD_PTR answer = 0;
    LRESULT sent = 0;
    std::thread sender([&] {
        // Blocks until the loop's thread serves it (or gives up).
        sent = SendMessageTimeoutA(window, WM_APP, 0, 0, SMTO_NORMAL, conditionWaitMs, &answer);
        signals->postSignal(0, nullptr, new capsule<globalShutdownSignal>(nullptr), 0);
    });
    signals->run();  // on the window's thread
    sender.join();
    EXPECT_NE(sent, 0) << "the message was not served while the loop waited";
    EXPECT_EQ(answer, 42u);
    DestroyWindow(window);
    UnregisterClassA("signalLoopTestWindow", windowClass.hInstance);
    signals->releaseCore();
}

// ---- threads ----

struct workerState {
    std::atomic<int> runs{0};
    std::atomic<int> turns{0};
    std::atomic<bool> restarted{false};
    std::atomic<bool> endedCalled{false};
    HANDLE release = nullptr;  // set: a stubborn worker may end
};

int loopingWorker(Ithread* self) {
    auto* state = static_cast<workerState*>(self->getParameter());
    while (self->shouldRun()) {
        ++state->turns;
        Sleep(1);
    }
    state->endedCalled = true;
    self->ended();
    return 0;
}

int stubbornWorker(Ithread* self) {
    auto* state = static_cast<workerState*>(self->getParameter());
    ++state->turns;
    WaitForSingleObject(state->release, INFINITE);
    state->endedCalled = true;
    self->ended();
    return 0;
}

int throwingWorker(Ithread*) { throw std::runtime_error("worker failed"); }

// Its first run fails and starts its own object again, as a thread that
// respawns after a caught failure does; later runs loop until stopped.
int respawningWorker(Ithread* self) {
    auto* state = static_cast<workerState*>(self->getParameter());
    if (++state->runs == 1) {
        ++state->turns;
        if (state->release)
            WaitForSingleObject(state->release, INFINITE);
        self->ended();
        state->restarted = self->start();
        return -1;
    }
    return loopingWorker(self);
}

int lateThrowingWorker(Ithread* self) {
    auto* state = static_cast<workerState*>(self->getParameter());
    ++state->turns;
    WaitForSingleObject(state->release, INFINITE);
    throw std::runtime_error("worker failed late");
}

Ithread* makeThread(Iconstruct* construct, const char* name, workerState* state, threadProc procedure) {
    value args[5] = {value(4L), value(name), value(static_cast<void*>(state)), addressValue(procedure),
                     value(static_cast<Igeneric*>(nullptr))};
    return interfaceCast<Ithread>(construct->createWithArgs(args));
}

class Threads : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(directory_->registerObject(nameOf<Itarget>(), static_cast<Itarget*>(&log_)), 0u);
        construct_ = new capsule<_constructThread>(static_cast<Icore*>(directory_));
        construct_->addRef();
        baseline_ = liveThreadObjects();
    }
    void TearDown() override {
        if (construct_)
            construct_->release();
        directory_->releaseCore();
    }

    // Bounded in time, not in turns: Sleep(1) may last far longer on a
    // loaded machine, or far shorter.
    bool waitUntil(const std::function<bool()>& condition) {
        const ULONGLONG deadline = GetTickCount64() + conditionWaitMs;
        while (!condition() && GetTickCount64() < deadline)
            Sleep(1);
        return condition();
    }

    capsule<vesk::testing::recordingLog> log_;  // published in directory_
    core* directory_ = new capsule_core<core>();
    Iconstruct* construct_ = nullptr;
    unsigned baseline_ = 0;
};

TEST_F(Threads, RunsIsStoppedAndEndsWithNothingLeft) {
    workerState state;
    char name[] = "worker one";
    Ithread* worker = makeThread(construct_, name, &state, &loopingWorker);
    ASSERT_NE(worker, nullptr);
    name[0] = 'X';
    EXPECT_STREQ(worker->getName(), "worker one") << "the name is copied";
    worker->addRef();
    EXPECT_FALSE(worker->isRunning());
    EXPECT_EQ(worker->getParameter(), &state);
    EXPECT_EQ(liveThreadObjects(), baseline_ + 1);

    ASSERT_TRUE(worker->start());
    EXPECT_FALSE(worker->start()) << "not again while its procedure runs";
    EXPECT_TRUE(waitUntil([&] { return state.turns > 3; }));
    EXPECT_TRUE(worker->isRunning());
    EXPECT_NE(worker->shouldRun(), 0);

    EXPECT_TRUE(worker->stop());
    EXPECT_FALSE(worker->isRunning());
    EXPECT_EQ(worker->shouldRun(), 0);
    EXPECT_TRUE(state.endedCalled);
    EXPECT_EQ(worker->release(), 0) << "the threader gave its reference back when the procedure returned";
    EXPECT_EQ(liveThreadObjects(), baseline_);
    EXPECT_TRUE(log_.lines().empty());
}

TEST_F(Threads, AnEndedProcedureMayStartItsThreadAgain) {
    workerState state;
    Ithread* worker = makeThread(construct_, "respawning", &state, &respawningWorker);
    ASSERT_NE(worker, nullptr);
    worker->addRef();
    ASSERT_TRUE(worker->start());
    EXPECT_TRUE(waitUntil([&] { return state.turns > 3; })) << "the second run serves";
    EXPECT_TRUE(state.restarted);
    EXPECT_EQ(state.runs.load(), 2);
    EXPECT_TRUE(worker->isRunning()) << "the first run's end does not count for the second";
    EXPECT_TRUE(worker->stop());
    EXPECT_FALSE(worker->isRunning());

    // Stopped and returned: a new start runs the procedure afresh.
    int turnsBefore = state.turns;
    ASSERT_TRUE(worker->start());
    EXPECT_TRUE(waitUntil([&] { return state.turns > turnsBefore + 3; }));
    EXPECT_EQ(state.runs.load(), 3);
    EXPECT_TRUE(worker->stop());
    EXPECT_EQ(worker->release(), 0) << "every run gave its reference back";
    EXPECT_EQ(liveThreadObjects(), baseline_);
    EXPECT_TRUE(log_.lines().empty());
}

TEST_F(Threads, AStopDuringARestartWaitsForTheNewRunToo) {
    workerState state;
    state.release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    Ithread* worker = makeThread(construct_, "respawning late", &state, &respawningWorker);
    ASSERT_NE(worker, nullptr);
    worker->addRef();
    ASSERT_TRUE(worker->start());
    ASSERT_TRUE(waitUntil([&] { return state.turns > 0; }));
    bool stopped = false;
    std::thread stopper([&] { stopped = worker->stop(); });
    EXPECT_TRUE(waitUntil([&] { return worker->shouldRun() == 0; }));
    SetEvent(state.release);  // the first run now restarts while the stop waits
    stopper.join();
    EXPECT_TRUE(stopped);
    EXPECT_TRUE(state.restarted);
    EXPECT_EQ(state.runs.load(), 2) << "the new run saw the stop and ended";
    EXPECT_FALSE(worker->isRunning());
    EXPECT_EQ(worker->release(), 0) << "both runs had ended when the stop returned";
    CloseHandle(state.release);
}

TEST_F(Threads, CreatorMayReleaseBeforeTheProcedureEnds) {
    workerState state;
    state.release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    // Held until the creator has let go, so the procedure cannot end first.
    Ithread* worker = makeThread(construct_, "early release", &state, &stubbornWorker);
    ASSERT_NE(worker, nullptr);
    worker->addRef();
    ASSERT_TRUE(worker->start());
    worker->requestStop();  // no wait
    EXPECT_GE(worker->release(), 1) << "the running thread keeps the object";
    EXPECT_EQ(liveThreadObjects(), baseline_ + 1);
    SetEvent(state.release);
    EXPECT_TRUE(waitUntil([&] { return liveThreadObjects() == baseline_; }))
        << "the object goes when the procedure returns";
    EXPECT_TRUE(state.endedCalled);
    CloseHandle(state.release);
}

TEST_F(Threads, StopWaitsBoundedForAThreadThatIgnoresItAndSaysSo) {
    workerState state;
    state.release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    Ithread* worker = makeThread(construct_, "stubborn", &state, &stubbornWorker);
    ASSERT_NE(worker, nullptr);
    worker->addRef();
    ASSERT_TRUE(worker->start());
    ASSERT_TRUE(waitUntil([&] { return state.turns > 0; }));

    EXPECT_FALSE(worker->stop());
    EXPECT_TRUE(worker->isRunning()) << "the thread is never killed";
    ASSERT_EQ(log_.lines().size(), 1u);
    EXPECT_EQ(log_.lines()[0], "threader: thread \"stubborn\" did not stop within 10 s");

    SetEvent(state.release);
    EXPECT_TRUE(worker->stop());
    EXPECT_EQ(worker->release(), 0);
    CloseHandle(state.release);
}

TEST_F(Threads, ProcedureLeavingByAnExceptionEndsItsThread) {
    Ithread* worker = makeThread(construct_, "thrower", nullptr, &throwingWorker);
    ASSERT_NE(worker, nullptr);
    worker->addRef();
    ASSERT_TRUE(worker->start());
    EXPECT_TRUE(worker->stop());
    EXPECT_FALSE(worker->isRunning());
    EXPECT_EQ(worker->release(), 0);
    ASSERT_EQ(log_.lines().size(), 1u);
    EXPECT_EQ(log_.lines()[0], "threader: thread \"thrower\" ended by an exception");
}

TEST_F(Threads, ALogTargetEndedBeforeTheThreadIsNotWrittenTo) {
    // At exit the log target ends before the modules' services, whose
    // threads may still end after it.
    workerState state;
    state.release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    Ithread* worker = makeThread(construct_, "late", &state, &lateThrowingWorker);
    ASSERT_NE(worker, nullptr);
    worker->addRef();
    ASSERT_TRUE(worker->start());
    ASSERT_TRUE(waitUntil([&] { return state.turns > 0; }));

    ASSERT_TRUE(directory_->unregisterObject(nameOf<Itarget>()));
    SetEvent(state.release);
    EXPECT_TRUE(worker->stop());
    EXPECT_EQ(worker->release(), 0);
    EXPECT_TRUE(log_.lines().empty());
    CloseHandle(state.release);
}

TEST_F(Threads, IncompleteArgumentsMakeNoThread) {
    value tooFew[5] = {value(3L), value("x"), value(static_cast<void*>(nullptr)),
                       addressValue(&loopingWorker), value()};
    value noProcedure[5] = {value(4L), value("x"), value(static_cast<void*>(nullptr)), value(0L), value()};
    EXPECT_EQ(construct_->createWithArgs(nullptr), nullptr);
    EXPECT_EQ(construct_->createWithArgs(tooFew), nullptr);
    EXPECT_EQ(construct_->createWithArgs(noProcedure), nullptr);
    EXPECT_EQ(construct_->create1(value("x")), nullptr);
    EXPECT_STREQ(construct_->getClassName(), "vesk::thread");
    EXPECT_EQ(liveThreadObjects(), baseline_);
}

}  // namespace
}  // namespace vesk::test
