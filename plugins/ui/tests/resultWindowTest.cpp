// A search's result window: the manager makes it through the controller,
// the results show as rows of the shared list, filtered and sorted.
#include "core/capsule.h"
#include "plugins/ui/agentListView.h"
#include "plugins/ui/searchResultWnd.h"
#include "plugins/ui/tests/uiTestSupport.h"
#include "vesk/containers.h"

namespace vesk::ui::test {
namespace {

constexpr const char* fileName = "File Name";

class resultWindow : public listWindowTest {
protected:
    void SetUp() override {
        listWindowTest::SetUp();
        declareField(fileName, "Search Results");
        search = manager->CreateSearch("music");
        ASSERT_NE(search, nullptr);
        search->addRef();
        window = dynamic_cast<VSearchResultWnd*>(search->GetWindow());
        ASSERT_NE(window, nullptr) << "the manager asks the controller for the search's window";
        ASSERT_TRUE(manager->StartSearch(search));
    }
    void TearDown() override {
        if (search) {
            manager->StopSearch(search);
            search->release();
        }
        frame.reset();
        listWindowTest::TearDown();
    }
    void addResult(const char* name) {
        ss::IAgent* agent = newAgent();
        setText(agent, fileName, name);
        search->GetResults()->pushBack(value(static_cast<Igeneric*>(agent)));
        agent->release();
    }
    // The search's result at an index, referenced.
    ss::IAgent* AgentOf(unsigned index) {
        auto* agent = interfaceCast<ss::IAgent>(search->GetResults()->at(index).asGeneric());
        if (agent)
            agent->addRef();
        return agent;
    }
    std::vector<std::string> shownNames() {
        HWND list = window->GetListWnd();
        std::vector<std::string> names;
        int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        for (int row = 0; row < count; ++row)
            names.push_back(CellText(list, row, 0));
        return names;
    }

    ss::ISearchInst* search = nullptr;
    VSearchResultWnd* window = nullptr;
};

TEST_F(resultWindow, ResultsShowAsRowsOnceTheListIsRefreshed) {
    EXPECT_TRUE(window->IsActive());
    EXPECT_NE(window->GetChildWnd(), nullptr);
    addResult("song.mp3");
    addResult("tune.ogg");
    EXPECT_TRUE(shownNames().empty());
    EXPECT_EQ(window->RefreshList(0), 1);
    EXPECT_EQ(shownNames(), (std::vector<std::string>{"song.mp3", "tune.ogg"}));
    keepShot(frame->window(), "results");
}

TEST_F(resultWindow, AFilterHidesTheResultsWithoutItsTextUntilItIsEmptied) {
    for (const char* name : {"Blue.mp3", "red.mp3", "blues.ogg"})
        addResult(name);
    window->SetFilters({{fileName, "BLUE"}});
    window->RefreshList(0);
    EXPECT_EQ(shownNames(), (std::vector<std::string>{"Blue.mp3", "blues.ogg"}));
    window->SetFilters({});
    window->RefreshList(0);
    std::vector<std::string> all = shownNames();
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all, (std::vector<std::string>{"Blue.mp3", "blues.ogg", "red.mp3"}));
}

TEST_F(resultWindow, AColumnSortsAscendingFirstThenDescending) {
    for (const char* name : {"b.mp3", "c.mp3", "a.mp3"})
        addResult(name);
    window->RefreshList(0);
    window->SortByColumn(0);
    EXPECT_EQ(shownNames(), (std::vector<std::string>{"a.mp3", "b.mp3", "c.mp3"}));
    window->SortByColumn(0);
    EXPECT_EQ(shownNames(), (std::vector<std::string>{"c.mp3", "b.mp3", "a.mp3"}));
}

TEST_F(resultWindow, TheActiveSearchsResultsAreTheOnesShown) {
    addResult("first.mp3");
    window->RefreshList(0);
    ss::ISearchInst* other = manager->CreateSearch("films");
    ASSERT_NE(other, nullptr);
    other->addRef();
    ASSERT_TRUE(manager->StartSearch(other));
    auto* otherWindow = dynamic_cast<VSearchResultWnd*>(other->GetWindow());
    ASSERT_NE(otherWindow, nullptr);
    otherWindow->Activate();
    EXPECT_FALSE(window->IsActive());
    EXPECT_TRUE(shownNames().empty());
    window->Activate();
    EXPECT_EQ(shownNames(), std::vector<std::string>{"first.mp3"});
    manager->StopSearch(other);
    other->release();
}

TEST_F(resultWindow, TheViewMenuSwitchesTheListsView) {
    HWND list = window->GetListWnd();
    HWND child = ::GetParent(list);
    const std::pair<WPARAM, LONG_PTR> views[] = {
        {40086, LVS_ICON}, {40087, LVS_SMALLICON}, {40088, LVS_LIST}, {40089, LVS_REPORT}};
    for (const auto& [command, view] : views) {
        ::SendMessageA(child, WM_COMMAND, command, 0);
        EXPECT_EQ(::GetWindowLongPtrA(list, GWL_STYLE) & LVS_TYPEMASK, view) << command;
    }
}

TEST_F(resultWindow, TypingFindsTheNextResultWhoseNameBeginsWithIt) {
    for (const char* name : {"apple.mp3", "Banana.mp3", "berry.ogg"})
        addResult(name);
    window->RefreshList(0);
    HWND list = window->GetListWnd();
    LVFINDINFOA find = {};
    find.flags = LVFI_STRING | LVFI_PARTIAL;
    find.psz = "b";
    EXPECT_EQ(::SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)), 1);
    find.psz = "BE";
    EXPECT_EQ(::SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)), 2);
}

