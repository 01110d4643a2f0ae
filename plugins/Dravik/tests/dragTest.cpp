// Drags, driven by the mouse messages themselves: every screen position
// comes from the messages, none from the pointer.
#include <gtest/gtest.h>

#include <windows.h>

#include "plugins/Dravik/dockSides.h"
#include "plugins/Dravik/tests/dravikTestSupport.h"

namespace vesk::ui::test {
namespace {

LPARAM packed(POINT p) { return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)); }

// A non-client message carries screen coordinates.
LRESULT sendScreen(HWND window, UINT message, WPARAM wParam, POINT screen) {
    return ::SendMessageA(window, message, wParam, packed(screen));
}

// A client message carries the window's client coordinates.
LRESULT sendClient(HWND window, UINT message, POINT screen) {
    POINT client = screen;
    ::ScreenToClient(window, &client);
    return ::SendMessageA(window, message, 0, packed(client));
}

POINT offset(POINT p, int dx, int dy) { return POINT{p.x + dx, p.y + dy}; }
POINT topLeft(const RECT& r) { return POINT{r.left, r.top}; }
RECT screenRect(HWND window) {
    RECT r;
    ::GetWindowRect(window, &r);
    return r;
}
POINT clientOrigin(HWND window) {
    POINT p = {0, 0};
    ::ClientToScreen(window, &p);
    return p;
}

// A floating window, shown at a known place away from the frame.
VDockWnd* floatingWindow(frameFixture& f, const char* name, bool resizable = true) {
    VDockWnd* window = f.dockWindow(name, SIZE{100, 30}, resizable);
    RECT place = {760, 120, 920, 240};
    window->SetDockRect(&place);
    window->Show();
    pump();
    return window;
}

// Presses the floating window's caption and moves the pointer to `to`.
void pressCaptionAndMove(VDockWnd* window, POINT to) {
    RECT r = screenRect(window->GetHandle());
    sendScreen(window->GetHandle(), WM_NCLBUTTONDOWN, HTCAPTION, POINT{r.left + 30, r.top + 6});
    sendClient(window->GetHandle(), WM_MOUSEMOVE, to);
}

// A point whose dragged rectangle's probe reaches the empty top area.
POINT overTopArea(frameFixture& f, int x) {
    POINT origin = clientOrigin(f.window());
    return POINT{origin.x + x + 15, origin.y - 5 + 15};
}

POINT nowhere() { return POINT{1000, 700}; }

TEST(CaptionDrag, DropsTheWindowIntoTheAreaUnderThePointer) {
    frameFixture f(600, 400, false);
    VDockWnd* window = floatingWindow(f, "dragged");
    pressCaptionAndMove(window, overTopArea(f, 200));
    EXPECT_TRUE(window->Dragging());
    EXPECT_EQ(window->DropTarget(), static_cast<IDockArea*>(&f.area(side::top)));
    sendClient(window->GetHandle(), WM_LBUTTONUP, overTopArea(f, 200));
    pump();
    EXPECT_EQ(window->GetDockAreaPos(), side::top);
    EXPECT_FALSE(::IsWindowVisible(window->GetHandle())) << "the floating window hides";
    EXPECT_EQ(::GetParent(window->GetContainerHandle()), f.area(side::top).GetHandle());
    EXPECT_EQ(f.area(side::top).GetHeight(), 36);
    EXPECT_FALSE(window->GhostShown());
}

