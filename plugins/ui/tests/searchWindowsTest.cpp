// The search bar starting searches through the real manager, and the
// search history listing them.
#include "core/capsule.h"
#include "plugins/Ombrel/moduleServices.h"
#include "plugins/ui/dockSearchBar.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/searchHistoryDockWnd.h"
#include "plugins/ui/tests/uiTestSupport.h"

namespace vesk::ui::test {
namespace {

class searchWindows : public listWindowTest {
protected:
    void SetUp() override {
        listWindowTest::SetUp();
        ss::services().searchTextName = "Query";
        ss::services().resultCountName = "Results";
        history = new capsule_core<VSearchHistoryDockWnd>();
        ListServices().historyWnd = history;
        ss::services().searchHistory = history;
        RECT place = {0, 0, 600, 200};
        history->Create("Search History", &place);
        showDockWindow(interfaceCast<IDockWnd>(history->GetDockWnd()), place);
        bar = new capsule<VDockSearchBar>();
        bar->addRef();
        ListServices().searchBar = bar;
        RECT barPlace = {0, 0, 400, 26};
        ASSERT_EQ(bar->Create("Search Bar", &barPlace), 1);
        showDockWindow(interfaceCast<IDockWnd>(bar->ToolBar()), barPlace);
    }
    void TearDown() override {
        frame.reset();
        ss::services().searchHistory = nullptr;
        bar->release();
        history->releaseCore();
        listWindowTest::TearDown();
    }
    ss::IAgent* search(const char* query, long results) {
        ss::IAgent* agent = newAgent();
        setText(agent, "Query", query);
        agent->SetAttribute("Results", value(results));
        return agent;
    }
    std::string historyRow(int row) { return CellText(history->History().GetHandle(), row, 0); }

    capsule_core<VSearchHistoryDockWnd>* history = nullptr;
    capsule<VDockSearchBar>* bar = nullptr;
};

// Without a result window the manager does not list the search in the
// history; the rows there come as the manager gives them.
TEST_F(searchWindows, EachQueryStartsASearchAndGoesToTheTopOfTheBox) {
    ASSERT_NE(bar->QueryBox(), nullptr);
    EXPECT_EQ(bar->Search("free music"), 1);
    EXPECT_EQ(bar->Search("old films"), 1);
    EXPECT_EQ(bar->Queries(), (std::vector<std::string>{"old films", "free music"}));
}

TEST_F(searchWindows, AnEmptyQueryStartsNothing) {
    EXPECT_EQ(bar->Search(""), 0);
    EXPECT_EQ(bar->Search(nullptr), 0);
    EXPECT_TRUE(bar->Queries().empty());
}

TEST_F(searchWindows, TheHistoryListsSearchesWithTheirQueryAndCountsTheirResults) {
    ss::IAgent* first = search("free music", 5);
    ss::IAgent* second = search("old films", 2);
    EXPECT_TRUE(history->UpdateSearch(first));
    EXPECT_TRUE(history->UpdateSearch(second));
    ASSERT_EQ(history->History().RowCount(), 2);
    EXPECT_EQ(history->History().ColumnField(0), "Query");
    EXPECT_EQ(historyRow(0), "free music");
    EXPECT_EQ(historyRow(1), "old films");
    EXPECT_EQ(history->CountText(), "S: 2 SR: 7");
    keepShot(frame->window(), "searches");

    EXPECT_EQ(VDockSearchBar::ClearAction(first), 1);
    ASSERT_EQ(history->History().RowCount(), 1);
    EXPECT_EQ(historyRow(0), "old films");
    EXPECT_EQ(VDockSearchBar::ClearAllAction(second), 1);
    EXPECT_EQ(history->History().RowCount(), 0);
    first->release();
    second->release();
}

}  // namespace
}  // namespace vesk::ui::test
