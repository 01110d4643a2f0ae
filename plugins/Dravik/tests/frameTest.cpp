// The frame: its window, the message loop, the layout of dock, MDI client
// and status bar, the skinned non-client area and the skin change.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "plugins/Dravik/frameClientWnd.h"
#include "plugins/Dravik/libraryModule.h"
#include "plugins/Dravik/skin.h"
#include "plugins/Dravik/tests/dravikTestSupport.h"
#include "plugins/Dravik/tests/heldObject.h"
#include "plugins/Dravik/wndProc.h"
#include "plugins/Dravik/wndProcs.h"

namespace vesk::ui::test {
namespace {

const char frameClass[] = "Pelloran:Dravik32:FrameWnd:1";

TEST(Frame, IsFoundByItsClassAndHasItsOwnStylesWhateverIsAsked) {
    auto* frame = new capsule_core<VFrameWnd>();
    IFrameWnd* frameInterface = frame;
    RECT place = {10, 10, 400, 300};
    HWND window = frameInterface->Create(static_cast<IWnd*>(nullptr), &place, "styles");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(::FindWindowA(frameClass, nullptr), window);
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(window, GWL_STYLE)), DWORD(0x04CF0000));
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(window, GWL_EXSTYLE)), DWORD(0x110));
    EXPECT_EQ(VFrameWnd::FrameWindow(), window);
    ::DestroyWindow(window);
    MSG quit;
    EXPECT_TRUE(::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the frame's end ends the loop";
    pump();
    frame->releaseCore();
}

// ---- the message loop

struct commandCount {
    int tabCommands = 0;
};

LRESULT countTabCommands(void* user, HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && LOWORD(wParam) == 40083)
        ++static_cast<commandCount*>(user)->tabCommands;
    return -1;
}

// A window with an edit field, to stand as the modeless dialog.
struct dialogWindow {
    HWND window = nullptr;
    HWND edit = nullptr;
    dialogWindow() {
        window = ::CreateWindowExA(0, "STATIC", "dialog", WS_POPUP | WS_VISIBLE, 500, 500, 200, 80, nullptr,
                                   nullptr, nullptr, nullptr);
        edit = ::CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 5, 5, 100, 20, window,
                                 nullptr, nullptr, nullptr);
        ::CreateWindowExA(0, "BUTTON", "ok", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 110, 5, 50, 20, window, nullptr,
                          nullptr, nullptr);
    }
    ~dialogWindow() {
        if (::IsWindow(window))
            ::DestroyWindow(window);
    }
};

int tabCommandsAfterRun(frameFixture& f, HWND tabTarget) {
    commandCount count;
    IWndProc* hook = new capsule<VWndProc>(reinterpret_cast<pointerInt>(&countTabCommands),
                                           reinterpret_cast<pointerInt>(&count));
    f.frame().AddMessageHook(hook);
    pump();
    ::PostMessageA(tabTarget, WM_KEYDOWN, VK_TAB, 0);
    ::PostQuitMessage(0);
    EXPECT_EQ(f.frame().Run(), 0);
    f.frame().RemoveMessageHook(hook);
    return count.tabCommands;
}

TEST(FrameLoop, TabAsksTheFrameToMoveTheFocusUnlessTheDialogTakesIt) {
    frameFixture f;
    EXPECT_EQ(tabCommandsAfterRun(f, f.client()), 1) << "no dialog";
    dialogWindow dialog;
    f.frame().SetDialogHandle(dialog.window);
    EXPECT_EQ(f.frame().GetDialogHandle(), dialog.window);
    EXPECT_EQ(tabCommandsAfterRun(f, dialog.edit), 0) << "the dialog moves its own focus";
    EXPECT_EQ(tabCommandsAfterRun(f, f.client()), 1) << "a key for another window";
    ::DestroyWindow(dialog.window);
    EXPECT_EQ(tabCommandsAfterRun(f, f.client()), 1) << "a dialog that is gone";
}

// ---- layout

TEST(FrameLayout, AMinimizedSizeChangesNothing) {
    frameFixture f(600, 400);
    VDockWnd* top = f.dockWindow("top", SIZE{100, 30});
    f.dockAt(top, 1, POINT{10, 10});
    RECT before = rectIn(f.area(1).GetHandle(), f.window());
    RECT clientBefore = rectIn(f.client(), f.window());
    EXPECT_EQ(f.frame().OnSize(SIZE_MINIMIZED, MAKELPARAM(100, 50)), -1);
    RECT after = rectIn(f.area(1).GetHandle(), f.window());
    RECT clientAfter = rectIn(f.client(), f.window());
    EXPECT_TRUE(::EqualRect(&before, &after)) << describe(before) << " became " << describe(after);
    EXPECT_TRUE(::EqualRect(&clientBefore, &clientAfter));
    EXPECT_EQ(f.frame().OnSize(SIZE_RESTORED, MAKELPARAM(300, 200)), 1);
    EXPECT_EQ(rectIn(f.area(1).GetHandle(), f.window()).right, 300) << "a real size does lay out";
}

