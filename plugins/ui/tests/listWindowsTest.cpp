// The transfer, host and statistics windows made in a frame of the window
// library, their lists filled with agents as the Gnutella module fills them.
#include <windows.h>
#include <shlobj.h>

#include <thread>

#include "core/capsule.h"
#include "plugins/ui/dockTransferWnd.h"
#include "plugins/ui/hostDockWnd.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/statDockWnd.h"
#include "plugins/ui/tests/uiTestSupport.h"

namespace vesk::ui::test {
namespace {

constexpr const char* fileName = "File Name";
constexpr const char* status = "Status";
constexpr const char* downloads = "Downloads";

class transferWindow : public listWindowTest {
protected:
    void SetUp() override {
        listWindowTest::SetUp();
        declareField(fileName, downloads);
        declareField(status, downloads);
        window = new capsule_core<VDockTransferWnd>();
        RECT place = {80, 80, 600, 380};
        ASSERT_EQ(window->Create("Transfers", &place), 1);
        showDockWindow(interfaceCast<IDockWnd>(window->GetDockWnd()), place);
    }
    void TearDown() override {
        for (ss::IAgent* agent : agents)
            window->RemoveDownload(agent);
        for (ss::IAgent* agent : agents)
            agent->release();
        frame.reset();
        if (window)
            window->releaseCore();
        listWindowTest::TearDown();
    }
    ss::IAgent* download(const char* name, const char* state) {
        ss::IAgent* agent = newAgent();
        setText(agent, fileName, name);
        setText(agent, status, state);
        agents.push_back(agent);
        return agent;
    }
    HWND list() { return window->Downloads().GetHandle(); }
    std::vector<std::string> column(int index) {
        std::vector<std::string> texts;
        for (int row = 0; row < window->Downloads().RowCount(); ++row)
            texts.push_back(CellText(list(), row, index));
        return texts;
    }

    capsule_core<VDockTransferWnd>* window = nullptr;
    std::vector<ss::IAgent*> agents;
};

TEST_F(transferWindow, DownloadRowsShowTheirAgentsFieldsInTheDeclaredColumns) {
    ASSERT_NE(list(), nullptr);
    EXPECT_EQ(window->Downloads().ColumnFields(), (std::vector<std::string>{fileName, status}));
    window->UpdateDownload(download("song.mp3", "Waiting"));
    window->UpdateDownload(download("film.avi", "Receiving"));
    EXPECT_EQ(window->Downloads().RowCount(), 2);
    EXPECT_EQ(column(0), (std::vector<std::string>{"song.mp3", "film.avi"}));
    EXPECT_EQ(column(1), (std::vector<std::string>{"Waiting", "Receiving"}));
    keepShot(frame->window(), "transfers");
}

std::vector<std::string> displayedFields(CAgentListView& view) {
    std::vector<std::string> fields;
    for (int column : view.DisplayOrder())
        fields.push_back(view.ColumnField(column));
    return fields;
}

TEST_F(transferWindow, ANeverSavedListShowsItsPrimaryColumnFirst) {
    EXPECT_EQ(displayedFields(window->Downloads()), (std::vector<std::string>{fileName, status}));
}

TEST_F(transferWindow, SavedColumnsComeBackInTheirOrderAndWidth) {
    int reversed[] = {1, 0};
    ::SendMessageA(list(), LVM_SETCOLUMNORDERARRAY, 2, reinterpret_cast<LPARAM>(reversed));
    ::SendMessageA(list(), LVM_SETCOLUMNWIDTH, 0, 123);
    EXPECT_EQ(window->Downloads().SaveColumns(), 1);
    EXPECT_EQ(settings->values["DownloadLV.File Name.Order"], 1);
    EXPECT_EQ(settings->values["DownloadLV.File Name.Size"], 123);
    EXPECT_EQ(settings->values["DownloadLV.Status.Visible"], 1);

    CAgentListView again;
    ASSERT_NE(again.Create(::GetParent(list()), 0, 0), nullptr);
    again.SetPrimaryColumn(fileName);
    again.SetColumns("DownloadLV.", downloads);
    EXPECT_EQ(displayedFields(again), (std::vector<std::string>{status, fileName}));
    EXPECT_EQ(::SendMessageA(again.GetHandle(), LVM_GETCOLUMNWIDTH, again.ColumnIndex(fileName), 0), 123);
    ::DestroyWindow(again.GetHandle());
}

// Saved orders and widths, damaged ones too: each cell is drawn under its
// own header item (with equal widths a wrong order would not show).
TEST_F(transferWindow, CellsLieUnderTheirHeaderItemsWhateverTheSavedOrder) {
    struct ordering {
        const char* name;
        long fileNameOrder, statusOrder;
        std::vector<std::string> shown;
    };
    const ordering cases[] = {
        {"saved order", 1, 0, {status, fileName}},
        {"same order twice: the later column wins", 0, 0, {status, fileName}},
        {"order past the columns", 100, 0, {status, fileName}},
        {"negative order", -5, 1, {fileName, status}},
    };
    window->UpdateDownload(download("song.mp3", "Waiting"));
    for (const ordering& c : cases) {
        settings->values["DownloadLV.File Name.Order"] = c.fileNameOrder;
        settings->values["DownloadLV.File Name.Size"] = 200;
        settings->values["DownloadLV.Status.Order"] = c.statusOrder;
        settings->values["DownloadLV.Status.Size"] = 60;
        window->Downloads().SetColumns("DownloadLV.", downloads);
        EXPECT_EQ(displayedFields(window->Downloads()), c.shown) << c.name;
        HWND header = ListView_GetHeader(list());
        for (int column = 0; column < 2; ++column) {
            RECT heading = {}, cell = {};
            ASSERT_TRUE(::SendMessageA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&heading)));
            cell.top = column;
            cell.left = column == 0 ? LVIR_LABEL : LVIR_BOUNDS;
            ASSERT_TRUE(::SendMessageA(list(), LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&cell)));
            EXPECT_EQ(cell.right, heading.right) << c.name << ", column " << column;
            if (column > 0) {
                EXPECT_EQ(cell.left, heading.left) << c.name << ", column " << column;
            }
        }
    }
    keepShot(frame->window(), "transfers reordered");
}

