// The main window's and the toolbars' commands on the current result
// window: actions fired on its selected rows, its column filter cleared and
// its filter bar switched, with a search's window holding rows.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "core/string.h"
#include "plugins/ui/cellText.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/searchResultWnd.h"
#include "plugins/ui/tests/mainWindowTestSupport.h"
#include "vesk/containers.h"

namespace vesk::ui::test {
namespace {

constexpr const char* fileName = "File Name";

// "<action text id>:<row name>" for every action run, in order.
std::vector<std::string> fired;

template <unsigned textId>
int Record(ss::IAgent* agent) {
    fired.push_back(std::to_string(textId) + ":" + AttributeText(agent, fileName));
    return 1;
}

class resultCommands : public mainWindow {
protected:
    void SetUp() override {
        mainWindow::SetUp();
        manager = control().Links().manager;
        before = manager->GetCurrentResultWindow();
        search = manager->CreateSearch("songs");
        ASSERT_NE(search, nullptr);
        search->addRef();
        window = dynamic_cast<VSearchResultWnd*>(search->GetWindow());
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(manager->StartSearch(search));
        manager->SetCurrentResultWindow(window);
        window->Activate();
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
            addResult(name);
        window->RefreshList(0);
        ASSERT_EQ(shownNames(), (std::vector<std::string>{"a.mp3", "b.mp3", "c.mp3"}));
        select(0);
        select(2);
        fired.clear();
    }
    void TearDown() override {
        manager->SetCurrentResultWindow(before);
        if (auto* earlier = dynamic_cast<VSearchResultWnd*>(before))
            earlier->Activate();
        if (search) {
            manager->StopSearch(search);
            search->release();
        }
    }
    void addResult(const char* name) {
        ss::IAgent* agent = newAgent();
        ASSERT_NE(agent, nullptr);
        ref<Istring> text(new vesk::string(name));
        agent->SetAttribute(fileName, value(text.get()));
        agent->AddAction(LanguageText(196).c_str(), &Record<196>);
        agent->AddAction(LanguageText(211).c_str(), &Record<211>);
        agent->AddAction(LanguageText(40026).c_str(), &Record<40026>);
        agent->AddAction(LanguageText(40031).c_str(), &Record<40031>);
        search->GetResults()->pushBack(value(static_cast<Igeneric*>(agent)));
        agent->release();
    }
    void select(int row) {
        LVITEMA item = {};
        item.stateMask = item.state = LVIS_SELECTED;
        ::SendMessageA(window->GetListWnd(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    }
    std::vector<std::string> shownNames() {
        HWND list = window->GetListWnd();
        std::vector<std::string> names;
        int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        for (int row = 0; row < count; ++row) {
            char text[64] = "";
            LVITEMA item = {};
            item.pszText = text;
            item.cchTextMax = sizeof text;
            ::SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
            names.push_back(text);
        }
        return names;
    }
    HWND container(layoutSlot slot) { return control().LayoutWindow(slot)->GetContainerHandle(); }
    HWND searchButtons() {
        return interfaceCast<IDockToolBarWnd>(control().LayoutWindow(layoutSlot::searchToolBar))->GetToolBarHandle();
    }
    bool filterBarShown() {
        HWND header = reinterpret_cast<HWND>(::SendMessageA(window->GetListWnd(), LVM_GETHEADER, 0, 0));
        return (::GetWindowLongPtrA(header, GWL_STYLE) & HDS_FILTERBAR) != 0;
    }

    ss::ISSManager* manager = nullptr;
    ISearchResultWnd* before = nullptr;
    ss::ISearchInst* search = nullptr;
    VSearchResultWnd* window = nullptr;
};

struct firingCase {
    const char* name;
    layoutSlot target;  // menuBar: the main window itself
    int command;
    std::vector<std::string> fired;
};

const firingCase firingCases[] = {
    {"menu stop", layoutSlot::menuBar, 40044, {"196:a.mp3", "196:c.mp3"}},
    {"menu download", layoutSlot::menuBar, 40049, {"211:a.mp3", "211:c.mp3", "40031:a.mp3", "40031:c.mp3"}},
    {"toolbar download", layoutSlot::transferToolBar, 40052,
     {"211:a.mp3", "211:c.mp3", "40026:a.mp3", "40026:c.mp3"}},
    {"toolbar stop", layoutSlot::transferToolBar, 40053, {"196:a.mp3", "196:c.mp3"}},
};

TEST_F(resultCommands, EachCommandFiresItsActionsOnTheSelectedResultsInOrder) {
    for (const firingCase& c : firingCases) {
        fired.clear();
        HWND target = c.target == layoutSlot::menuBar ? frameWindow() : container(c.target);
        ::SendMessageA(target, WM_COMMAND, static_cast<WPARAM>(c.command), 0);
        EXPECT_EQ(fired, c.fired) << c.name;
    }
}

TEST_F(resultCommands, WithoutACurrentResultWindowTheDownloadAndToolbarCommandsFireNothing) {
    manager->SetCurrentResultWindow(nullptr);
    for (const firingCase& c : firingCases) {
        if (c.command == 40044)
            continue;  // the menu's stop acts on the shared list whatever is current
        fired.clear();
        HWND target = c.target == layoutSlot::menuBar ? frameWindow() : container(c.target);
        ::SendMessageA(target, WM_COMMAND, static_cast<WPARAM>(c.command), 0);
        EXPECT_TRUE(fired.empty()) << c.name;
    }
}

TEST_F(resultCommands, ClearingTheFilterBringsEveryResultBack) {
    window->SetFilters({{fileName, "B"}});
    window->RefreshList(0);
    ASSERT_EQ(shownNames(), std::vector<std::string>{"b.mp3"});
    ::SendMessageA(container(layoutSlot::searchToolBar), WM_COMMAND, 40039, 0);
    std::vector<std::string> shown = shownNames();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0], "b.mp3") << "the filtered-out results come back at the end";
    // Emptied for good: a refresh filters nothing again.
    window->RefreshList(0);
    EXPECT_EQ(shownNames().size(), 3u);
}

TEST_F(resultCommands, TheFilterBarCommandsShowAndHideTheBarWithItsButton) {
    const std::pair<layoutSlot, int> commands[] = {{layoutSlot::menuBar, 40080},
                                                   {layoutSlot::searchToolBar, 40040}};
    for (const auto& [slot, command] : commands) {
        HWND target = slot == layoutSlot::menuBar ? frameWindow() : container(slot);
        for (bool shown : {true, false}) {
            ::SendMessageA(target, WM_COMMAND, static_cast<WPARAM>(command), 0);
            EXPECT_EQ(filterBarShown(), shown) << command;
            EXPECT_EQ(::SendMessageA(searchButtons(), TB_ISBUTTONCHECKED, 40040, 0) != 0, shown) << command;
        }
    }
}

}  // namespace
}  // namespace vesk::ui::test
