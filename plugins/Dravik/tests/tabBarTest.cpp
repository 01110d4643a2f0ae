// The tab bar dock window and its folder tabs: adding, finding and choosing
// tabs, the strip's place, keys, deletion notices, the tab limit, layout and
// drawing order.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "plugins/Dravik/dockSides.h"
#include "plugins/Dravik/dockTabBarWnd.h"
#include "plugins/Dravik/paint.h"
#include "plugins/Dravik/tests/dravikTestSupport.h"
#include "plugins/Dravik/tests/heldObject.h"
#include "plugins/Dravik/wndProc.h"

namespace vesk::ui::test {
namespace {

// A tab bar made through the dock, held for the test (the dock keeps none).
class tabBarFixture {
public:
    explicit tabBarFixture(frameFixture& f) {
        RECT floating = {700, 200, 1000, 400};
        bar_ = dynamic_cast<VDockTabBarWnd*>(f.dock().CreateDockTabBarWindow("Tabs", &floating));
        if (!bar_)
            throw std::runtime_error("no tab bar");
        static_cast<IDockTabBarWnd*>(bar_)->addRef();
        ::ShowWindow(bar_->GetHandle(), SW_SHOWNOACTIVATE);
    }
    ~tabBarFixture() {
        for (HWND page : pages_)
            ::DestroyWindow(page);
        ::DestroyWindow(bar_->GetHandle());
        pump();
        static_cast<IDockTabBarWnd*>(bar_)->release();
    }
    VDockTabBarWnd* operator->() const { return bar_; }
    VDockTabBarWnd* get() const { return bar_; }
    // A page window for a tab, in the container.
    HWND page(const char* text) {
        HWND made = ::CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | SS_CENTER, 0, 0, 50, 50,
                                      bar_->GetContainerHandle(), nullptr, nullptr, nullptr);
        pages_.push_back(made);
        return made;
    }
    int selected() const { return bar_->Tabs().GetCurSel(); }
    int tabCount() const { return bar_->Tabs().GetItemCount(); }
    HWND strip() const { return bar_->GetTabBarHandle(); }

private:
    VDockTabBarWnd* bar_;
    std::vector<HWND> pages_;
};

struct notices {
    std::vector<int> codes;
    int refuseChanging = 0;
};

LRESULT watchStrip(void* user, HWND, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY)
        return -1;
    auto* n = static_cast<notices*>(user);
    int code = static_cast<int>(reinterpret_cast<NMHDR*>(lParam)->code);
    n->codes.push_back(code);
    if (code == static_cast<int>(TCN_SELCHANGING) && n->refuseChanging)
        return 1;
    return -1;
}

class watched {
public:
    watched(VDockTabBarWnd* bar, notices& n)
        : container_(bar->Container()),
          hook_(new capsule<VWndProc>(reinterpret_cast<pointerInt>(&watchStrip), reinterpret_cast<pointerInt>(&n))) {
        hook_->addRef();
        container_->AddMessageHook(hook_);
    }
    ~watched() {
        container_->RemoveMessageHook(hook_);
        hook_->release();
    }

private:
    VDockContainer* container_;
    IWndProc* hook_;
};

int countOf(const std::vector<int>& codes, int code) {
    return static_cast<int>(std::count(codes.begin(), codes.end(), code));
}

TEST(TabBar, MakesAStripOfTabsInItsContainer) {
    frameFixture f;
    tabBarFixture bar(f);
    EXPECT_TRUE(f.dock().DockWindows().empty()) << "tab bars are not kept by the dock";
    HWND strip = bar.strip();
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(::GetParent(strip), bar->GetContainerHandle());
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(strip, GWL_STYLE)), 0x54016102u) << "tab style 3";
    EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageA(strip, WM_GETFONT, 0, 0)), ::GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_EQ(bar->GetTabBarWnd()->GetHandle(), bar->GetContainerHandle());
    EXPECT_FALSE(bar->SetImageList(nullptr)) << "folder tabs draw no images";

    struct {
        int placement;
        DWORD lowByte;
    } styles[] = {{2, 0x82}, {3, 0x02}, {4, 0x80}, {1, 0x00}};
    for (const auto& s : styles) {
        bar->SetTabStyle(s.placement);
        EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(strip, GWL_STYLE)) & 0xFF, s.lowByte) << s.placement;
    }

    held<VDockTabBarWnd> orphan;
    EXPECT_EQ(orphan->Create("orphan", nullptr, nullptr), nullptr);
}