TEST(CaptionDrag, DroppedWhereNoAreaIsTheWindowMovesToTheGhostWithItsOwnSize) {
    frameFixture f(600, 400, false);
    VDockWnd* window = floatingWindow(f, "dragged");
    RECT before = screenRect(window->GetHandle());
    // Within the drag distance nothing moves yet.
    RECT r = screenRect(window->GetHandle());
    POINT press = {r.left + 30, r.top + 6};
    sendScreen(window->GetHandle(), WM_NCLBUTTONDOWN, HTCAPTION, press);
    sendClient(window->GetHandle(), WM_MOUSEMOVE, offset(press, 1, 1));
    EXPECT_FALSE(window->Dragging());
    EXPECT_FALSE(window->GhostShown());
    sendClient(window->GetHandle(), WM_MOUSEMOVE, nowhere());
    ASSERT_TRUE(window->GhostShown());
    EXPECT_EQ(window->DropTarget(), nullptr);
    RECT ghost = window->Ghost();
    EXPECT_EQ(topLeft(ghost).x, nowhere().x - 15);
    EXPECT_EQ(topLeft(ghost).y, nowhere().y - 15);
    sendClient(window->GetHandle(), WM_LBUTTONUP, nowhere());
    pump();
    RECT after = screenRect(window->GetHandle());
    EXPECT_EQ(after.left, nowhere().x - 15);
    EXPECT_EQ(after.top, nowhere().y - 15);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    EXPECT_EQ(window->GetDockAreaPos(), 0);
}

TEST(CaptionDrag, AClickOnTheCaptionWithoutADragLeavesTheWindowWhereItIs) {
    frameFixture f(600, 400, false);
    VDockWnd* window = floatingWindow(f, "clicked");
    RECT before = screenRect(window->GetHandle());
    POINT press = {before.left + 30, before.top + 6};
    sendScreen(window->GetHandle(), WM_NCLBUTTONDOWN, HTCAPTION, press);
    sendClient(window->GetHandle(), WM_LBUTTONUP, press);
    RECT after = screenRect(window->GetHandle());
    EXPECT_TRUE(::EqualRect(&before, &after)) << describe(after);
}

TEST(GhostSize, FollowsTheAreaTheWindowWouldDockIn) {
    frameFixture f(600, 400, false);
    VDockWnd* resizable = floatingWindow(f, "resizable");
    POINT origin = clientOrigin(f.window());

    // Over the left area: as tall as the area, 100 wide.
    POINT left = {origin.x + 15, origin.y + 150 + 15};
    pressCaptionAndMove(resizable, left);
    EXPECT_EQ(resizable->DropTarget(), static_cast<IDockArea*>(&f.area(side::left)));
    RECT area = screenRect(f.area(side::left).GetHandle());
    RECT ghost = resizable->Ghost();
    EXPECT_EQ(ghost.right - ghost.left, 100);
    EXPECT_EQ(ghost.top, area.top);
    EXPECT_EQ(ghost.bottom, area.bottom);

    // Over the top area: as wide as the area, 100 high.
    sendClient(resizable->GetHandle(), WM_MOUSEMOVE, overTopArea(f, 200));
    area = screenRect(f.area(side::top).GetHandle());
    ghost = resizable->Ghost();
    EXPECT_EQ(ghost.left, area.left);
    EXPECT_EQ(ghost.right, area.right);
    EXPECT_EQ(ghost.bottom - ghost.top, 100);
    sendClient(resizable->GetHandle(), WM_LBUTTONUP, nowhere());

    // A fixed window's ghost has its container's size.
    VDockWnd* fixed = floatingWindow(f, "fixed", false);
    RECT container = screenRect(fixed->GetContainerHandle());
    pressCaptionAndMove(fixed, overTopArea(f, 200));
    ghost = fixed->Ghost();
    EXPECT_EQ(fixed->DropTarget(), static_cast<IDockArea*>(&f.area(side::top)));
    EXPECT_EQ(ghost.right - ghost.left, container.right - container.left);
    EXPECT_EQ(ghost.bottom - ghost.top, container.bottom - container.top);
    sendClient(fixed->GetHandle(), WM_LBUTTONUP, nowhere());

    // A window that docks only in rows floats over the left area.
    VDockWnd* rowsOnly = floatingWindow(f, "rows only");
    rowsOnly->SetDockVertical(0);
    RECT own = screenRect(rowsOnly->GetHandle());
    pressCaptionAndMove(rowsOnly, left);
    EXPECT_EQ(rowsOnly->DropTarget(), nullptr);
    ghost = rowsOnly->Ghost();
    EXPECT_EQ(ghost.right - ghost.left, own.right - own.left);
    EXPECT_EQ(ghost.bottom - ghost.top, own.bottom - own.top);
    sendClient(rowsOnly->GetHandle(), WM_LBUTTONUP, nowhere());
}

