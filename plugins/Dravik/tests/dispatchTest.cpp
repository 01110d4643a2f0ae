// Messages reach their handlers through the library's window procedures;
// hooks see them first.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "plugins/Dravik/tests/dravikTestSupport.h"
#include "plugins/Dravik/tests/heldObject.h"
#include "plugins/Dravik/tests/recordingWindow.h"
#include "plugins/Dravik/wndProc.h"

namespace vesk::ui::test {
namespace {

struct recordingWindowFixture : ::testing::Test {
    held<recordingWindow> window;
    HWND handle = nullptr;
    void SetUp() override {
        handle = window->Make();
        ASSERT_NE(handle, nullptr);
        pump();
        window->recording = true;
    }
    void TearDown() override {
        window->recording = false;
        if (::IsWindow(handle))
            ::DestroyWindow(handle);
        pump();
    }
};

struct route {
    UINT message;
    const char* handler;
};

const route messageTable[] = {
    {WM_CREATE, "OnCreate"},
    {WM_DESTROY, "OnDestroy"},
    {WM_MOVE, "OnMove"},
    {WM_SIZE, "OnSize"},
    {WM_ENABLE, "OnEnable"},
    {WM_SETTEXT, "OnSetText"},
    {WM_GETTEXT, "OnGetText"},
    {WM_GETTEXTLENGTH, "OnGetTextLength"},
    {WM_PAINT, "OnPaint"},
    {WM_CLOSE, "OnClose"},
    {WM_QUIT, "OnQuit"},
    {WM_QUERYOPEN, "OnQueryOpen"},
    {WM_ERASEBKGND, "OnEraseBkGnd"},
    {WM_SHOWWINDOW, "OnShowWindow"},
    {WM_SETTINGCHANGE, "OnSettingChange"},
    {WM_ACTIVATEAPP, "OnActivateApp"},
    {WM_CANCELMODE, "OnCancelMode"},
    {WM_MOUSEACTIVATE, "OnMouseActivate"},
    {WM_CHILDACTIVATE, "OnChildActivate"},
    {WM_GETMINMAXINFO, "OnGetMinMaxInfo"},
    {WM_DRAWITEM, "OnDrawItem"},
    {WM_QUERYDRAGICON, "OnQueryDragIcon"},
    {WM_COMPACTING, "OnCompacting"},
    {WM_WINDOWPOSCHANGING, "OnWindowPosChanging"},
    {WM_WINDOWPOSCHANGED, "OnWindowPosChanged"},
    {WM_NOTIFY, "OnNotify"},
    {WM_INPUTLANGCHANGEREQUEST, "OnInputLangChangeRequest"},
    {WM_INPUTLANGCHANGE, "OnInputLangChange"},
    {WM_USERCHANGED, "OnUserChanged"},
    {WM_STYLECHANGING, "OnStyleChanging"},
    {WM_STYLECHANGED, "OnStyleChanged"},
    {WM_GETICON, "OnGetIcon"},
    {WM_SETICON, "OnSetIcon"},
    {WM_NCCREATE, "OnNcCreate"},
    {WM_NCCALCSIZE, "OnNcCalcSize"},
    {WM_NCHITTEST, "OnNcHitTest"},
    {WM_NCPAINT, "OnNcPaint"},
    {WM_NCACTIVATE, "OnNcActivate"},
    {WM_NCMOUSEMOVE, "OnNcMouseMove"},
    {WM_NCLBUTTONDOWN, "OnNcLButtonDown"},
    {WM_NCLBUTTONDBLCLK, "OnNcLButtonDblClk"},
    {WM_SYSCHAR, "OnSysChar"},
    {WM_COMMAND, "OnCommand"},
    {WM_SYSCOMMAND, "OnSysCommand"},
    {WM_TIMER, "OnTimer"},
    {WM_INITMENU, "OnInitMenu"},
    {WM_INITMENUPOPUP, "OnInitMenuPopup"},
    {WM_MENUSELECT, "OnMenuSelect"},
    {WM_MENUCHAR, "OnMenuChar"},
    {WM_MOUSEMOVE, "OnMouseMove"},
    {WM_LBUTTONDOWN, "OnLButtonDown"},
    {WM_LBUTTONUP, "OnLButtonUp"},
    {WM_LBUTTONDBLCLK, "OnLButtonDblClk"},
    {WM_RBUTTONDOWN, "OnRButtonDown"},
    {WM_RBUTTONUP, "OnRButtonUp"},
    {WM_MBUTTONDOWN, "OnMButtonDown"},
    {WM_MBUTTONUP, "OnMButtonUp"},
    {WM_PARENTNOTIFY, "OnParentNotify"},
    {WM_SIZING, "OnSizing"},
    {WM_CAPTURECHANGED, "OnCaptureChanged"},
    {WM_MOVING, "OnMoving"},
    {WM_MDIACTIVATE, "OnMDIActivate"},
    {WM_ENTERSIZEMOVE, "OnEnterSizeMove"},
    {WM_EXITSIZEMOVE, "OnExitSizeMove"},
    {WM_MOUSEHOVER, "OnMouseHover"},
    {WM_MOUSELEAVE, "OnMouseLeave"},
    {0x361, "OnSizeParent"},
    {WM_SKINCHANGED, "OnSkinChanged"},
    // Last: the window's end, after which the library lets go of it.
    {WM_NCDESTROY, "OnNcDestroy"},
};

using DispatchTest = recordingWindowFixture;

TEST_F(DispatchTest, EveryMessageOfTheTableReachesItsHandler) {
    for (const route& r : messageTable) {
        window->heard.clear();
        window->answer = 5;
        EXPECT_EQ(::SendMessageA(handle, r.message, 0, 0), 5) << r.handler;
        EXPECT_EQ(window->heard, std::vector<std::string>{r.handler}) << "message 0x" << std::hex << r.message;
    }
}

TEST_F(DispatchTest, OtherMessagesAreNotHandledAndGetTheDefaultProcessing) {
    for (UINT message : {UINT(WM_CONTEXTMENU), UINT(WM_MOUSEWHEEL), UINT(WM_NCMOUSELEAVE), UINT(WM_APPCOMMAND),
                         UINT(WM_KEYDOWN), UINT(WM_NCLBUTTONUP)}) {
        window->heard.clear();
        EXPECT_EQ(window->WindowProc(message, 0, 0), -1) << message;
        EXPECT_TRUE(window->heard.empty()) << window->heard.front();
    }
    // The platform's processing of Alt+F4 asks the window to close.
    window->heard.clear();
    ::SendMessageA(handle, WM_SYSKEYDOWN, VK_F4, LPARAM(1) << 29);
    pump();
    EXPECT_EQ(window->heard, std::vector<std::string>{"OnSysCommand"});
}

TEST_F(DispatchTest, AHandlerThatDeclinesLeavesTheMessageToTheDefaultProcessing) {
    window->answer = -1;
    ASSERT_TRUE(::SetWindowTextA(handle, "changed by the platform"));
    char text[64] = {};
    ::GetWindowTextA(handle, text, sizeof(text));
    EXPECT_STREQ(text, "changed by the platform");
    EXPECT_NE(std::find(window->heard.begin(), window->heard.end(), "OnSetText"), window->heard.end());
}

// ---- hooks

struct hookLog {
    std::vector<int> calls;
};

struct hookSpec {
    int id;
    LRESULT answer;
    hookLog* log;
};

LRESULT loggingHook(void* user, HWND, UINT message, WPARAM, LPARAM) {
    auto* spec = static_cast<hookSpec*>(user);
    if (message != WM_USER + 1)
        return -1;
    spec->log->calls.push_back(spec->id);
    return spec->answer;
}

IWndProc* newHook(hookSpec* spec) {
    return new capsule<VWndProc>(reinterpret_cast<pointerInt>(&loggingHook), reinterpret_cast<pointerInt>(spec));
}

TEST_F(DispatchTest, HooksRunInTheOrderAddedUntilOneAnswers) {
    hookLog log;
    hookSpec passing{1, -1, &log}, ending{2, 0, &log}, unreached{3, 7, &log};
    IWndProc* hooks[] = {newHook(&passing), newHook(&ending), newHook(&unreached)};
    for (IWndProc* hook : hooks)
        EXPECT_EQ(window->AddMessageHook(hook), 1);
    EXPECT_EQ(::SendMessageA(handle, WM_USER + 1, 0, 0), 0);
    EXPECT_EQ(log.calls, (std::vector<int>{1, 2})) << "a hook's 0 ends the dispatch";
    for (IWndProc* hook : hooks)
        EXPECT_EQ(window->RemoveMessageHook(hook), 1);
}

TEST_F(DispatchTest, AHookAddedTwiceRunsTwiceAndOneRemovalTakesBothAndTheirReferences) {
    hookLog log;
    hookSpec twice{1, -1, &log};
    IWndProc* hook = newHook(&twice);
    hook->addRef();  // the test's own
    ASSERT_EQ(window->AddMessageHook(hook), 1);
    ASSERT_EQ(window->AddMessageHook(hook), 1);
    EXPECT_EQ(countOf(hook), 3);
    window->WindowProc(WM_USER + 1, 0, 0);
    EXPECT_EQ(log.calls, (std::vector<int>{1, 1}));
    EXPECT_EQ(window->RemoveMessageHook(hook), 1);
    EXPECT_EQ(countOf(hook), 1) << "one release per entry";
    log.calls.clear();
    window->WindowProc(WM_USER + 1, 0, 0);
    EXPECT_TRUE(log.calls.empty());
    // A hook that is not there: refused, and the caller's reference stays.
    EXPECT_EQ(window->RemoveMessageHook(hook), 0);
    EXPECT_EQ(countOf(hook), 1);
    EXPECT_EQ(window->AddMessageHook(nullptr), 0);
    EXPECT_EQ(window->RemoveMessageHook(nullptr), 0);
    hook->release();
}

TEST_F(DispatchTest, TheWindowReleasesTheHooksItStillHasWhenItGoes) {
    hookLog log;
    hookSpec spec{1, -1, &log};
    IWndProc* hook = newHook(&spec);
    hook->addRef();
    {
        held<recordingWindow> other;
        other->AddMessageHook(hook);
        other->AddMessageHook(hook);
        EXPECT_EQ(countOf(hook), 3);
    }
    EXPECT_EQ(countOf(hook), 1);
    hook->release();
}

// A hook that, while it runs on the window's thread, waits for another
// thread to add a hook to the same window: no lock may be held meanwhile.
struct crossThreadHook {
    IWndEvents* events;
    IWndProc* extra;
    std::atomic<bool> added{false};
};

LRESULT waitForAnotherThread(void* user, HWND, UINT message, WPARAM, LPARAM) {
    auto* state = static_cast<crossThreadHook*>(user);
    if (message != WM_USER + 2)
        return -1;
    std::thread adder([state] {
        state->events->AddMessageHook(state->extra);
        state->added = true;
    });
    for (DWORD start = ::GetTickCount(); !state->added && ::GetTickCount() - start < 5000;)
        ::Sleep(1);
    adder.join();
    return state->added ? 1 : 0;
}

TEST_F(DispatchTest, HooksChangeFromAnotherThreadWhileAHookRuns) {
    hookLog log;
    hookSpec extraSpec{9, 9, &log};
    crossThreadHook state;
    state.events = window.get();
    state.extra = newHook(&extraSpec);
    IWndProc* waiting = new capsule<VWndProc>(reinterpret_cast<pointerInt>(&waitForAnotherThread),
                                              reinterpret_cast<pointerInt>(&state));
    window->AddMessageHook(waiting);
    EXPECT_EQ(::SendMessageA(handle, WM_USER + 2, 0, 0), 1) << "the other thread was kept out";
    // The hook it added runs from the next message on.
    EXPECT_EQ(::SendMessageA(handle, WM_USER + 1, 0, 0), 9);
    window->RemoveMessageHook(waiting);
    window->RemoveMessageHook(state.extra);
}

LRESULT countingHook(void* user, HWND, UINT message, WPARAM, LPARAM) {
    if (message == WM_USER + 3)
        ++*static_cast<std::atomic<int>*>(user);
    return -1;
}

TEST_F(DispatchTest, HooksAddedAndRemovedFromAnotherThreadWhileMessagesFlow) {
    std::atomic<int> calls{0};
    constexpr int kept = 40;
    std::atomic<bool> done{false};
    std::thread changer([&] {
        for (int i = 0; i < 200; ++i) {
            IWndProc* hook = new capsule<VWndProc>(reinterpret_cast<pointerInt>(&countingHook),
                                                   reinterpret_cast<pointerInt>(&calls));
            hook->addRef();
            window->AddMessageHook(hook);
            if (i % 5 != 0)
                window->RemoveMessageHook(hook);
            hook->release();
        }
        done = true;
    });
    while (!done)
        ::SendMessageA(handle, WM_USER + 3, 0, 0);
    changer.join();
    calls = 0;
    ::SendMessageA(handle, WM_USER + 3, 0, 0);
    EXPECT_EQ(calls.load(), kept);
}

// ---- the hook objects other modules make

LRESULT withoutUser(HWND, UINT message, WPARAM, LPARAM) { return message == WM_USER ? 11 : -1; }
LRESULT withUser(void* user, HWND window, UINT, WPARAM, LPARAM) {
    *static_cast<HWND*>(user) = window;
    return 12;
}

TEST_F(DispatchTest, AHookObjectPassesItsUserPointerFirstAndTheWindowsHandle) {
    HWND seen = nullptr;
    IWndProc* plain = new capsule<VWndProc>(reinterpret_cast<pointerInt>(&withoutUser), 0);
    IWndProc* user = new capsule<VWndProc>(reinterpret_cast<pointerInt>(&withUser),
                                           reinterpret_cast<pointerInt>(&seen));
    window->AddMessageHook(plain);
    EXPECT_EQ(::SendMessageA(handle, WM_USER, 0, 0), 11);
    window->AddMessageHook(user);
    EXPECT_EQ(::SendMessageA(handle, WM_USER + 4, 0, 0), 12);
    EXPECT_EQ(seen, handle);
    window->RemoveMessageHook(plain);
    window->RemoveMessageHook(user);
}

TEST(HookConstruct, MakesHooksFromNoValuesOrTwoPointerSizedNumbersOnly) {
    capsule<_constructVWndProc> construct;
    static_cast<Iconstruct&>(construct).addRef();
    EXPECT_STREQ(construct.getClassName(), "vesk::ui::VWndProc");
    ref<Igeneric> bare(construct.create());
    IWndProc* bareHook = interfaceCast<IWndProc>(bare.get());
    ASSERT_NE(bareHook, nullptr);
    EXPECT_EQ(bareHook->HookProc(nullptr, WM_USER, 0, 0), -1) << "no procedure: not handled";

    ref<Igeneric> made(construct.create2(addressValue(&withoutUser), pointerInt(0)));
    ASSERT_NE(interfaceCast<IWndProc>(made.get()), nullptr);
    EXPECT_EQ(interfaceCast<IWndProc>(made.get())->HookProc(nullptr, WM_USER, 0, 0), 11);
    // A procedure given as another kind of number is not taken.
    ref<Igeneric> wrongKind(construct.create2(value(static_cast<unsigned long>(1)), pointerInt(0)));
    EXPECT_EQ(interfaceCast<IWndProc>(wrongKind.get())->HookProc(nullptr, WM_USER, 0, 0), -1);

    EXPECT_EQ(construct.create1(addressValue(&withoutUser)), nullptr);
    EXPECT_EQ(construct.create3(pointerInt(0), pointerInt(0), pointerInt(0)), nullptr);
    EXPECT_EQ(construct.createWithArgs(nullptr), nullptr);
}

}  // namespace
}  // namespace vesk::ui::test
