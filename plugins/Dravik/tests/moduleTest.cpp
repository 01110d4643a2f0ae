// The window library as the host drives it: registration retried until its
// services exist, the published frame, the hook class of its factory table,
// its own strings.
#include <gtest/gtest.h>

#include <windows.h>

#include "core/module.h"
#include "plugins/fs/tests/moduleHost.h"
#include "vesk/ui.h"

namespace vesk::ui::test {
namespace {

using svctest::moduleHost;
using svctest::registration;

LRESULT withUser(void* user, HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_USER ? *static_cast<LRESULT*>(user) : -1;
}

class DravikModule : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        moduleHost& host = moduleHost::instance();
        // Without the signal processor the module waits for a later pass.
        first = host.registerModule("Dravik");
        host.publishPlatformServices();
        second = host.registerModule("Dravik", &record);
        classes = host.factoryModule("Dravik");
    }
    static int first, second, classes;
    static registration record;
};
int DravikModule::first = -1, DravikModule::second = -1, DravikModule::classes = -1;
registration DravikModule::record;

TEST_F(DravikModule, RegistersOnceItsServicesExist) {
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
    EXPECT_EQ(record, (registration{"DRAVIK32", "pelloran", "Generic Window Classes", 0, 1}));
    moduleHost& host = moduleHost::instance();
    EXPECT_NE(host.entities()->findEntity("DRAVIK GUI"), 0u);
    EXPECT_NE(lookupService<IFrameWnd>(host.core()), nullptr);
    // Registered again: the same frame, still published.
    IFrameWnd* frame = lookupService<IFrameWnd>(host.core());
    EXPECT_EQ(host.registerModule("Dravik"), 1);
    EXPECT_EQ(lookupService<IFrameWnd>(host.core()), frame);
    auto load = reinterpret_cast<lifecycleEntry>(reinterpret_cast<void*>(host.entry("Dravik", "_load")));
    auto initialize =
        reinterpret_cast<lifecycleEntry>(reinterpret_cast<void*>(host.entry("Dravik", "_initialize")));
    ASSERT_TRUE(load && initialize);
    EXPECT_EQ(load(), 1);
    EXPECT_EQ(initialize(), 1);
}

TEST_F(DravikModule, ItsFactoryTableHoldsTheHookClassUnderKeyZero) {
    auto table = moduleHost::instance().factoryClasses("Dravik");
    ASSERT_TRUE(table.has_value());
    EXPECT_EQ(*table, (svctest::classTable{{0, "vesk::ui::VWndProc"}}));
    EXPECT_EQ(classes, 1);
    LRESULT answer = 42;
    moduleHost& host = moduleHost::instance();
    IWndProc* hook = createAs<IWndProc>(host.factory(), host.owner(), "vesk::ui::VWndProc",
                                         addressValue(&withUser), addressValue(&answer));
    ASSERT_NE(hook, nullptr);
    ref<IWndProc> held(hook);
    EXPECT_EQ(hook->HookProc(nullptr, WM_USER, 0, 0), 42) << "the user pointer comes first";
    EXPECT_EQ(hook->HookProc(nullptr, WM_USER + 1, 0, 0), -1);
}

TEST_F(DravikModule, ThePublishedFrameMakesItsWindowAndRunsItsLoop) {
    IFrameWnd* frame = lookupService<IFrameWnd>(moduleHost::instance().core());
    ASSERT_NE(frame, nullptr);
    RECT place = {20, 20, 520, 380};
    HWND window = frame->Create(static_cast<IWnd*>(nullptr), &place, "module frame");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(::FindWindowA("Pelloran:Dravik32:FrameWnd:1", nullptr), window);
    IDock* dock = frame->GetDock();
    ASSERT_NE(dock, nullptr);
    for (int s = 1; s <= 4; ++s)
        EXPECT_NE(interfaceCast<IWnd>(dock->GetDockArea(s))->GetHandle(), nullptr) << s;
    EXPECT_NE(interfaceCast<IWnd>(frame->GetClientWnd())->GetHandle(), nullptr);
    RECT floating = {600, 100, 760, 200};
    IDockWnd* dockWindow = dock->CreateDockWindow("from another module", &floating);
    ASSERT_NE(dockWindow, nullptr);
    dock->GetDockArea(1)->Dock(dockWindow, 0);
    EXPECT_EQ(dockWindow->GetDockAreaPos(), 1);
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(frame->Run(), 0) << "closing the frame ends its loop";
    EXPECT_FALSE(::IsWindow(window));
}

TEST_F(DravikModule, CarriesItsOwnStrings) {
    HMODULE module = ::GetModuleHandleA("Dravik.vkm");
    ASSERT_NE(module, nullptr);
    char text[64];
    ASSERT_GT(::LoadStringA(module, 1, text, sizeof(text)), 0);
    EXPECT_STREQ(text, "&Customize...");
    ASSERT_GT(::LoadStringA(module, 9, text, sizeof(text)), 0);
    EXPECT_STREQ(text, "Message");
}

}  // namespace
}  // namespace vesk::ui::test
