// The dock layout: areas around the frame's client area, corners, which band
// a dropped window lands in, and the layout of windows inside a band.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "plugins/Dravik/dockSides.h"
#include "plugins/Dravik/tests/dravikTestSupport.h"
#include "plugins/Dravik/tests/heldObject.h"

namespace vesk::ui::test {
namespace {

constexpr int W = 600, H = 400;

RECT areaRect(frameFixture& f, int s) { return rectIn(f.area(s).GetHandle(), f.window()); }
RECT containerIn(VDockWnd* window, HWND area) { return rectIn(window->GetContainerHandle(), area); }

#define EXPECT_RECT(actual, l, t, r, b)                                                       \
    do {                                                                                      \
        RECT expected_ = {l, t, r, b}, actual_ = actual;                                       \
        EXPECT_TRUE(::EqualRect(&expected_, &actual_)) << describe(actual_) << " expected " \
                                                       << describe(expected_);               \
    } while (0)

TEST(DockLayout, AreasWithoutBandsAreNothingAndTheClientFillsTheFrame) {
    frameFixture f(W, H, false);
    for (int s : {side::top, side::right, side::bottom, side::left}) {
        EXPECT_EQ(f.area(s).GetWidth(), 0) << s;
        EXPECT_EQ(f.area(s).GetHeight(), 0) << s;
    }
    EXPECT_RECT(rectIn(f.client(), f.window()), 0, 0, W, H);
}

// One resizable window on each side: 30 high across the top and bottom,
// 80 wide down the sides.
struct fourSides {
    VDockWnd *top, *right, *bottom, *left;
    explicit fourSides(frameFixture& f) {
        top = f.dockWindow("top", SIZE{100, 30});
        right = f.dockWindow("right", SIZE{80, 100});
        bottom = f.dockWindow("bottom", SIZE{100, 30});
        left = f.dockWindow("left", SIZE{80, 100});
        f.dockAt(top, side::top, POINT{10, 0});
        f.dockAt(bottom, side::bottom, POINT{10, H - 20});
        f.dockAt(left, side::left, POINT{0, 100});
        f.dockAt(right, side::right, POINT{W - 20, 100});
    }
};

TEST(DockLayout, TheTopAndBottomAreasOwnTheCornersByDefault) {
    frameFixture f(W, H, false);
    fourSides windows(f);
    // A resizable band is its window plus the sizer: 6 across a row, 5
    // across a column.
    int topH = 36, bottomH = 36, sideW = 85;
    EXPECT_EQ(f.area(side::top).GetHeight(), topH);
    EXPECT_EQ(f.area(side::left).GetWidth(), sideW);
    EXPECT_RECT(areaRect(f, side::top), 0, 0, W, topH);
    EXPECT_RECT(areaRect(f, side::bottom), 0, H - bottomH, W, H);
    EXPECT_RECT(areaRect(f, side::left), 0, topH, sideW, H - bottomH);
    EXPECT_RECT(areaRect(f, side::right), W - sideW, topH, W, H - bottomH);
    EXPECT_RECT(rectIn(f.client(), f.window()), sideW, topH, W - sideW, H - bottomH);
}

TEST(DockLayout, ACornerGivenToTheLeftAreaLetsItRunToTheTop) {
    frameFixture f(W, H, false);
    fourSides windows(f);
    f.dock().SetCorner(corner::topLeft, side::left);
    f.frame().OnSize(0, 0);
    EXPECT_RECT(areaRect(f, side::left), 0, 0, 85, H - 36);
    EXPECT_RECT(areaRect(f, side::top), 85, 0, W, 36);
    f.dock().SetCorner(corner::bottomRight, side::right);
    f.frame().OnSize(0, 0);
    EXPECT_RECT(areaRect(f, side::right), W - 85, 36, W, H);
    EXPECT_RECT(areaRect(f, side::bottom), 0, H - 36, W - 85, H);
    EXPECT_EQ(f.dock().SetCorner(7, side::left), 1) << "another corner changes nothing";
    EXPECT_EQ(f.dock().GetDockArea(0), nullptr);
    EXPECT_EQ(f.dock().GetDockArea(5), nullptr);
}

TEST(DockDrop, AboveTheTopBandMakesANewFirstBandAndBelowTheLastANewLastBand) {
    frameFixture f(W, H, false);
    VDockWnd* first = f.dockWindow("first", SIZE{100, 30});
    f.dockAt(first, side::top, POINT{10, 0});
    ASSERT_EQ(first->GetDockBandPos(), 0);
    VDockWnd* above = f.dockWindow("above", SIZE{100, 30});
    f.dockAt(above, side::top, POINT{10, -40});
    EXPECT_EQ(above->GetDockBandPos(), 0);
    EXPECT_EQ(first->GetDockBandPos(), 1);
    VDockWnd* below = f.dockWindow("below", SIZE{100, 30});
    f.dockAt(below, side::top, POINT{10, 200});
    EXPECT_EQ(below->GetDockBandPos(), 2);
    EXPECT_EQ(f.area(side::top).Bands().size(), 3u);
    EXPECT_EQ(f.area(side::top).GetHeight(), 3 * 36);
    // Dropped onto a band, a window joins it.
    VDockWnd* beside = f.dockWindow("beside", SIZE{100, 30});
    RECT middle = rectIn(first->GetContainerHandle(), f.window());
    f.dockAt(beside, side::top, POINT{300, middle.top});
    EXPECT_EQ(beside->GetDockBandPos(), first->GetDockBandPos());
}

TEST(DockDrop, AFullRowWindowGetsABandOfItsOwnRightAfterTheOneItFellOn) {
    frameFixture f(W, H, false);
    VDockWnd* a = f.dockWindow("a", SIZE{100, 30});
    VDockWnd* b = f.dockWindow("b", SIZE{100, 30});
    f.dockAt(a, side::top, POINT{10, 0});
    f.dockAt(b, side::top, POINT{10, 200});
    VDockWnd* row = f.dockWindow("row", SIZE{100, 30});
    row->SetDockFullRow(1);
    RECT onA = rectIn(a->GetContainerHandle(), f.window());
    f.dockAt(row, side::top, POINT{300, onA.top});
    EXPECT_EQ(a->GetDockBandPos(), 0);
    EXPECT_EQ(row->GetDockBandPos(), 1);
    EXPECT_EQ(b->GetDockBandPos(), 2);
    // Stretched along the whole band.
    EXPECT_EQ(containerIn(row, f.area(side::top).GetHandle()).right - containerIn(row, f.area(side::top).GetHandle()).left, W);
}

TEST(DockDrop, ABandIndexBeyondTheLastBandMakesANewBandAtTheEnd) {
    frameFixture f(W, H, false);
    VDockWnd* a = f.dockWindow("a", SIZE{100, 30});
    f.dockAt(a, side::top, POINT{10, 0}, 0);
    VDockWnd* beyond = f.dockWindow("beyond", SIZE{100, 30});
    f.dockAt(beyond, side::top, POINT{10, 0}, 5);
    EXPECT_EQ(beyond->GetDockBandPos(), 1);
    // An index that names a band of the same kind joins it.
    VDockWnd* joins = f.dockWindow("joins", SIZE{100, 30});
    f.dockAt(joins, side::top, POINT{300, 0}, 0);
    EXPECT_EQ(joins->GetDockBandPos(), 0);
}

TEST(DockDrop, UndockingABandsOnlyWindowRemovesTheBand) {
    frameFixture f(W, H, false);
    VDockWnd* a = f.dockWindow("a", SIZE{100, 30});
    VDockWnd* b = f.dockWindow("b", SIZE{100, 40});
    f.dockAt(a, side::top, POINT{10, 0});
    f.dockAt(b, side::top, POINT{10, 200});
    ASSERT_EQ(f.area(side::top).GetHeight(), 36 + 46);
    f.area(side::top).UnDock(b);
    EXPECT_EQ(f.area(side::top).Bands().size(), 1u);
    EXPECT_EQ(f.area(side::top).GetHeight(), 36);
    EXPECT_EQ(b->GetDockAreaPos(), 0);
    EXPECT_EQ(b->GetDockBandPos(), -1);
    EXPECT_TRUE(::IsWindowVisible(b->GetHandle())) << "floating again";
    EXPECT_EQ(::GetParent(b->GetContainerHandle()), b->GetHandle());
    EXPECT_RECT(rectIn(f.client(), f.window()), 0, 36, W, H);
    EXPECT_EQ(f.area(side::top).UnDock(nullptr), 0);
}

TEST(DockWindows, AHiddenWindowStaysHiddenWhenUndockedAndItsFloatingSizeLeavesItsDockedContainerAlone) {
    frameFixture f(W, H, false);
    VDockWnd* window = f.dockWindow("window", SIZE{100, 30});
    f.dockAt(window, side::top, POINT{10, 0});
    RECT docked = rectIn(window->GetContainerHandle(), f.area(side::top).GetHandle());
    RECT floating = {100, 100, 180, 150};
    window->SetDockRect(&floating);  // the hidden floating window changes size
    RECT after = rectIn(window->GetContainerHandle(), f.area(side::top).GetHandle());
    EXPECT_TRUE(::EqualRect(&docked, &after)) << describe(after);
    window->Hide();
    f.area(side::top).UnDock(window);
    EXPECT_FALSE(::IsWindowVisible(window->GetHandle()));
    window->Show();
    EXPECT_TRUE(::IsWindowVisible(window->GetHandle()));
}

TEST(DockWindows, TheDockHoldsTheWindowsItMakesAndOneHeldLongerForgetsIt) {
    VDockWnd* kept = nullptr;
    {
        frameFixture f(W, H, false);
        kept = f.dockWindow("kept", SIZE{100, 30});
        EXPECT_EQ(countOf(kept), 1) << "the dock's reference";
        kept->addRef();
        f.dockAt(kept, side::top, POINT{10, 0});
        ASSERT_EQ(kept->GetDockAreaPos(), side::top);
    }
    // The frame and its dock are gone; the window still answers.
    EXPECT_EQ(countOf(kept), 1);
    EXPECT_EQ(kept->GetDockAreaPos(), 0);
    EXPECT_EQ(kept->GetDockBandPos(), -1);
    kept->Hide();
    kept->release();
}

// ---- inside a band

TEST(BandLayout, ALoneWindowTakesTheWholeBandWhateverItsShare) {
    frameFixture f(W, H, false);
    VDockWnd* a = f.dockWindow("a", SIZE{100, 30});
    f.dockAt(a, side::top, POINT{10, 0});
    a->SetDockPercentsize(0.5f);
    f.frame().OnSize(0, 0);
    RECT r = containerIn(a, f.area(side::top).GetHandle());
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, W);
}

TEST(BandLayout, SharesOverTheWholeBandKeepWindowsInsideIt) {
    frameFixture f(W, H, false);
    VDockWnd* windows[] = {f.dockWindow("a", SIZE{100, 30}), f.dockWindow("b", SIZE{100, 30}),
                           f.dockWindow("c", SIZE{100, 30})};
    int x = 10;
    for (VDockWnd* w : windows) {
        f.dockAt(w, side::top, POINT{x, 0}, 0);
        x += 150;
    }
    for (VDockWnd* w : windows)
        w->SetDockPercentsize(100.0f);  // a new window's share
    f.frame().OnSize(0, 0);
    for (VDockWnd* w : windows) {
        RECT r = w->Container()->PlacementRect();
        EXPECT_GE(r.left, 0) << describe(r);
        EXPECT_LE(r.right, W) << describe(r);
        EXPECT_LE(r.left, r.right) << describe(r);
    }
}

TEST(BandLayout, ThreeWindowsShareABandOf300Evenly) {
    frameFixture f(300, H, false);
    f.dock().SetDockResizePercentEven(1);
    VDockWnd* windows[] = {f.dockWindow("a", SIZE{100, 30}), f.dockWindow("b", SIZE{100, 30}),
                           f.dockWindow("c", SIZE{100, 30})};
    for (int i = 0; i < 3; ++i)
        f.dockAt(windows[i], side::top, POINT{10 + 100 * i, 0}, 0);
    VDockBand* band = windows[0]->Band();
    ASSERT_EQ(band->Windows().size(), 3u);
    RECT r = band->BandRect();
    band->ResizePercent(&r, nullptr, 0, 0);
    for (int i = 0; i < 3; ++i) {
        RECT placed = containerIn(windows[i], f.area(side::top).GetHandle());
        EXPECT_EQ(placed.left, 100 * i) << i;
        EXPECT_EQ(placed.right - placed.left, 96) << i;
        EXPECT_FLOAT_EQ(windows[i]->GetDockPercentSize(), 96.0f / 300.0f);
    }
}

TEST(BandLayout, AFixedWindowPastTheBandsEndMovesBackButNotOverItsNeighbour) {
    frameFixture f(300, H, false);
    VDockWnd* first = f.dockWindow("first", SIZE{120, 20}, false);
    VDockWnd* second = f.dockWindow("second", SIZE{100, 20}, false);
    f.dockAt(first, side::top, POINT{0, 0});
    f.dockAt(second, side::top, POINT{250, 0});
    ASSERT_EQ(second->Band(), first->Band());
    HWND area = f.area(side::top).GetHandle();
    EXPECT_EQ(containerIn(first, area).right, 120);
    RECT r = containerIn(second, area);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.right, 300);
    // With no room left, it starts where the other one ends.
    VDockWnd* third = f.dockWindow("third", SIZE{100, 20}, false);
    f.dockAt(third, side::top, POINT{280, 0});
    EXPECT_EQ(containerIn(third, area).left, containerIn(second, area).right);
}

