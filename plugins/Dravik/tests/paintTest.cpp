// Painting: a paint handler that answers leaves its window validated, the
// device contexts, brushes and menus the library takes are given back, and
// a screen shot of a frame docked on all four sides.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>

#include "plugins/Dravik/dockSides.h"
#include "plugins/Dravik/paint.h"
#include "plugins/Dravik/skin.h"
#include "plugins/Dravik/tests/dravikTestSupport.h"
#include "plugins/Dravik/tests/heldObject.h"
#include "plugins/Dravik/tests/recordingWindow.h"
#include "plugins/Dravik/wndProc.h"

namespace vesk::ui::test {
namespace {

// Pumps a fixed number of rounds, so that a window that is never validated
// shows as paint after paint.
void pumpRounds(int rounds) {
    for (int i = 0; i < rounds; ++i) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&message);
    }
}

int paintsHeard(const recordingWindow& window) {
    return static_cast<int>(std::count(window.heard.begin(), window.heard.end(), "OnPaint"));
}

TEST(Paint, AHandlerThatAnswersValidatesItsWindow) {
    held<recordingWindow> window;
    HWND handle = window->Make();
    ASSERT_NE(handle, nullptr);
    pumpRounds(5);
    window->recording = true;
    window->answer = 0;  // answers without BeginPaint
    window->heard.clear();
    ::InvalidateRect(handle, nullptr, TRUE);
    pumpRounds(20);
    EXPECT_EQ(paintsHeard(*window), 1);
    window->recording = false;
    ::DestroyWindow(handle);
}

struct paintCount {
    int paints = 0;
};

LRESULT countPaints(void* user, HWND, UINT message, WPARAM, LPARAM) {
    if (message == WM_PAINT)
        ++static_cast<paintCount*>(user)->paints;
    return -1;
}

int CALLBACK areaSkin(HWND, HDC, int, int, int, int, int part, LPARAM, LPARAM) { return part == 3 ? 1 : 0; }

TEST(Paint, AnAreaIsPaintedOnceWhetherTheSkinOrTheLibraryDrawsIt) {
    frameFixture f(400, 300, false);
    VDockWnd* window = f.dockWindow("top", SIZE{100, 30});
    f.dockAt(window, side::top, POINT{10, 0});
    HWND area = f.area(side::top).GetHandle();
    paintCount count;
    IWndProc* hook = new capsule<VWndProc>(reinterpret_cast<pointerInt>(&countPaints),
                                           reinterpret_cast<pointerInt>(&count));
    f.area(side::top).AddMessageHook(hook);
    for (bool skinned : {false, true}) {
        skinData skin;
        skin.draw = areaSkin;
        if (skinned)
            SetCurrentSkin(&skin);
        pumpRounds(3);
        count.paints = 0;
        ::InvalidateRect(area, nullptr, FALSE);
        pumpRounds(20);
        EXPECT_EQ(count.paints, 1) << (skinned ? "skinned" : "plain");
        SetCurrentSkin(nullptr);
    }
    f.area(side::top).RemoveMessageHook(hook);
}