TEST_F(transferWindow, AnUpdatedAgentKeepsItsRowAndShowsItsNewValues) {
    ss::IAgent* agent = download("song.mp3", "Waiting");
    window->UpdateDownload(agent);
    setText(agent, status, "Complete");
    EXPECT_EQ(window->UpdateDownload(agent), 1);
    EXPECT_EQ(window->Downloads().RowCount(), 1);
    EXPECT_EQ(CellText(list(), 0, 1), "Complete");
}

TEST_F(transferWindow, ARemovedAgentLeavesTheListAndAnUnknownOneIsRefused) {
    ss::IAgent* first = download("a.mp3", "Waiting");
    ss::IAgent* second = download("b.mp3", "Waiting");
    ss::IAgent* stranger = download("c.mp3", "Waiting");
    window->UpdateDownload(first);
    window->UpdateDownload(second);
    EXPECT_NE(window->RemoveDownload(first), 0);
    EXPECT_EQ(window->RemoveDownload(stranger), 0);
    EXPECT_EQ(column(0), (std::vector<std::string>{"b.mp3"}));
}

TEST_F(transferWindow, SortingByAColumnOrdersTheRowsAndASecondClickReversesThem) {
    for (const char* name : {"b.mp3", "c.mp3", "a.mp3"})
        window->UpdateDownload(download(name, "Waiting"));
    window->Downloads().SortByColumn(0);
    EXPECT_EQ(column(0), (std::vector<std::string>{"a.mp3", "b.mp3", "c.mp3"}));
    window->Downloads().SortByColumn(0);
    EXPECT_EQ(column(0), (std::vector<std::string>{"c.mp3", "b.mp3", "a.mp3"}));
}

TEST_F(transferWindow, RowsComeFromOtherThreadsWhileTheWindowsThreadRunsItsLoop) {
    std::vector<ss::IAgent*> made;
    for (int i = 0; i < 20; ++i)
        made.push_back(download(("file" + std::to_string(i) + ".dat").c_str(), "Waiting"));
    bool done = false;
    std::thread filler([&] {
        for (ss::IAgent* agent : made)
            window->UpdateDownload(agent);
        for (int i = 0; i < 10; ++i)
            window->RemoveDownload(made[i]);
        done = true;
    });
    bool finished = pumpUntil([&] { return done; }, 20000);
    filler.join();
    ASSERT_TRUE(finished);
    EXPECT_EQ(window->Downloads().RowCount(), 10);
    EXPECT_EQ(CellText(list(), 0, 0), "file10.dat");
}