// The ghost is drawn on the desktop's device context, which a screen shot
// of the windows does not show under Wine: its pixels are read back.
TEST(GhostSize, IsDrawnInvertedOnTheScreenAndRemovedByTheSameDrawing) {
    frameFixture f(600, 400, false);
    VDockWnd* window = floatingWindow(f, "dragged");
    POINT corner = offset(nowhere(), -15, -15);
    POINT nextCorner = offset(corner, 40, 30);
    COLORREF before = screenPixel(corner), nextBefore = screenPixel(nextCorner);
    const COLORREF inverted = RGB(0xFE, 0xFE, 0xFE);
    pressCaptionAndMove(window, nowhere());
    ASSERT_TRUE(window->GhostShown());
    EXPECT_EQ(screenPixel(corner), before ^ inverted);
    sendClient(window->GetHandle(), WM_MOUSEMOVE, offset(nowhere(), 40, 30));
    EXPECT_EQ(screenPixel(corner), before) << "the last ghost is gone before the next is drawn";
    EXPECT_EQ(screenPixel(nextCorner), nextBefore ^ inverted);
    sendClient(window->GetHandle(), WM_LBUTTONUP, offset(nowhere(), 40, 30));
    EXPECT_EQ(screenPixel(corner), before);
    EXPECT_FALSE(window->GhostShown());
}

TEST(GripperDrag, ToNowhereUndocksAndShowsTheFloatingWindowThere) {
    frameFixture f(600, 400, false);
    VDockWnd* window = f.dockWindow("docked", SIZE{100, 30});
    f.dockAt(window, side::top, POINT{100, 0});
    ASSERT_EQ(window->GetDockAreaPos(), side::top);
    HWND container = window->GetContainerHandle();
    RECT c = screenRect(container);
    POINT grip = {c.left + 8, c.top + 22};
    ASSERT_EQ(sendScreen(container, WM_NCHITTEST, 0, grip), HTCAPTION);
    sendScreen(container, WM_NCLBUTTONDOWN, HTCAPTION, grip);
    EXPECT_TRUE(window->GhostShown()) << "a gripper drag shows its ghost at once";
    sendClient(container, WM_MOUSEMOVE, nowhere());
    sendClient(container, WM_LBUTTONUP, nowhere());
    pump();
    EXPECT_EQ(window->GetDockAreaPos(), 0);
    EXPECT_EQ(f.area(side::top).GetHeight(), 0);
    EXPECT_TRUE(::IsWindowVisible(window->GetHandle()));
    RECT floating = screenRect(window->GetHandle());
    EXPECT_EQ(floating.left, nowhere().x - 15);
    EXPECT_EQ(floating.top, nowhere().y - 15);
    EXPECT_FALSE(window->GhostShown());
}