TEST(TabBar, TheFirstTabIsSelectedAndShownAndLaterOnesWait) {
    frameFixture f;
    tabBarFixture bar(f);
    HWND one = bar.page("one"), two = bar.page("two"), again = bar.page("again");
    EXPECT_EQ(bar->AddTab("One", one, -1), 0);
    EXPECT_EQ(bar->InsertTab("Two", two), 1);
    EXPECT_EQ(bar.selected(), 0);
    EXPECT_EQ(bar->GetSelectedWindow(), one);
    EXPECT_TRUE(::IsWindowVisible(one));
    EXPECT_FALSE(::IsWindowVisible(two));
    EXPECT_EQ(bar->GetTabWindow(1), two);

    EXPECT_EQ(bar->AddTab("One", again, -1), 0) << "an existing name gives its tab";
    EXPECT_EQ(bar.tabCount(), 2);
    EXPECT_FALSE(::IsWindowVisible(again)) << "the window given is hidden";
    EXPECT_EQ(bar->GetTabWindow(0), one);
    EXPECT_EQ(bar->FindTab("Two"), 1);

    bar->SelectTab(1);
    EXPECT_EQ(bar.selected(), 1);
    EXPECT_EQ(bar->GetSelectedWindow(), two);
    EXPECT_TRUE(::IsWindowVisible(two));
    EXPECT_FALSE(::IsWindowVisible(one));
}