TEST(FrameLayout, AHiddenStatusBarLeavesTheWholeHeightToDockAndClient) {
    frameFixture f(600, 400);
    VDockWnd* bottom = f.dockWindow("bottom", SIZE{100, 40});
    f.dockAt(bottom, 3, POINT{10, 300});
    RECT status;
    ::GetWindowRect(f.statusBar()->GetHandle(), &status);
    int statusHeight = status.bottom - status.top;
    ASSERT_GT(statusHeight, 0);
    RECT area = rectIn(f.area(3).GetHandle(), f.window());
    EXPECT_EQ(area.bottom, 400 - statusHeight);
    EXPECT_EQ(rectIn(f.client(), f.window()).bottom, area.top);

    f.frame().SetStatusBarVisible(0);
    EXPECT_EQ(f.frame().GetStatusBarVisible(), 0);
    EXPECT_FALSE(::IsWindowVisible(f.statusBar()->GetHandle()));
    area = rectIn(f.area(3).GetHandle(), f.window());
    EXPECT_EQ(area.bottom, 400);
    EXPECT_EQ(rectIn(f.client(), f.window()).bottom, area.top);

    // The bands' own layout call gives the same answer.
    f.frame().Resize(nullptr, nullptr, 600, 400);
    EXPECT_EQ(rectIn(f.area(3).GetHandle(), f.window()).bottom, 400);
}

// ---- the MDI client and its children

TEST(FrameClient, ChildrenAreNumberedFromTheClientsCreationRecord) {
    frameFixture f;
    HWND client = f.client();
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(client, GWL_STYLE)) & 0x52000000u, 0x52000000u);
    EXPECT_TRUE(::GetWindowLongA(client, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    IFrameChildWnd* child = f.frame().GetClientWnd()->CreateChild("results", nullptr);
    ASSERT_NE(child, nullptr);
    child->addRef();
    HWND childWindow = interfaceCast<IWnd>(child)->GetHandle();
    ASSERT_NE(childWindow, nullptr);
    EXPECT_EQ(::GetDlgCtrlID(childWindow), 50000) << "the first child id of the record";
    EXPECT_EQ(::GetParent(childWindow), client);
    EXPECT_EQ(child->Maximize(), 1);
    EXPECT_TRUE(::IsZoomed(childWindow));
    EXPECT_EQ(child->Activate(), 1);
    EXPECT_EQ(reinterpret_cast<HWND>(::SendMessageA(client, WM_MDIGETACTIVE, 0, 0)), childWindow);
    EXPECT_TRUE(interfaceCast<IWnd>(child)->SetWindowTextA("a query"));
    child->release();
    EXPECT_FALSE(::IsWindow(childWindow)) << "the child window goes with its object";
}

// ---- the library's own resources

TEST(FrameModule, StringsComeFromTheLibrarysOwnModuleAndWindowsFollowTheInstance) {
    const char* expected[] = {"&Customize...", "Tool&bars", "&Windows", "Customize", "&File",
                              "&Help",         "&View",     "Time",     "Message"};
    for (UINT id = 1; id <= 9; ++id) {
        char text[64];
        EXPECT_GT(LoadLibraryString(id, text, sizeof(text)), 0);
        EXPECT_STREQ(text, expected[id - 1]);
    }
    HINSTANCE other = ::GetModuleHandleA("libwinpthread-1.dll");
    ASSERT_NE(other, nullptr);
    HINSTANCE before = g_DLLhInstance;
    {
        frameFixture first;  // registers the classes under the first instance
        first.dockWindow("first", SIZE{50, 20});
    }
    {
        auto* frame = new capsule_core<VFrameWnd>();
        EXPECT_EQ(frame->SetModuleHandle(other), 1);
        EXPECT_EQ(g_DLLhInstance, other);
        RECT place = {0, 0, 300, 200};
        HWND window = static_cast<IFrameWnd*>(frame)->Create(static_cast<IWnd*>(nullptr), &place, "other");
        ASSERT_NE(window, nullptr) << "the frame class follows the instance";
        EXPECT_EQ(reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(window, GWLP_HINSTANCE)), other);
        VDock* dock = dynamic_cast<VDock*>(frame->GetDock());
        EXPECT_NE(dock->Area(1)->GetHandle(), nullptr);
        RECT floating = {0, 0, 100, 100};
        IDockWnd* made = dock->CreateDockWindow("after", &floating);
        EXPECT_NE(interfaceCast<IWnd>(made)->GetHandle(), nullptr);
        HMENU menu = dock->CreateMenu();
        char text[64] = {};
        ::GetMenuStringA(menu, 1, text, sizeof(text), MF_BYCOMMAND);
        EXPECT_STREQ(text, "&Customize...") << "from the library's module, not the new instance";
        ::DestroyWindow(window);
        pump();
        MSG quit;
        ::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        frame->releaseCore();
    }
    g_DLLhInstance = before;
}

