#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/constructs.h"
#include "core/factory.h"
#include "core/module.h"
#include "testing/fakes/fakeUi.h"

namespace vesk::testing {
namespace {

TEST(FakeUi, CallsFromOtherThreadsRunOnTheGuiThreadWhileTheCallerWaits) {
    fakeUi ui;
    std::atomic<DWORD> ranOn{0};
    std::thread worker([&] {
        ui.enter(callText("probe").arg(1), [&] {
            Sleep(50);
            ranOn = GetCurrentThreadId();
        });
        EXPECT_EQ(ranOn.load(), ui.gui().threadId()) << "done before the call returned";
    });
    worker.join();
    ui.statusBar()->Output("Ready", 2, 0);
    EXPECT_EQ(ui.calls().lines(), (std::vector<std::string>{"probe|1", "IStatusBar::Output|Ready|2|0"}));
}

LRESULT answerSeven(HWND, UINT message, WPARAM, LPARAM) { return message == 7 ? 7 : -1; }
LRESULT answerWithUser(void* user, HWND, UINT message, WPARAM, LPARAM) {
    return message == 8 ? *static_cast<long*>(user) : -1;
}
LRESULT answerEverything(HWND, UINT, WPARAM, LPARAM) { return 99; }

TEST(FakeUi, MessageHooksMadeThroughTheFactory) {
    auto* factoryObject = new capsule_core<vesk::factory>();
    Ifactory* f = factoryObject;
    fakeUi ui;
    ASSERT_TRUE(ui.registerClasses(f));
    long userAnswer = 80;
    ui::IWndProc* first = createAs<ui::IWndProc>(f, nullptr, "vesk::ui::VWndProc",
                                                 addressValue(answerSeven), pointerInt(0));
    ui::IWndProc* second = createAs<ui::IWndProc>(f, nullptr, "vesk::ui::VWndProc",
                                                  addressValue(answerWithUser),
                                                  addressValue(&userAnswer));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    auto* events = interfaceCast<ui::IWndEvents>(ui.hostWindow()->WaitCreated());
    ASSERT_NE(events, nullptr);
    EXPECT_EQ(events->AddMessageHook(first), 1);
    EXPECT_EQ(events->AddMessageHook(second), 1);
    EXPECT_EQ(events->AddMessageHook(nullptr), 0);
    EXPECT_EQ(ui.deliverToHostContainer(7, 0, 0), 7);
    EXPECT_EQ(ui.deliverToHostContainer(8, 0, 0), 80);
    EXPECT_EQ(ui.deliverToHostContainer(9, 0, 0), -1);
    // A later hook hears only what the earlier ones left unanswered.
    ui::IWndProc* last = createAs<ui::IWndProc>(f, nullptr, "vesk::ui::VWndProc",
                                                addressValue(answerEverything), pointerInt(0));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(events->AddMessageHook(last), 1);
    EXPECT_EQ(ui.deliverToHostContainer(7, 0, 0), 7);
    EXPECT_EQ(ui.deliverToHostContainer(8, 0, 0), 80);
    EXPECT_EQ(ui.deliverToHostContainer(9, 0, 0), 99);
    EXPECT_EQ(events->RemoveMessageHook(first), 1);
    EXPECT_EQ(ui.deliverToHostContainer(7, 0, 0), 99);
    factoryObject->releaseCore();
}

}  // namespace
}  // namespace vesk::testing