TEST(CloseBox, HidesTheDockedWindowWhenReleasedOverIt) {
    frameFixture f(600, 400, false);
    VDockWnd* window = f.dockWindow("closable", SIZE{100, 30});
    f.dockAt(window, side::top, POINT{100, 0});
    HWND container = window->GetContainerHandle();
    ::RedrawWindow(container, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    RECT c = screenRect(container);
    RECT box = window->Container()->CloseBox();
    ASSERT_FALSE(::IsRectEmpty(&box));
    POINT onBox = {c.left + (box.left + box.right) / 2, c.top + (box.top + box.bottom) / 2};
    ASSERT_EQ(sendScreen(container, WM_NCHITTEST, 0, onBox), HTCLOSE);

    // Released elsewhere: nothing.
    sendScreen(container, WM_NCLBUTTONDOWN, HTCLOSE, onBox);
    sendClient(container, WM_LBUTTONUP, offset(onBox, 200, 0));
    EXPECT_EQ(window->GetVisible(), 1);
    EXPECT_TRUE(::IsWindow(container));

    sendScreen(container, WM_NCLBUTTONDOWN, HTCLOSE, onBox);
    sendClient(container, WM_LBUTTONUP, onBox);
    pump();
    EXPECT_EQ(window->GetVisible(), 0);
    EXPECT_FALSE(::IsWindowVisible(container));
    EXPECT_TRUE(::IsWindow(container)) << "hidden, not destroyed";
    EXPECT_EQ(f.area(side::top).GetHeight(), 0);
    window->Show();
    EXPECT_EQ(f.area(side::top).GetHeight(), 36);
}

TEST(CloseBox, ClosingAFloatingWindowHidesItOnlyWhenItIsClosable) {
    frameFixture f(600, 400, false);
    VDockWnd* closable = floatingWindow(f, "closable");
    ::SendMessageA(closable->GetHandle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindowVisible(closable->GetHandle()));
    EXPECT_TRUE(::IsWindow(closable->GetHandle()));
    VDockWnd* fixed = floatingWindow(f, "not closable");
    fixed->SetClosable(0);
    ::SendMessageA(fixed->GetHandle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindowVisible(fixed->GetHandle()));
}

// ---- band drags through the area's window

TEST(SizerDrag, ShowsItsGhostAtOnceAndFollowsThePointerAcrossTheBandOnly) {
    frameFixture f(600, 400, false);
    VDockWnd* window = f.dockWindow("top", SIZE{100, 30});
    f.dockAt(window, side::top, POINT{100, 0});
    VDockBand* band = window->Band();
    HWND area = f.area(side::top).GetHandle();
    RECT b = band->BandRect();
    POINT press = {300, b.bottom - 3};
    ::ClientToScreen(area, &press);
    sendClient(area, WM_LBUTTONDOWN, press);
    ASSERT_TRUE(band->GhostShown());
    RECT ghost = band->Ghost();
    EXPECT_EQ(ghost.bottom - ghost.top, 4);
    POINT areaOrigin = clientOrigin(area);
    EXPECT_EQ(ghost.left, areaOrigin.x + b.left);
    EXPECT_EQ(ghost.right, areaOrigin.x + b.right);

    POINT moved = offset(press, 120, 25);
    sendClient(area, WM_MOUSEMOVE, moved);
    ghost = band->Ghost();
    EXPECT_EQ(ghost.top, moved.y);
    EXPECT_EQ(ghost.bottom - ghost.top, 3);
    EXPECT_EQ(ghost.left, areaOrigin.x + b.left) << "along the band the ghost stays";
    sendClient(area, WM_LBUTTONUP, moved);
    pump();
    EXPECT_FALSE(band->GhostShown());
    EXPECT_EQ(band->GetHeight(), 36 + 25);
    EXPECT_EQ(rectIn(area, f.window()).bottom, 36 + 25);
}

TEST(SizerDrag, CannotPushTheAreaPastTheOppositeOne) {
    frameFixture f(600, 400, false);
    VDockWnd* top = f.dockWindow("top", SIZE{100, 30});
    VDockWnd* bottom = f.dockWindow("bottom", SIZE{100, 30});
    f.dockAt(top, side::top, POINT{100, 0});
    f.dockAt(bottom, side::bottom, POINT{100, 380});
    HWND area = f.area(side::top).GetHandle();
    RECT b = top->Band()->BandRect();
    POINT press = {300, b.bottom - 3};
    ::ClientToScreen(area, &press);
    sendClient(area, WM_LBUTTONDOWN, press);
    sendClient(area, WM_LBUTTONUP, offset(press, 0, 2000));
    pump();
    RECT topArea = rectIn(area, f.window()), bottomArea = rectIn(f.area(side::bottom).GetHandle(), f.window());
    EXPECT_LE(topArea.bottom, bottomArea.top) << describe(topArea) << " " << describe(bottomArea);
    EXPECT_GE(rectIn(f.client(), f.window()).bottom - rectIn(f.client(), f.window()).top, 0);
}

// Two resizable windows side by side in one band, and the point in the gap
// between them (screen).
struct twoInABand {
    VDockWnd *first, *second;
    POINT gap;
    twoInABand(frameFixture& f, int s) {
        first = f.dockWindow("first", SIZE{100, 100});
        second = f.dockWindow("second", SIZE{100, 100});
        bool vertical = IsVerticalSide(s);
        POINT at = vertical ? POINT{0, 20} : POINT{20, 0};
        f.dockAt(first, s, at, 0);
        f.dockAt(second, s, vertical ? POINT{0, 250} : POINT{250, 0}, 0);
        first->SetDockPercentsize(0.5f);
        second->SetDockPercentsize(0.5f);
        f.frame().OnSize(0, 0);
        RECT end = screenRect(first->GetContainerHandle());
        RECT band = screenRect(second->GetContainerHandle());
        gap = vertical ? POINT{(band.left + band.right) / 2, end.bottom + 2}
                       : POINT{end.right + 2, (band.top + band.bottom) / 2};
    }
};

TEST(GapDrag, InAColumnMovesAThinLineAcrossTheColumnUpAndDown) {
    frameFixture f(600, 400, false);
    twoInABand two(f, side::left);
    ASSERT_EQ(two.first->Band(), two.second->Band());
    VDockBand* band = two.first->Band();
    HWND area = f.area(side::left).GetHandle();
    RECT firstBefore = two.first->Container()->PlacementRect();
    sendClient(area, WM_LBUTTONDOWN, two.gap);
    ASSERT_TRUE(band->GhostShown());
    POINT areaOrigin = clientOrigin(area);
    RECT ghost = band->Ghost();
    EXPECT_EQ(ghost.bottom - ghost.top, 3);
    EXPECT_EQ(ghost.left, areaOrigin.x + band->BandRect().left);
    EXPECT_EQ(ghost.right, areaOrigin.x + band->BandRect().right);
    POINT moved = offset(two.gap, 7, 40);
    sendClient(area, WM_MOUSEMOVE, moved);
    ghost = band->Ghost();
    EXPECT_EQ(ghost.top, moved.y);
    EXPECT_EQ(ghost.left, areaOrigin.x + band->BandRect().left) << "the line keeps the column's width";
    sendClient(area, WM_LBUTTONUP, moved);
    RECT firstAfter = two.first->Container()->PlacementRect();
    EXPECT_EQ(firstAfter.bottom, firstBefore.bottom + 40);
    EXPECT_EQ(two.second->Container()->PlacementRect().top, firstAfter.bottom);
    EXPECT_FALSE(band->GhostShown());
}

TEST(GapDrag, LeavesTheEarlierWindowAtLeast15Long_Or2WhileDockingIsLocked) {
    for (int locked = 0; locked < 2; ++locked) {
        frameFixture f(600, 400, false);
        twoInABand two(f, side::top);
        f.dock().SetDockable(locked ? 0 : 1);
        HWND area = f.area(side::top).GetHandle();
        sendClient(area, WM_LBUTTONDOWN, two.gap);
        sendClient(area, WM_LBUTTONUP, offset(two.gap, -1000, 0));
        RECT first = two.first->Container()->PlacementRect();
        EXPECT_EQ(first.right - first.left, locked ? 2 : 15) << (locked ? "locked" : "allowed");
        RECT second = two.second->Container()->PlacementRect();
        EXPECT_EQ(second.left, first.right);
    }
}

}  // namespace
}  // namespace vesk::ui::test