void selectRow(HWND list, int row) {
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    ::SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

TEST_F(transferWindow, TheShellGetsOneImageOfTheSelectedRowsKeyedInGreen) {
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
        window->UpdateDownload(download(name, "Waiting"));
    const UINT askImage = ::RegisterWindowMessageA("ShellGetDragImage");
    SHDRAGIMAGE image = {};
    EXPECT_EQ(::SendMessageA(list(), askImage, 0, reinterpret_cast<LPARAM>(&image)), 0) << "nothing selected";

    selectRow(list(), 0);
    selectRow(list(), 2);
    ASSERT_EQ(::SendMessageA(list(), askImage, 0, reinterpret_cast<LPARAM>(&image)), 1);
    ASSERT_NE(image.hbmpDragImage, nullptr);
    RECT first = {LVIR_BOUNDS, 0, 0, 0}, last = {LVIR_BOUNDS, 0, 0, 0};
    ::SendMessageA(list(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    ::SendMessageA(list(), LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&last));
    EXPECT_EQ(image.sizeDragImage.cy, last.bottom - first.top) << "from the first selected row to the last";
    EXPECT_GT(image.sizeDragImage.cx, 0);
    EXPECT_EQ(image.crColorKey, RGB(0, 255, 0));
    ::DeleteObject(image.hbmpDragImage);
}

class otherWindows : public listWindowTest {};

TEST_F(otherWindows, TheHostWindowListsConnectionsAndCachedHostsOnItsTwoPages) {
    declareField("Address", "Connections");
    declareField("Address", "Host Cache");
    auto* hosts = new capsule_core<ZUdoradurHostDockWnd>();
    RECT place = {80, 80, 600, 380};
    ASSERT_EQ(hosts->Create("Hosts", &place), 1);
    showDockWindow(interfaceCast<IDockWnd>(hosts->GetDockWnd()), place);
    EXPECT_NE(hosts->GetConnectPage(), nullptr);
    EXPECT_NE(hosts->GetCatchPage(), nullptr);
    EXPECT_NE(hosts->GetAddressCombo(), nullptr);

    ss::IAgent* link = newAgent();
    setText(link, "Address", "127.0.0.1:6346");
    ss::IAgent* cached = newAgent();
    setText(cached, "Address", "127.0.0.2:6346");
    hosts->AddConnect(link);
    hosts->AddCatch(cached);
    EXPECT_EQ(CellText(hosts->Connections().GetHandle(), 0, 0), "127.0.0.1:6346");
    EXPECT_EQ(CellText(hosts->HostCache().GetHandle(), 0, 0), "127.0.0.2:6346");
    keepShot(frame->window(), "hosts");
    EXPECT_EQ(hosts->RemoveAllConnect(), 1);
    EXPECT_EQ(hosts->Connections().RowCount(), 0);
    hosts->ClearCatch();
    EXPECT_EQ(hosts->HostCache().RowCount(), 0);
    frame.reset();
    hosts->releaseCore();
    link->release();
    cached->release();
}

TEST_F(otherWindows, TheStatisticsWindowPutsEachNewLineOnTop) {
    declareField("Query", "Statistics");
    auto* stats = new capsule_core<ZUdoradurStatDockWnd>();
    RECT place = {80, 80, 600, 380};
    ASSERT_EQ(stats->Create("Statistics", &place), 1);
    showDockWindow(interfaceCast<IDockWnd>(stats->GetDockWnd()), place);
    EXPECT_TRUE(stats->AddLine("first query"));
    EXPECT_TRUE(stats->AddLine("second query"));
    HWND lines = stats->Lines().GetHandle();
    EXPECT_EQ(CellText(lines, 0, 0), "second query");
    EXPECT_EQ(CellText(lines, 1, 0), "first query");
    EXPECT_EQ(stats->Lines().ColumnFields(), std::vector<std::string>{"Query"});
    EXPECT_GT(::SendMessageA(lines, LVM_GETCOLUMNWIDTH, 0, 0), 100) << "the one column fills the list";
    keepShot(frame->window(), "statistics");
    frame.reset();
    stats->releaseCore();
}

}  // namespace
}  // namespace vesk::ui::test