TEST_F(resultWindow, ARowsTipShowsWhatItHasOfSizeStatusProgressAndTimeLeft) {
    ss::IAgent* bare = newAgent();
    setText(bare, fileName, "song.mp3");
    EXPECT_EQ(VSearchResultWnd::RowTip(bare), "song.mp3");
    ss::IAgent* full = newAgent();
    setText(full, fileName, "song.mp3");
    full->SetAttribute("Size", value(2048L));
    setText(full, "Status", "Receiving");
    full->SetAttribute("Progress", value(40L));
    setText(full, "Time Left", "2 min");
    EXPECT_EQ(VSearchResultWnd::RowTip(full), "song.mp3 (2048)\r\nReceiving\r\n40%, 2 min ");
    bare->release();
    full->release();
}

// The open popup menus, read from inside the menu's own loop by a timer of
// the test's thread; the first time a menu is open the keys are posted.
struct openMenuScript {
    std::vector<WPARAM> keys;
    HMENU root = nullptr;
    std::string lastCaption;
    HMENU views = nullptr;
    std::vector<UINT> viewItems;
    int ticks = 0;
};

openMenuScript* menuScript = nullptr;

std::string MenuItemText(HMENU menu, int position) {
    char text[64] = "";
    ::GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

void CALLBACK ReadOpenMenu(HWND, UINT, UINT_PTR, DWORD) {
    openMenuScript& s = *menuScript;
    if (++s.ticks > 200) {  // ten seconds: give up, close the menu
        ::EndMenu();
        return;
    }
    HWND popup = ::FindWindowA("#32768", nullptr);
    if (s.root || !popup || !::IsWindowVisible(popup))
        return;
    s.root = reinterpret_cast<HMENU>(::SendMessageA(popup, MN_GETHMENU, 0, 0));
    int count = ::GetMenuItemCount(s.root);
    if (count > 0) {
        s.lastCaption = MenuItemText(s.root, count - 1);
        s.views = ::GetSubMenu(s.root, count - 1);
        for (int i = 0; s.views && i < ::GetMenuItemCount(s.views); ++i)
            s.viewItems.push_back(::GetMenuItemID(s.views, i));
    }
    for (WPARAM key : s.keys)
        ::PostMessageA(popup, WM_KEYDOWN, key, 0);
}

TEST_F(resultWindow, TheRowMenusViewSubmenuSwitchesTheListsView) {
    addResult("song.mp3");
    window->RefreshList(0);
    HWND list = window->GetListWnd();
    HWND child = ::GetParent(list);
    LVITEMA selected = {};
    selected.stateMask = selected.state = LVIS_SELECTED;
    ::SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&selected));
    // Up from no choice is the last item, Right opens it on its first.
    const struct {
        int downs;
        LONG_PTR view;
    } choices[] = {{0, LVS_ICON}, {1, LVS_SMALLICON}, {2, LVS_LIST}, {3, LVS_REPORT}};
    for (const auto& choice : choices) {
        LONG_PTR other = choice.view == LVS_REPORT ? LVS_LIST : LVS_REPORT;
        LONG_PTR style = ::GetWindowLongPtrA(list, GWL_STYLE);
        ::SetWindowLongPtrA(list, GWL_STYLE, (style & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | other);
        openMenuScript s;
        s.keys = {VK_UP, VK_RIGHT};
        s.keys.insert(s.keys.end(), static_cast<size_t>(choice.downs), VK_DOWN);
        s.keys.push_back(VK_RETURN);
        menuScript = &s;
        UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &ReadOpenMenu);
        ::SendMessageA(child, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
        ::KillTimer(nullptr, timer);
        menuScript = nullptr;
        ASSERT_NE(s.root, nullptr) << "no menu opened";
        EXPECT_EQ(s.lastCaption, "View");
        EXPECT_EQ(s.viewItems, (std::vector<UINT>{40086, 40087, 40088, 40089}));
        EXPECT_EQ(::GetWindowLongPtrA(list, GWL_STYLE) & LVS_TYPEMASK, choice.view) << choice.downs;
        EXPECT_FALSE(::IsMenu(s.root)) << "the rows' menu is destroyed after use";
        EXPECT_FALSE(::IsMenu(s.views)) << "so is the views' menu";
    }
}

std::vector<std::string> firedActions;
int RecordDownload(ss::IAgent*) {
    firedActions.push_back("Download");
    return 1;
}
int RecordStart(ss::IAgent*) {
    firedActions.push_back("Start");
    return 1;
}

TEST_F(resultWindow, DraggingOrDoubleClickingASelectedResultFiresItsDownload) {
    addResult("song.mp3");
    window->RefreshList(0);
    ss::IAgent* result = AgentOf(0);
    ASSERT_NE(result, nullptr);
    result->AddAction("Download", &RecordDownload);
    result->AddAction("Start", &RecordStart);
    HWND list = window->GetListWnd();
    LVITEMA selected = {};
    selected.stateMask = selected.state = LVIS_SELECTED;
    ::SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&selected));

    firedActions.clear();
    NMLISTVIEW drag = {};
    drag.hdr = {list, static_cast<UINT_PTR>(::GetDlgCtrlID(list)), static_cast<UINT>(LVN_BEGINDRAG)};
    ::SendMessageA(::GetParent(list), WM_NOTIFY, drag.hdr.idFrom, reinterpret_cast<LPARAM>(&drag));
    EXPECT_EQ(firedActions, std::vector<std::string>{"Download"});

    firedActions.clear();
    NMITEMACTIVATE click = {};
    click.hdr = {list, drag.hdr.idFrom, static_cast<UINT>(NM_DBLCLK)};
    ::SendMessageA(::GetParent(list), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(firedActions, (std::vector<std::string>{"Start", "Download"}));
    result->release();
}

}  // namespace
}  // namespace vesk::ui::test