// A device context given back is handed out again to the next caller for
// the same window; one kept is not.
TEST(Paint, AreasAndContainersGiveBackTheirDeviceContexts) {
    frameFixture f(400, 300, false);
    VDockWnd* window = f.dockWindow("top", SIZE{100, 30});
    f.dockAt(window, side::top, POINT{10, 0});
    for (HWND painted : {f.area(side::top).GetHandle(), window->GetContainerHandle()}) {
        const DWORD flags = DCX_WINDOW | DCX_CACHE;
        ::RedrawWindow(painted, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        HDC before = ::GetDCEx(painted, nullptr, flags);
        ::ReleaseDC(painted, before);
        for (int i = 0; i < 10; ++i)
            ::RedrawWindow(painted, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        HDC after = ::GetDCEx(painted, nullptr, flags);
        ::ReleaseDC(painted, after);
        EXPECT_EQ(after, before);
    }
}

// Wine hands a freed GDI handle's slot to the next object made, so a slot
// that comes back unchanged shows that nothing made in between was kept.
WORD nextGdiSlot() {
    HBRUSH probe = ::CreateSolidBrush(RGB(1, 2, 3));
    WORD slot = LOWORD(reinterpret_cast<UINT_PTR>(probe));
    ::DeleteObject(probe);
    return slot;
}

TEST(Paint, DrawingAndRemovingAGhostKeepsNoBrush) {
    frameFixture f(400, 300, false);
    VDockWnd* window = f.dockWindow("floating", SIZE{100, 30});
    window->DrawDragRect(900, 600);  // the screen's device context is made once
    window->EraseDragRect();
    WORD before = nextGdiSlot();
    for (int i = 0; i < 5; ++i) {
        window->DrawDragRect(900 + i, 600);
        window->EraseDragRect();
    }
    EXPECT_EQ(nextGdiSlot(), before);
}

// The caption of the frame without a skin is the platform's, active or not.
TEST(Paint, AnUnskinnedFramesCaptionShowsWhetherItIsActive) {
    frameFixture f(400, 300, false);
    RECT window;
    ::GetWindowRect(f.window(), &window);
    POINT caption = {(window.left + window.right) / 2,
                     window.top + ::GetSystemMetrics(SM_CYFRAME) + ::GetSystemMetrics(SM_CYCAPTION) / 2};
    auto captionIsActive = [&] {
        COLORREF seen = screenPixel(caption);
        return seen != ::GetSysColor(COLOR_INACTIVECAPTION) && seen != ::GetSysColor(COLOR_GRADIENTINACTIVECAPTION);
    };
    ::SetActiveWindow(f.window());
    EXPECT_TRUE(pumpUntil(captionIsActive)) << "the active frame looks inactive";
    held<recordingWindow> other;
    HWND otherWindow = other->Make("other");
    ::SetActiveWindow(otherWindow);
    EXPECT_TRUE(pumpUntil([&] { return !captionIsActive(); })) << "an inactive frame looks active";
    ::DestroyWindow(otherWindow);
}

// ---- four docked sides on the screen

struct colouredContent {
    std::map<HWND, COLORREF> colours;
};
colouredContent* contentColours = nullptr;

LRESULT fillWithColour(HWND window, UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_ERASEBKGND || !contentColours)
        return -1;
    auto found = contentColours->colours.find(window);
    if (found == contentColours->colours.end())
        return -1;
    RECT client;
    ::GetClientRect(window, &client);
    FillSolid(reinterpret_cast<HDC>(wParam), client, found->second);
    return 1;
}

RECT clientOnScreen(HWND window) {
    RECT r;
    ::GetClientRect(window, &r);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST(ScreenShot, FourDockedSidesShowTheirContentInsideTheirBordersAndGrippers) {
    frameFixture f(640, 420, true);
    struct sideWindow {
        int side;
        const char* name;
        SIZE docked;
        COLORREF colour;
        VDockWnd* window = nullptr;
    } sides[] = {{side::top, "Top", {120, 40}, RGB(200, 40, 40)},
                 {side::right, "Right", {90, 120}, RGB(40, 160, 40)},
                 {side::bottom, "Bottom", {120, 50}, RGB(40, 40, 200)},
                 {side::left, "Left", {100, 120}, RGB(200, 160, 0)}};
    colouredContent content;
    contentColours = &content;
    IWndProc* hook = new capsule<VWndProc>(reinterpret_cast<pointerInt>(&fillWithColour), 0);
    hook->addRef();
    for (sideWindow& s : sides) {
        s.window = f.dockWindow(s.name, s.docked);
        content.colours[s.window->GetContainerHandle()] = s.colour;
        s.window->Container()->AddMessageHook(hook);
    }
    f.dockAt(sides[0].window, side::top, POINT{20, 0});
    f.dockAt(sides[2].window, side::bottom, POINT{20, 400});
    f.dockAt(sides[3].window, side::left, POINT{0, 120});
    f.dockAt(sides[1].window, side::right, POINT{620, 120});
    ::RedrawWindow(f.window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);

    RECT frame;
    ::GetWindowRect(f.window(), &frame);
    auto centreOf = [](const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; };
    ASSERT_TRUE(pumpUntil([&] {
        screenShot shot(frame);
        for (sideWindow& s : sides)
            if (shot.at(centreOf(clientOnScreen(s.window->GetContainerHandle()))) != s.colour)
                return false;
        return true;
    })) << "the content did not show";

    screenShot shot(frame);
    shot.saveIfAsked("four-docked-sides");
    const libraryColours& c = LibraryColours();
    for (sideWindow& s : sides) {
        HWND container = s.window->GetContainerHandle();
        RECT inside = clientOnScreen(container), outside;
        ::GetWindowRect(container, &outside);
        // The content reaches the edges of the client area...
        for (POINT p : {POINT{inside.left, inside.top}, POINT{inside.right - 1, inside.bottom - 1}})
            EXPECT_EQ(shot.at(p), s.colour) << s.name << " inside at " << p.x << "," << p.y;
        // ...and the frame around it is the library's: the gripper room on
        // the leading edge and the border elsewhere.
        bool vertical = IsVerticalSide(s.side);
        int lead = vertical ? inside.top - outside.top : inside.left - outside.left;
        EXPECT_EQ(lead, 15) << s.name;
        POINT gripper = vertical ? POINT{(outside.left + outside.right) / 2 - 20, outside.top + 5}
                                 : POINT{outside.left + 5, (outside.top + outside.bottom) / 2 + 10};
        EXPECT_NE(shot.at(gripper), s.colour) << s.name << " gripper";
        POINT farEdge = vertical ? POINT{inside.left - 2, (inside.top + inside.bottom) / 2}
                                 : POINT{(inside.left + inside.right) / 2, inside.bottom + 2};
        EXPECT_NE(shot.at(farEdge), s.colour) << s.name << " border";
    }
    // The top area's own edge: a shadow row, then a highlight row.
    RECT top;
    ::GetWindowRect(f.area(side::top).GetHandle(), &top);
    POINT edge = {top.right - 3, top.top};
    EXPECT_EQ(shot.at(edge), c.shadow);
    EXPECT_EQ(shot.at(POINT{edge.x, edge.y + 1}), c.highlight);

    for (sideWindow& s : sides)
        s.window->Container()->RemoveMessageHook(hook);
    hook->release();
    contentColours = nullptr;
}

}  // namespace
}  // namespace vesk::ui::test