TEST(TabBar, AParentAnsweringOneToSelChangingKeepsTheTab) {
    frameFixture f;
    tabBarFixture bar(f);
    HWND one = bar.page("one"), two = bar.page("two");
    bar->AddTab("One", one, -1);
    bar->AddTab("Two", two, -1);
    notices heard;
    watched hook(bar.get(), heard);
    heard.refuseChanging = 1;
    bar->SelectTab(1);
    EXPECT_EQ(bar.selected(), 0);
    EXPECT_EQ(bar->GetSelectedWindow(), one);
    RECT second = bar->Tabs().GetItemRect(1);
    ::SendMessageA(bar.strip(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(second.right - 12, 4));
    EXPECT_EQ(bar.selected(), 0) << "nor does a click change it";
    EXPECT_EQ(countOf(heard.codes, NM_CLICK), 1);
    EXPECT_EQ(countOf(heard.codes, TCN_SELCHANGE), 0);

    heard.refuseChanging = 0;
    ::SendMessageA(bar.strip(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(second.right - 12, 4));
    EXPECT_EQ(bar.selected(), 1);
    EXPECT_EQ(countOf(heard.codes, TCN_SELCHANGE), 1);
    EXPECT_TRUE(::IsWindowVisible(two));
    ::SendMessageA(bar.strip(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(2, 4));
    EXPECT_EQ(countOf(heard.codes, NM_RCLICK), 1);
    EXPECT_EQ(bar.selected(), 0) << "a right press chooses too";
}

TEST(TabBar, TheStripStays16PixelsHighAtTheBottomWhenResized) {
    frameFixture f;
    tabBarFixture bar(f);
    HWND one = bar.page("one");
    bar->AddTab("One", one, -1);
    for (SIZE size : {SIZE{320, 240}, SIZE{200, 120}}) {
        ::SetWindowPos(bar->GetHandle(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        pump();
        HWND container = bar->GetContainerHandle();
        RECT client;
        ::GetClientRect(container, &client);
        RECT strip = rectIn(bar.strip(), container);
        RECT expectedStrip = {0, client.bottom - 16, client.right, client.bottom};
        EXPECT_TRUE(::EqualRect(&strip, &expectedStrip)) << describe(strip) << " in " << describe(client);
        RECT page = rectIn(one, container);
        RECT expectedPage = {0, 0, client.right, client.bottom - 16};
        EXPECT_TRUE(::EqualRect(&page, &expectedPage)) << describe(page);
    }
}

TEST(TabBar, ArrowKeysMoveTheSelectionWithinTheTabs) {
    frameFixture f;
    tabBarFixture bar(f);
    for (const char* name : {"One", "Two", "Three"})
        bar->AddTab(name, bar.page(name), -1);
    struct step {
        WPARAM key;
        int selected;
    } steps[] = {{VK_LEFT, 0}, {VK_RIGHT, 1}, {VK_RIGHT, 2}, {VK_RIGHT, 2}, {VK_LEFT, 1}, {VK_UP, 1}};
    for (const step& s : steps) {
        ::SendMessageA(bar.strip(), WM_KEYDOWN, s.key, 0);
        EXPECT_EQ(bar.selected(), s.selected) << "key " << s.key;
    }
    EXPECT_EQ(bar->GetSelectedWindow(), bar->GetTabWindow(1));
}

TEST(TabBar, DestroyingTheStripDeletesEveryTabWithANotice) {
    frameFixture f;
    tabBarFixture bar(f);
    for (const char* name : {"One", "Two", "Three"})
        bar->AddTab(name, bar.page(name), -1);
    notices heard;
    watched hook(bar.get(), heard);
    ::DestroyWindow(bar.strip());
    EXPECT_EQ(countOf(heard.codes, -562), 3);
    EXPECT_EQ(bar.tabCount(), 0);
}

TEST(TabBar, TwentyTabsAtMostAndNoSlotOutsideThemIsRead) {
    frameFixture f;
    tabBarFixture bar(f);
    notices heard;
    watched hook(bar.get(), heard);
    for (int i = 0; i < VDockTabBarWnd::maximumTabs; ++i) {
        std::string name = "Tab " + std::to_string(i);
        EXPECT_EQ(bar->AddTab(name.c_str(), bar.page(name.c_str()), -1), i);
    }
    EXPECT_EQ(countOf(heard.codes, -561), 20);
    HWND extra = bar.page("extra");
    EXPECT_EQ(bar->AddTab("Tab 20", extra, -1), -1);
    EXPECT_EQ(bar.tabCount(), 20);
    EXPECT_EQ(bar->FindTab("Tab 20"), -1) << "no name without a tab";
    EXPECT_EQ(bar->FindTab("Tab 19"), 19);
    for (int index : {-1, 20, 25})
        EXPECT_EQ(bar->GetTabWindow(index), nullptr) << index;
    bar->SelectTab(20);
    bar->SelectTab(-1);
    EXPECT_EQ(bar.selected(), 0);
}

TEST(TabBar, AFindBeforeAnAddDoesNotKeepTheTabAway) {
    frameFixture f;
    tabBarFixture bar(f);
    EXPECT_EQ(bar->FindTab("Debug"), -1);
    EXPECT_EQ(bar->AddTab("Debug", bar.page("debug"), -1), 0);
    EXPECT_EQ(bar.tabCount(), 1);
    EXPECT_EQ(bar->FindTab("Debug"), 0);
}

int textWidth(HWND strip, const char* text) {
    HDC dc = ::GetDC(strip);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(strip, WM_GETFONT, 0, 0)));
    SIZE size = {0, 0};
    ::GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(strip, dc);
    return size.cx;
}

TEST(TabBar, TabsOverlapByEightPixelsAndTheSelectedOneLiesOnTop) {
    frameFixture f;
    tabBarFixture bar(f);
    const char* names[] = {"Connections", "Host cache", "Log"};
    for (const char* name : names)
        bar->AddTab(name, bar.page(name), -1);
    int left = 0;
    for (int i = 0; i < 3; ++i) {
        RECT r = bar->Tabs().GetItemRect(i);
        EXPECT_EQ(r.left, left) << i;
        EXPECT_EQ(r.right - r.left, 22 + textWidth(bar.strip(), names[i])) << i;
        left = r.right - 8;
    }
    // Near the top of the first two tabs' overlap: the tab drawn last wins.
    RECT first = bar->Tabs().GetItemRect(0);
    POINT overlap = {first.right - 5, 3};
    ::ClientToScreen(bar.strip(), &overlap);
    for (int selected : {0, 1}) {
        bar->SelectTab(selected);
        ::RedrawWindow(bar.strip(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        pump();
        COLORREF wanted = ::GetSysColor(COLOR_WINDOW);  // the selected tab's background
        EXPECT_EQ(screenPixel(overlap), wanted) << "tab " << selected << " selected";
    }
    RECT shown;
    ::GetWindowRect(bar->GetHandle(), &shown);
    screenShot(shown).saveIfAsked("tabbar");
}

// The container hands the strip's custom-draw questions back to it: the
// strip asks for every item and draws each one itself.
TEST(TabBar, CustomDrawQuestionsAreAnsweredByTheStripThroughItsContainer) {
    frameFixture f;
    tabBarFixture bar(f);
    bar->AddTab("One", bar.page("one"), -1);
    HWND strip = bar.strip();
    RECT item = bar->Tabs().GetItemRect(0);
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, item.right + 1, item.bottom + 1);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    RECT all = {0, 0, item.right + 1, item.bottom + 1};
    FillSolid(memory, all, RGB(1, 2, 3));
    auto ask = [&](DWORD stage, DWORD_PTR index) {
        NMCUSTOMDRAW draw = {};
        draw.hdr = NMHDR{strip, static_cast<UINT_PTR>(::GetDlgCtrlID(strip)), static_cast<UINT>(NM_CUSTOMDRAW)};
        draw.dwDrawStage = stage;
        draw.hdc = memory;
        draw.dwItemSpec = index;
        return ::SendMessageA(bar->GetContainerHandle(), WM_NOTIFY, draw.hdr.idFrom, reinterpret_cast<LPARAM>(&draw));
    };
    EXPECT_EQ(ask(CDDS_PREPAINT, 0), CDRF_NOTIFYITEMDRAW);
    EXPECT_EQ(ask(CDDS_ITEMPREPAINT, 0), CDRF_SKIPDEFAULT);
    EXPECT_EQ(::GetPixel(memory, item.left + 10, item.top + 8), ::GetSysColor(COLOR_WINDOW))
        << "the selected item drawn into the given device context";
    EXPECT_EQ(ask(CDDS_ITEMPREPAINT, 5), CDRF_DODEFAULT) << "no such item";
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
}

TEST(TabBar, ASettingChangeReplacesTheTabFont) {
    frameFixture f;
    tabBarFixture bar(f);
    HFONT before = bar->Tabs().OwnFont();
    ASSERT_EQ(::GetObjectType(before), static_cast<DWORD>(OBJ_FONT));
    ::SendMessageA(bar.strip(), WM_SETTINGCHANGE, 0, 0);
    HFONT after = bar->Tabs().OwnFont();
    EXPECT_NE(after, before);
    EXPECT_EQ(::GetObjectType(after), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(::GetObjectType(before), 0u) << "the old font is deleted";
}

TEST(TabBar, PaintingValidatesTheTabBarWindow) {
    frameFixture f;
    tabBarFixture bar(f);
    bar->AddTab("One", bar.page("one"), -1);
    pump();
    ::InvalidateRect(bar->GetHandle(), nullptr, TRUE);
    EXPECT_TRUE(pumpUntil([&] { return !::GetUpdateRect(bar->GetHandle(), nullptr, FALSE); }));
}

}  // namespace
}  // namespace vesk::ui::test