TEST(BandLayout, AResizableRowOfOnePixelHighWindowsIsSevenHigh) {
    frameFixture f(W, H, false);
    VDockWnd* thin = f.dockWindow("thin", SIZE{100, 1});
    f.dockAt(thin, side::top, POINT{10, 0});
    EXPECT_EQ(thin->Band()->GetHeight(), 7);
    EXPECT_EQ(areaRect(f, side::top).bottom, 7);
}

TEST(BandLayout, AColumnIsNeverNarrowerThanFive) {
    frameFixture f(W, H, false);
    VDockWnd* column = f.dockWindow("column", SIZE{80, 100});
    f.dockAt(column, side::left, POINT{0, 100});
    VDockBand* band = column->Band();
    ASSERT_EQ(band->GetWidth(), 85);
    band->SetWidth(-500);
    EXPECT_EQ(band->GetWidth(), 5);
    EXPECT_EQ(areaRect(f, side::left).right, 5);
    band->SetWidth(40);
    EXPECT_EQ(band->GetWidth(), 45);
}

}  // namespace
}  // namespace vesk::ui::test

namespace vesk::ui::test {
namespace {

// A row of three fixed windows at the top, two windows in a column on the
// left, one window at the bottom and one at the right, and the status bar.
TEST(LeastSize, AFrameDraggedSmallerStopsWhereEveryAreaAndPaneZeroStillShow) {
    frameFixture f(W, H, true);
    std::vector<VDockWnd*> row, column;
    for (int i = 0; i < 3; ++i) {
        row.push_back(f.dockWindow("tool", SIZE{150, 24}, false));
        f.dockAt(row.back(), side::top, POINT{10 + 160 * i, 0}, 0);
    }
    for (int i = 0; i < 2; ++i) {
        column.push_back(f.dockWindow("column", SIZE{80, 100}));
        f.dockAt(column.back(), side::left, POINT{0, 100 + 150 * i}, 0);
        column.back()->SetDockPercentsize(0.5f);
    }
    f.dockAt(f.dockWindow("bottom", SIZE{100, 30}), side::bottom, POINT{10, H - 20});
    f.dockAt(f.dockWindow("right", SIZE{80, 100}), side::right, POINT{W - 20, 100});
    RECT before;
    ::GetClientRect(f.window(), &before);

    ::SetWindowPos(f.window(), nullptr, 0, 0, 60, 60, SWP_NOMOVE | SWP_NOZORDER);
    pump();
    RECT client;
    ::GetClientRect(f.window(), &client);
    EXPECT_LT(client.right, before.right) << "the frame did get narrower";
    EXPECT_LT(client.bottom, before.bottom) << "the frame did get lower";
    RECT top = areaRect(f, side::top), bottom = areaRect(f, side::bottom);
    RECT left = areaRect(f, side::left), right = areaRect(f, side::right);
    for (const RECT& area : {top, bottom, left, right}) {
        EXPECT_GE(area.right - area.left, 0) << describe(area);
        EXPECT_GE(area.bottom - area.top, 0) << describe(area);
        EXPECT_GE(area.top, 0) << describe(area);
    }
    EXPECT_LE(top.bottom, bottom.top) << describe(top) << " overlaps " << describe(bottom);
    EXPECT_LE(left.right, right.left) << describe(left) << " overlaps " << describe(right);
    RECT centre = rectIn(f.client(), f.window());
    EXPECT_GE(centre.right - centre.left, VFrameWnd::leastCentre.cx) << describe(centre);
    EXPECT_GE(centre.bottom - centre.top, VFrameWnd::leastCentre.cy) << describe(centre);
    for (VDockWnd* tool : row)
        EXPECT_LE(rectIn(tool->GetContainerHandle(), f.window()).right, client.right) << "the row is whole";
    for (VDockWnd* window : column) {
        RECT r = rectIn(window->GetContainerHandle(), f.window());
        EXPECT_GE(r.bottom - r.top, VDockBand::leastWindowLength) << describe(r);
    }
    HWND status = f.statusBar()->GetHandle();
    RECT pane = {};
    ASSERT_TRUE(::SendMessageA(status, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&pane)));
    EXPECT_GE(pane.right - pane.left, VStatusBar::leastPaneZero) << "pane 0 shows";
    RECT statusRect = rectIn(status, f.window());
    EXPECT_LE(bottom.bottom, statusRect.top);
}

}  // namespace
}  // namespace vesk::ui::test