namespace vesk::ui::test {
namespace {

TEST(ScreenShot, AFloatingWindowShowsItsContentFillingItsClientArea) {
    frameFixture f(500, 340, true);
    VDockWnd* docked = f.dockWindow("Docked", SIZE{120, 40});
    f.dockAt(docked, side::top, POINT{20, 0});
    IFrameChildWnd* child = f.frame().GetClientWnd()->CreateChild("Results", nullptr);
    ASSERT_NE(child, nullptr);
    child->addRef();
    VDockWnd* floating = f.dockWindow("Floating", SIZE{100, 30});
    RECT frame;
    ::GetWindowRect(f.window(), &frame);
    RECT place = {frame.right - 150, frame.top + 120, frame.right + 90, frame.top + 260};
    floating->SetDockRect(&place);
    colouredContent content;
    content.colours[floating->GetContainerHandle()] = RGB(120, 0, 160);
    contentColours = &content;
    IWndProc* hook = new capsule<VWndProc>(reinterpret_cast<pointerInt>(&fillWithColour), 0);
    floating->Container()->AddMessageHook(hook);
    floating->Show();
    RECT inside = clientOnScreen(floating->GetContainerHandle());
    RECT client = clientOnScreen(floating->GetHandle());
    EXPECT_TRUE(::EqualRect(&inside, &client)) << "floating, the container has no frame: " << describe(inside);
    RECT all = {frame.left, frame.top, place.right + 10, frame.bottom};
    ASSERT_TRUE(pumpUntil([&] {
        screenShot shot(all);
        return shot.at(POINT{inside.left, inside.top}) == RGB(120, 0, 160) &&
               shot.at(POINT{inside.right - 1, inside.bottom - 1}) == RGB(120, 0, 160);
    }));
    screenShot(all).saveIfAsked("floating-and-child");
    floating->Container()->RemoveMessageHook(hook);
    contentColours = nullptr;
    child->release();
}

}  // namespace
}  // namespace vesk::ui::test
