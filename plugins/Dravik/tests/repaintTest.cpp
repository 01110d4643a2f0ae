// Repainting what a layout change moves: after each change the frame, left
// to paint itself, shows what a full forced redraw of it shows. Nothing here
// forces a redraw before the comparison.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "plugins/Dravik/dockSides.h"
#include "plugins/Dravik/dockToolBarWnd.h"
#include "plugins/Dravik/tests/dravikTestIds.h"
#include "plugins/Dravik/tests/dravikTestSupport.h"
#include "testing/screen/redrawCheck.h"
#include "testing/screen/screenCapture.h"
#include "testing/screen/userInput.h"

namespace vesk::ui::test {
namespace {

// Lets this thread's windows paint for about that long.
void pumpFor(DWORD ms) {
    DWORD start = ::GetTickCount();
    do {
        pump();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (::GetTickCount() - start < ms);
    pump();
}

// Content that paints itself: a list box with a few lines, as large as the
// container's client area.
void fillWithList(VDockWnd* window, const char* line) {
    window->Container()->SetAutoSizeChild(1);
    HWND list = ::CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_NOINTEGRALHEIGHT, 0, 0, 10, 10,
                                  window->GetContainerHandle(), nullptr, ::GetModuleHandleA(nullptr), nullptr);
    for (int i = 0; i < 6; ++i)
        ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>((line + std::to_string(i)).c_str()));
}

VDockToolBarWnd* toolBar(frameFixture& f, const char* caption) {
    RECT floating = {700, 300, 900, 340};
    auto* bar = dynamic_cast<VDockToolBarWnd*>(f.dock().CreateDockToolBarWindow(caption, &floating));
    if (!bar || !bar->LoadToolBar(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TEST_TOOLBAR),
                                  MAKEINTRESOURCEA(IDR_TEST_TOOLBAR)))
        throw std::runtime_error("no toolbar");
    return bar;
}

// Two toolbars in one row at the top, a column on the left, two windows
// side by side at the bottom and the status bar.
struct dockedFrame {
    frameFixture f{640, 440, true};
    VDockToolBarWnd *tools, *more;
    VDockWnd *column, *hosts, *transfers;

    dockedFrame() {
        tools = toolBar(f, "Tools");
        more = toolBar(f, "More");
        column = f.dockWindow("Column", SIZE{140, 200});
        hosts = f.dockWindow("Hosts", SIZE{300, 120});
        transfers = f.dockWindow("Transfers", SIZE{300, 120});
        fillWithList(column, "column ");
        fillWithList(hosts, "host ");
        fillWithList(transfers, "transfer ");
        f.dockAt(tools, side::top, POINT{0, 0}, 0);
        f.dockAt(more, side::top, POINT{200, 0}, 0);
        f.dockAt(column, side::left, POINT{0, 100});
        f.dockAt(hosts, side::bottom, POINT{0, 430}, 0);
        f.dockAt(transfers, side::bottom, POINT{330, 430}, 0);
        hosts->SetDockPercentsize(0.5f);
        transfers->SetDockPercentsize(0.5f);
        f.frame().OnSize(0, 0);
        pumpFor(200);
    }
};

// Drags the gap between the two bottom windows by 60 pixels.
void dragBottomGap(dockedFrame& d) {
    RECT first, band;
    ::GetWindowRect(d.hosts->GetContainerHandle(), &first);
    ::GetWindowRect(d.transfers->GetContainerHandle(), &band);
    HWND area = d.f.area(side::bottom).GetHandle();
    RECT areaRect;
    ::GetWindowRect(area, &areaRect);
    POINT gap = {first.right + 2 - areaRect.left, (band.top + band.bottom) / 2 - areaRect.top};
    ASSERT_TRUE(testing::PostDrag(area, gap, POINT{gap.x + 60, gap.y}));
}

// Drags the left column by its gripper over to the empty right side.
void dragColumnToTheRight(dockedFrame& d) {
    RECT frameClient;
    ::GetClientRect(d.f.window(), &frameClient);
    ::MapWindowPoints(d.f.window(), nullptr, reinterpret_cast<POINT*>(&frameClient), 2);
    HWND container = d.column->GetContainerHandle();
    RECT c;
    ::GetWindowRect(container, &c);
    POINT to = {frameClient.right - 40 - c.left, 60};
    ASSERT_TRUE(testing::PostDrag(container, POINT{30, 5}, to));
}