TEST(FrameModule, ASecondDockMenuReplacesTheFirst) {
    frameFixture f;
    HMENU first = f.dock().CreateMenu();
    ASSERT_TRUE(::IsMenu(first));
    HMENU second = f.dock().CreateMenu();
    EXPECT_TRUE(::IsMenu(second));
    EXPECT_FALSE(::IsMenu(first)) << "the first menu is destroyed";
    EXPECT_EQ(f.dock().GetMenu(), second);
}

// ---- a skin that draws the frame

struct skinCalls {
    std::vector<int> parts;
};
skinCalls* recordedSkinCalls = nullptr;

int CALLBACK recordingSkin(HWND, HDC, int, int, int, int, int part, LPARAM, LPARAM) {
    if (recordedSkinCalls)
        recordedSkinCalls->parts.push_back(part);
    return 1;
}

// The current skin for a test's scope: borders top 20, left and right 3,
// bottom 4, and the default caption boxes.
struct drawingSkin {
    skinData skin;
    skinCalls calls;
    explicit drawingSkin(HWND frame) : frame_(frame) {
        skin.draw = recordingSkin;
        skin.Set(1, 20);
        skin.Set(2, 3);
        skin.Set(3, 3);
        skin.Set(4, 4);
        recordedSkinCalls = &calls;
        SetCurrentSkin(&skin);
        ::SetWindowPos(frame, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    }
    ~drawingSkin() {
        SetCurrentSkin(nullptr);
        recordedSkinCalls = nullptr;
        if (::IsWindow(frame_))
            ::SetWindowPos(frame_, nullptr, 0, 0, 0, 0,
                           SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    }

private:
    HWND frame_;
};

LRESULT hitAt(HWND frame, int x, int y) {
    RECT window;
    ::GetWindowRect(frame, &window);
    return ::SendMessageA(frame, WM_NCHITTEST, 0, MAKELPARAM(window.left + x, window.top + y));
}

TEST(FrameSkin, TheSkinsBordersAndCaptionBoxesShapeTheNonClientArea) {
    frameFixture f(500, 300);
    drawingSkin skin(f.window());
    RECT window, client;
    ::GetWindowRect(f.window(), &window);
    ::GetClientRect(f.window(), &client);
    int width = window.right - window.left;
    EXPECT_EQ(client.right, width - 6);
    EXPECT_EQ(client.bottom, window.bottom - window.top - 24);

    // Boxes 15 wide: close at x -10, maximize at -20, minimize at -40,
    // system menu at 4; all 3 from the top.
    EXPECT_EQ(hitAt(f.window(), width - 8, 5), HTCLOSE) << "10 pixels left of the right edge";
    EXPECT_EQ(hitAt(f.window(), width - 12, 5), HTMAXBUTTON);
    EXPECT_EQ(hitAt(f.window(), width - 38, 5), HTMINBUTTON);
    EXPECT_EQ(hitAt(f.window(), 6, 5), HTSYSMENU);
    EXPECT_EQ(hitAt(f.window(), width / 2, 10), HTCAPTION);
    EXPECT_EQ(hitAt(f.window(), width / 2, 60), HTCLIENT);

    skin.calls.parts.clear();
    ::RedrawWindow(f.window(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(skin.calls.parts.size() >= 3 ? std::vector<int>(skin.calls.parts.begin(), skin.calls.parts.begin() + 3)
                                           : skin.calls.parts,
              (std::vector<int>{1, 5, 4}));
}

int closeRequests = 0;
LRESULT countCloses(HWND, UINT message, WPARAM, LPARAM) {
    if (message != WM_CLOSE)
        return -1;
    ++closeRequests;
    return 0;  // the frame stays
}

TEST(FrameSkin, AClickOnTheSkinnedCloseBoxClosesOnce) {
    frameFixture f(500, 300);
    drawingSkin skin(f.window());
    IWndProc* hook = new capsule<VWndProc>(reinterpret_cast<pointerInt>(&countCloses), 0);
    f.frame().AddMessageHook(hook);
    closeRequests = 0;
    RECT window;
    ::GetWindowRect(f.window(), &window);
    POINT box = {window.right - 8, window.top + 5};
    // The release that the platform's own tracking of the box would wait for.
    ::PostMessageA(f.window(), WM_LBUTTONUP, 0, MAKELPARAM(box.x - window.left, box.y - window.top));
    ::SendMessageA(f.window(), WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(box.x, box.y));
    pump();
    EXPECT_EQ(closeRequests, 1);
    f.frame().RemoveMessageHook(hook);
}

// ---- the skin change

struct skinMessages {
    std::vector<HWND> told;
};
skinMessages* skinListener = nullptr;

LRESULT noteSkinChange(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_SKINCHANGED && skinListener)
        skinListener->told.push_back(window);
    return -1;
}

bool told(const skinMessages& m, HWND window) {
    return std::find(m.told.begin(), m.told.end(), window) != m.told.end();
}

TEST(FrameSkin, ASkinChangeReachesEveryWindowAndReplacesTheBrushSafely) {
    frameFixture f(500, 300);
    VDockWnd* docked = f.dockWindow("docked", SIZE{80, 30});
    f.dockAt(docked, 1, POINT{5, 5});
    VDockWnd* floating = f.dockWindow("floating", SIZE{80, 30});
    floating->Show();
    skinMessages messages;
    skinListener = &messages;
    IWndProc* hook = new capsule<VWndProc>(reinterpret_cast<pointerInt>(&noteSkinChange), 0);
    hook->addRef();
    std::vector<VWnd*> listening = {&f.area(1), &f.area(3), floating, floating->Container(), docked->Container()};
    for (VWnd* window : listening)
        window->AddMessageHook(hook);

    skinData skin;
    skin.draw = recordingSkin;
    skin.background = RGB(10, 20, 30);
    SetCurrentSkin(&skin);
    f.frame().OnSkinChanged(0, 0);
    HBRUSH firstBrush = skin.BackgroundBrush();
    EXPECT_EQ(::GetObjectType(firstBrush), DWORD(OBJ_BRUSH));
    for (HWND window : {f.area(1).GetHandle(), f.area(3).GetHandle(), floating->GetHandle(),
                        floating->GetContainerHandle(), docked->GetContainerHandle()})
        EXPECT_TRUE(told(messages, window)) << window;
    EXPECT_EQ(reinterpret_cast<HBRUSH>(::GetClassLongPtrA(f.area(1).GetHandle(), GCLP_HBRBACKGROUND)), firstBrush);

    f.frame().OnSkinChanged(0, 0);
    HBRUSH secondBrush = skin.BackgroundBrush();
    EXPECT_EQ(::GetObjectType(secondBrush), DWORD(OBJ_BRUSH));
    EXPECT_EQ(::GetObjectType(firstBrush), 0u) << "the replaced brush is deleted";
    EXPECT_EQ(reinterpret_cast<HBRUSH>(::GetClassLongPtrA(f.area(1).GetHandle(), GCLP_HBRBACKGROUND)), secondBrush)
        << "and no class holds it any more";

    // Back to the built-in skin: the system's brush, and the skin's own goes.
    SetCurrentSkin(nullptr);
    f.frame().OnSkinChanged(0, 0);
    skin.SetBackgroundBrush(nullptr, false);
    EXPECT_EQ(::GetClassLongPtrA(f.area(1).GetHandle(), GCLP_HBRBACKGROUND), ULONG_PTR(COLOR_BTNFACE + 1));
    skinListener = nullptr;
    for (VWnd* window : listening)
        window->RemoveMessageHook(hook);
    hook->release();
}

TEST(FrameSkin, ASkinChangeKeepsTheOrderOfOverlappingWindows) {
    frameFixture f(500, 300);
    IFrameChildWnd* lower = f.frame().GetClientWnd()->CreateChild("lower", nullptr);
    IFrameChildWnd* upper = f.frame().GetClientWnd()->CreateChild("upper", nullptr);
    ASSERT_TRUE(lower && upper);
    lower->addRef();
    upper->addRef();
    HWND top = interfaceCast<IWnd>(upper)->GetHandle();
    upper->Activate();
    ASSERT_EQ(::GetTopWindow(f.client()), top);
    f.frame().OnSkinChanged(0, 0);
    EXPECT_EQ(::GetTopWindow(f.client()), top);
    lower->release();
    upper->release();
}

}  // namespace
}  // namespace vesk::ui::test