TEST(Repaint, EveryLayoutChangeShowsWithoutAForcedRedraw) {
    dockedFrame d;
    VFrameWnd& frame = d.f.frame();
    HWND window = d.f.window();
    const struct {
        const char* name;
        std::function<void()> change;
    } changes[] = {
        {"hide-a-toolbar", [&] { d.more->Hide(); }},
        {"show-the-toolbar", [&] { d.more->Show(); }},
        {"hide-a-window", [&] { d.hosts->Hide(); }},
        {"show-the-window", [&] { d.hosts->Show(); }},
        {"hide-the-status-bar", [&] { frame.SetStatusBarVisible(0); }},
        {"show-the-status-bar", [&] { frame.SetStatusBarVisible(1); }},
        {"lock-docking", [&] { d.f.dock().SetDockable(0); }},
        {"unlock-docking", [&] { d.f.dock().SetDockable(1); }},
        {"drag-a-gap", [&] { dragBottomGap(d); }},
        {"drag-a-window", [&] { dragColumnToTheRight(d); }},
        {"small", [&] { ::SetWindowPos(window, nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER); }},
        {"large", [&] { ::SetWindowPos(window, nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER); }},
        {"maximize", [&] { ::ShowWindow(window, SW_MAXIMIZE); }},
        {"restore", [&] { ::ShowWindow(window, SW_RESTORE); }},
    };
    for (const auto& c : changes) {
        c.change();
        testing::redrawCheck check = testing::CheckAgainstRedraw(window, pumpFor);
        SaveIfAsked(std::string("repaint-") + c.name, check.settled);
        EXPECT_TRUE(check.same) << c.name << ": " << check.differing << " pixels differ in "
                                << describe(check.box);
        if (!check.same)
            SaveIfAsked(std::string("repaint-") + c.name + "-redrawn", check.redrawn);
    }
    EXPECT_EQ(d.column->GetDockAreaPos(), side::right) << "the column was dragged across";
}

TEST(Repaint, AHiddenToolbarLeavesNoButtonsBehind) {
    dockedFrame d;
    RECT former;
    ::GetWindowRect(d.more->GetContainerHandle(), &former);
    ::InflateRect(&former, 0, -2);  // the area's edge lines run along the top and bottom rows
    d.more->Hide();
    testing::rgbImage shown = testing::CaptureSettled(d.f.window(), pumpFor);
    RECT frame;
    ::GetWindowRect(d.f.window(), &frame);
    COLORREF background = ::GetSysColor(COLOR_BTNFACE);
    int other = 0;
    for (LONG y = former.top; y < former.bottom; ++y)
        for (LONG x = former.left; x < former.right; ++x) {
            std::size_t at = (static_cast<std::size_t>(y - frame.top) * static_cast<std::size_t>(shown.width) +
                              static_cast<std::size_t>(x - frame.left)) * 3;
            if (RGB(shown.rgb[at], shown.rgb[at + 1], shown.rgb[at + 2]) != background)
                ++other;
        }
    EXPECT_EQ(other, 0) << "pixels other than the background where the toolbar was, " << describe(former);
}

// The areas paint with device contexts of their own, which do not always
// leave the containers out: painting an area alone, in any order with its
// containers, must not touch them.
TEST(Repaint, AnAreaPaintedAloneLeavesItsContainersAsTheyAre) {
    dockedFrame d;
    dragColumnToTheRight(d);
    pumpFor(300);
    for (int s : {side::top, side::right, side::bottom}) {
        HWND area = d.f.area(s).GetHandle();
        std::vector<HWND> containers;
        for (VDockWnd* window : {static_cast<VDockWnd*>(d.tools), static_cast<VDockWnd*>(d.more), d.column,
                                 d.hosts, d.transfers})
            if (::GetParent(window->GetContainerHandle()) == area)
                containers.push_back(window->GetContainerHandle());
        ASSERT_FALSE(containers.empty()) << s;
        std::vector<testing::rgbImage> before;
        for (HWND container : containers)
            before.push_back(testing::CaptureSettled(container, pumpFor));
        ::RedrawWindow(area, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW);
        pumpFor(100);
        for (size_t i = 0; i < containers.size(); ++i) {
            RECT box;
            EXPECT_EQ(testing::DifferingPixels(before[i], testing::CaptureWindow(containers[i]), &box), 0u)
                << "side " << s << ", container " << i << ": " << describe(box);
        }
    }
}

}  // namespace
}  // namespace vesk::ui::test
