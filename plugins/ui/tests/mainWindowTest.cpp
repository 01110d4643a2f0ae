// The main window in the test's own process: the menu bar and its
// tracking, the main window's commands, closing, the tab stops and the
// toolbars' tips and switches.
#include <windows.h>
#include <commctrl.h>

#include <functional>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/Dravik/tests/dravikTestSupport.h"
#include "plugins/ui/dockTransferWnd.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/tests/mainWindowTestSupport.h"

namespace vesk::ui::test {
namespace {

std::string ButtonText(HWND toolBar, int command) {
    char text[64] = "";
    ::SendMessageA(toolBar, TB_GETBUTTONTEXTA, command, reinterpret_cast<LPARAM>(text));
    return text;
}

LRESULT Command(HWND frame, int id) { return ::SendMessageA(frame, WM_COMMAND, static_cast<WPARAM>(id), 0); }

TEST_F(mainWindow, TheMenuBarHasItsSixMenusWithTheirItems) {
    struct button {
        int command;
        const char* text;
        std::vector<int> items;
    };
    const button buttons[] = {
        {254, "&File", {40023, 40024, 40042, 40025}},
        {258, "&View", {40035, 40036, 40037, 40038, 40062, 40063, 40064, 40065, 40069, 40056, 40061}},
        {257, "&Search", {40049, 40044, 40080, 40006, 40045, 40051}},
        {256, "&Tools", {40041, 40043}},
        {188, "&Window", {40067, 40068}},
        {255, "&Help", {40029, 40030, 40028, 40070}},
    };
    VDockMenu& bar = menu();
    ASSERT_EQ(bar.MenuCount(), 6);
    for (int index = 0; index < 6; ++index) {
        const button& expected = buttons[index];
        EXPECT_EQ(bar.FindMenu(expected.command), index);
        EXPECT_EQ(ButtonText(bar.ToolBarHandle(), expected.command), expected.text);
        HMENU popup = bar.GetPopup(index);
        ASSERT_NE(popup, nullptr) << expected.text;
        for (int item : expected.items)
            EXPECT_NE(::GetMenuState(popup, item, MF_BYCOMMAND), 0xFFFFFFFFu) << expected.text << " " << item;
    }
    EXPECT_EQ(bar.FindMenu(-1), -1);
}

TEST_F(mainWindow, TheStatusBarShowsTheStartTexts) {
    HWND status = ::FindWindowExA(frameWindow(), nullptr, STATUSCLASSNAMEA, nullptr);
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(paneText(status, 0), "Ready");
    EXPECT_EQ(paneText(status, 1), "Connections: 0");
    EXPECT_EQ(paneText(status, 2), "DL: 0  UL: 0");
}

TEST_F(mainWindow, EachToggleCommandHidesAShownWindowAndShowsItAgain) {
    const std::pair<int, layoutSlot> toggles[] = {
        {40035, layoutSlot::hostWindow},      {40079, layoutSlot::hostWindow},
        {40036, layoutSlot::historyWindow},   {40076, layoutSlot::historyWindow},
        {40037, layoutSlot::statisticsWindow}, {40078, layoutSlot::statisticsWindow},
        {40038, layoutSlot::transferWindow},  {40077, layoutSlot::transferWindow},
        {40062, layoutSlot::connectToolBar},  {40063, layoutSlot::searchToolBar},
        {40064, layoutSlot::transferToolBar}, {40065, layoutSlot::viewToolBar},
    };
    for (const auto& [command, slot] : toggles) {
        IDockWnd* window = control().LayoutWindow(slot);
        ASSERT_NE(window, nullptr) << command;
        int before = window->GetVisible();
        Command(frameWindow(), command);
        EXPECT_EQ(window->GetVisible(), !before) << command;
        EXPECT_EQ(::IsWindowVisible(window->GetContainerHandle()) != 0, !before) << command;
        Command(frameWindow(), command);
        EXPECT_EQ(window->GetVisible(), before) << command;
    }
}

TEST_F(mainWindow, TheViewMenuAndToolbarFollowAWindowHiddenAnyWay) {
    HMENU view = menu().PopupOf(258);
    IDockWnd* viewBar = control().LayoutWindow(layoutSlot::viewToolBar);
    HWND buttons = interfaceCast<IDockToolBarWnd>(viewBar)->GetToolBarHandle();
    const struct {
        layoutSlot slot;
        int item;
        int button;
    } windows[] = {
        {layoutSlot::hostWindow, 40035, 40058},
        {layoutSlot::historyWindow, 40036, 40059},
        {layoutSlot::statisticsWindow, 40037, 40060},
        {layoutSlot::transferWindow, 40038, 40066},
    };
    for (const auto& w : windows) {
        IDockWnd* window = control().LayoutWindow(w.slot);
        window->Show();
        pump();
        EXPECT_TRUE(Checked(view, w.item)) << w.item;
        EXPECT_TRUE(::SendMessageA(buttons, TB_ISBUTTONPRESSED, w.button, 0)) << w.button;
        window->Hide();  // as its own close box does
        pump();
        EXPECT_FALSE(Checked(view, w.item)) << w.item;
        EXPECT_FALSE(::SendMessageA(buttons, TB_ISBUTTONPRESSED, w.button, 0)) << w.button;
        // The view toolbar's button shows it again.
        ::SendMessageA(viewBar->GetContainerHandle(), WM_COMMAND, w.button, 0);
        pump();
        EXPECT_TRUE(window->GetVisible()) << w.button;
        EXPECT_TRUE(Checked(view, w.item)) << w.item;
    }
}

TEST_F(mainWindow, LockDockingAndStatusBarFollowTheirCheckMarks) {
    HMENU view = menu().PopupOf(258);
    IDock* dock = control().Links().frame->GetDock();
    IFrameWnd* frame = control().Links().frame;
    // "Lock Docking" is checked while docking is locked; the stored key
    // keeps saying whether docking is allowed, as files already written do.
    EXPECT_EQ(Checked(view, 40056), dock->GetDockable() == 0) << "as the layout read it";
    for (int command : {40056, 40082, 40056, 40082}) {
        bool before = Checked(view, 40056);
        Command(frameWindow(), command);
        EXPECT_EQ(Checked(view, 40056), !before) << command;
        EXPECT_EQ(dock->GetDockable() == 0, !before) << command;
        control().SaveSettings();
        EXPECT_EQ(settings().values["LockDocking"].asLong(), before ? 1 : 0) << command;
    }
    for (int command : {40061, 40081, 40061, 40081}) {
        bool before = Checked(view, 40061);
        Command(frameWindow(), command);
        EXPECT_EQ(Checked(view, 40061), !before) << command;
        EXPECT_EQ(frame->GetStatusBarVisible() != 0, !before) << command;
    }
}

TEST_F(mainWindow, SaveOnExitFlipsWithItsCheckMark) {
    HMENU tools = menu().PopupOf(256);
    for (int round = 0; round < 2; ++round) {
        int before = control().SaveOnExit();
        EXPECT_EQ(Checked(tools, 40043), before == 1);
        Command(frameWindow(), 40043);
        EXPECT_EQ(control().SaveOnExit(), before == 1 ? 0 : 1);
        EXPECT_EQ(Checked(tools, 40043), before != 1);
    }
}

TEST_F(mainWindow, ConnectAndDisconnectSwitchTheMenuItemsAndTheButtons) {
    HMENU file = menu().PopupOf(254);
    HWND buttons =
        interfaceCast<IDockToolBarWnd>(control().LayoutWindow(layoutSlot::connectToolBar))->GetToolBarHandle();
    // The manager starts disconnected.
    EXPECT_TRUE(::SendMessageA(buttons, TB_ISBUTTONENABLED, 40012, 0));
    EXPECT_FALSE(::SendMessageA(buttons, TB_ISBUTTONENABLED, 40013, 0));
    const struct {
        int command;
        bool connected;
    } cases[] = {{40023, true}, {40024, false}, {40000, true}, {40001, false}};
    for (const auto& c : cases) {
        Command(frameWindow(), c.command);
        EXPECT_EQ(Grayed(file, 40023), c.connected) << c.command;
        EXPECT_EQ(Grayed(file, 40024), !c.connected) << c.command;
        EXPECT_EQ(::SendMessageA(buttons, TB_ISBUTTONENABLED, 40012, 0) != 0, !c.connected) << c.command;
        EXPECT_EQ(::SendMessageA(buttons, TB_ISBUTTONENABLED, 40013, 0) != 0, c.connected) << c.command;
    }
}

TEST_F(mainWindow, SaveNowRunsTheHooksBeforeTheFileIsWritten) {
    ::SetWindowPos(frameWindow(), nullptr, 30, 40, 777, 555, SWP_NOZORDER);
    for (int command : {40042, 40005}) {
        settings().journal.clear();
        settings().values.erase("FrameWnd.Right");
        Command(frameWindow(), command);
        ASSERT_EQ(settings().journal, (std::vector<std::string>{"notify", "save"})) << command;
        EXPECT_EQ(settings().values["FrameWnd.Right"].asLong() - settings().values["FrameWnd.Left"].asLong(), 777);
    }
}

TEST_F(mainWindow, ClosingSavesOnlyWhenAskedAndHooksComeFirst) {
    for (int saveOnExit : {0, 1}) {
        settings().journal.clear();
        control().SetSaveOnExit(saveOnExit);
        ::ShowWindow(frameWindow(), SW_SHOW);
        // The handler alone: the default processing, which would destroy
        // the suite's window, is not run.
        EXPECT_EQ(menu().OnMainMessage(frameWindow(), WM_CLOSE, 0, 0), -1);
        EXPECT_FALSE(::IsWindowVisible(frameWindow()));
        std::vector<std::string> expected;
        if (saveOnExit)
            expected = {"notify", "save"};
        EXPECT_EQ(settings().journal, expected) << saveOnExit;
    }
    control().SetSaveOnExit(0);
    ::ShowWindow(frameWindow(), SW_SHOW);
    pump();
}

TEST_F(mainWindow, HelpOpensTheHelpFileAndSaysWhenItIsMissing) {
    setShellAnswer(2);  // file not found
    Command(frameWindow(), 40029);
    ASSERT_EQ(outsideCalls().size(), 2u);
    EXPECT_EQ(outsideCalls()[0].first, "open");
    EXPECT_EQ(outsideCalls()[0].second, "Pelloran.chm");
    EXPECT_EQ(outsideCalls()[1].what, "message");
    EXPECT_EQ(outsideCalls()[1].first, "Error:Pelloran.chm Help file missing.");
    EXPECT_EQ(outsideCalls()[1].second, "Missing Help file");

    outsideCalls().clear();
    setShellAnswer(42);
    Command(frameWindow(), 40029);
    EXPECT_EQ(outsideCalls().size(), 1u);

    outsideCalls().clear();
    Command(frameWindow(), 40030);
    ASSERT_EQ(outsideCalls().size(), 1u);
    EXPECT_EQ(outsideCalls()[0].second, "https://pelloran.example/");
}

TEST_F(mainWindow, SelectAllSelectsEveryRowOfTheFocusedList) {
    HWND list = ::CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 100, 100,
                                  frameWindow(), nullptr, nullptr, nullptr);
    ASSERT_NE(list, nullptr);
    LVCOLUMNA column = {};
    ::SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    for (int row = 0; row < 3; ++row) {
        LVITEMA item = {};
        item.iItem = row;
        ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    ::SetFocus(list);
    Command(frameWindow(), 40006);
    EXPECT_EQ(::SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 3);
    ::DestroyWindow(list);
}

TEST_F(mainWindow, TabMovesTheFocusThroughTheVisibleTabStops) {
    std::vector<HWND> visible;
    for (HWND stop : control().TabStops())
        if (::IsWindowVisible(stop))
            visible.push_back(stop);
    ASSERT_GE(visible.size(), 2u) << "the list windows register their tab bars and the query box";
    // A tab bar passes the focus on to its page's list, beside the bar.
    auto focusIn = [](HWND stop) {
        HWND focus = ::GetFocus();
        return focus == stop || ::IsChild(::GetParent(stop), focus);
    };
    ::SetFocus(frameWindow());  // outside every tab stop
    EXPECT_EQ(Command(frameWindow(), 40083), 0);
    EXPECT_TRUE(focusIn(visible[0]));
    for (size_t next = 1; next < visible.size(); ++next) {
        EXPECT_EQ(Command(frameWindow(), 40083), 0);
        EXPECT_TRUE(focusIn(visible[next])) << next;
    }
    EXPECT_EQ(Command(frameWindow(), 40083), 0);
    EXPECT_TRUE(focusIn(visible[0])) << "past the last it starts again";
}

// Acts while a popup of the menu bar is open: a timer of the test's thread
// runs inside the menu's own loop. Each newly opened popup is recorded and
// gets the next step.
struct trackScript {
    std::vector<std::function<void()>> steps;
    std::vector<int> opened;
    size_t next = 0;
    int lastOpen = -1;
    int ticks = 0;
};

trackScript* script = nullptr;
VDockMenu* scriptMenu = nullptr;

void CALLBACK ScriptTick(HWND, UINT, UINT_PTR, DWORD) {
    if (++script->ticks > 200) {  // ten seconds: give up, close the menu
        ::EndMenu();
        return;
    }
    int open = scriptMenu->TrackingMode() == 2 ? scriptMenu->OpenButton() : -1;
    if (open == -1 || open == script->lastOpen)
        return;
    script->lastOpen = open;
    script->opened.push_back(open);
    if (script->next < script->steps.size())
        script->steps[script->next++]();
}

std::vector<int> RunTracked(trackScript& s, VDockMenu& bar, const std::function<void()>& start) {
    script = &s;
    scriptMenu = &bar;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &ScriptTick);
    start();
    ::KillTimer(nullptr, timer);
    script = nullptr;
    return s.opened;
}

std::function<void()> Key(HWND window, WPARAM key) {
    return [window, key] { ::PostMessageA(window, WM_KEYDOWN, key, 0); };
}

POINT ButtonCentre(HWND toolBar, int index) {
    RECT r = {};
    ::SendMessageA(toolBar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    POINT centre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ::ClientToScreen(toolBar, &centre);
    return centre;
}

std::function<void()> Mouse(HWND toolBar, int index, UINT message) {
    return [toolBar, index, message] {
        POINT at = ButtonCentre(toolBar, index);
        ::SetCursorPos(at.x, at.y);
        POINT client = at;
        ::ScreenToClient(toolBar, &client);
        ::PostMessageA(toolBar, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                       MAKELPARAM(client.x, client.y));
    };
}

TEST_F(mainWindow, AltOpensTheFirstMenuAndTheArrowsWrapAtBothEnds) {
    VDockMenu& bar = menu();
    HWND buttons = bar.ToolBarHandle();
    trackScript s;
    s.steps = {Key(buttons, VK_LEFT), Key(buttons, VK_RIGHT), Key(buttons, VK_RIGHT), Key(buttons, VK_ESCAPE)};
    LRESULT answer = 0;
    std::vector<int> opened =
        RunTracked(s, bar, [&] { answer = ::SendMessageA(frameWindow(), WM_SYSCOMMAND, SC_KEYMENU, 0); });
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(opened, (std::vector<int>{254, 255, 254, 258}));
    EXPECT_EQ(bar.TrackingMode(), 0);
}

TEST_F(mainWindow, ThePointerMovesToAnotherMenuAndAClickOnTheOpenOneClosesIt) {
    VDockMenu& bar = menu();
    HWND buttons = bar.ToolBarHandle();
    trackScript s;
    s.steps = {Mouse(buttons, 2, WM_MOUSEMOVE), Mouse(buttons, 2, WM_LBUTTONDOWN)};
    std::vector<int> opened = RunTracked(s, bar, [&] { bar.TrackMenu(258); });
    EXPECT_EQ(opened, (std::vector<int>{258, 257}));
    EXPECT_EQ(bar.OpenButton(), -1);
}

TEST_F(mainWindow, TheMenuKeysOpenTheirMenus) {
    VDockMenu& bar = menu();
    ::SetCursorPos(1270, 1010);  // away from the menu bar
    pump();
    const std::pair<int, int> keys[] = {{40071, 254}, {40072, 258}, {40073, 257},
                                        {40074, 256}, {40075, 188}, {57670, 255}};
    for (const auto& [command, button] : keys) {
        trackScript s;
        s.steps = {Key(bar.ToolBarHandle(), VK_ESCAPE)};
        std::vector<int> opened = RunTracked(s, bar, [&] { Command(frameWindow(), command); });
        EXPECT_EQ(opened, std::vector<int>{button}) << command;
        EXPECT_EQ(::SendMessageA(bar.ToolBarHandle(), TB_GETHOTITEM, 0, 0), -1)
            << command << ": the button is lit only while its popup is open";
    }
}

TEST_F(mainWindow, EveryToolbarButtonHasItsTip) {
    const struct {
        layoutSlot slot;
        int command;
        unsigned text;
    } tips[] = {
        {layoutSlot::connectToolBar, 40012, 205},  {layoutSlot::connectToolBar, 40013, 210},
        {layoutSlot::searchToolBar, 40039, 306},   {layoutSlot::searchToolBar, 40040, 305},
        {layoutSlot::transferToolBar, 40045, 198}, {layoutSlot::transferToolBar, 40046, 200},
        {layoutSlot::transferToolBar, 40047, 199}, {layoutSlot::transferToolBar, 40048, 201},
        {layoutSlot::transferToolBar, 40050, 282}, {layoutSlot::transferToolBar, 40052, 211},
        {layoutSlot::transferToolBar, 40053, 196}, {layoutSlot::viewToolBar, 40055, 262},
        {layoutSlot::viewToolBar, 40058, 239},     {layoutSlot::viewToolBar, 40059, 284},
        {layoutSlot::viewToolBar, 40060, 316},     {layoutSlot::viewToolBar, 40066, 233},
    };
    for (const auto& tip : tips) {
        IDockWnd* bar = control().LayoutWindow(tip.slot);
        ASSERT_NE(bar, nullptr);
        std::string expected = LanguageText(tip.text, 80);
        EXPECT_FALSE(expected.empty()) << tip.text;
        EXPECT_EQ(ToolTipOf(bar, tip.command), expected) << tip.command;
        HWND buttons = interfaceCast<IDockToolBarWnd>(bar)->GetToolBarHandle();
        EXPECT_GE(::SendMessageA(buttons, TB_COMMANDTOINDEX, tip.command, 0), 0) << tip.command;
    }
}

TEST_F(mainWindow, TheAutoClearButtonsSwitchBothListsTogether) {
    ss::ISSManager* manager = control().Links().manager;
    IDockWnd* bar = control().LayoutWindow(layoutSlot::transferToolBar);
    HWND buttons = interfaceCast<IDockToolBarWnd>(bar)->GetToolBarHandle();
    const struct {
        int command;
        int first;
        int second;
    } switches[] = {{40046, 0, 1}, {40047, 2, 3}};
    for (const auto& s : switches)
        for (int round = 0; round < 2; ++round) {
            bool before = manager->GetAutoClear(s.first);
            ::SendMessageA(bar->GetContainerHandle(), WM_COMMAND, s.command, 0);
            EXPECT_EQ(manager->GetAutoClear(s.first), !before) << s.command;
            EXPECT_EQ(manager->GetAutoClear(s.second), !before) << s.command;
            EXPECT_EQ(::SendMessageA(buttons, TB_ISBUTTONPRESSED, s.command, 0) != 0, !before) << s.command;
        }
}

TEST_F(mainWindow, TheMainWindowIsKeptAsAPicture) {
    ::SetWindowPos(frameWindow(), nullptr, 0, 0, 900, 640, SWP_NOZORDER);
    IFrameWnd* frame = control().Links().frame;
    IDock* dock = frame->GetDock();
    const std::pair<layoutSlot, int> places[] = {
        {layoutSlot::menuBar, 1},       {layoutSlot::connectToolBar, 1}, {layoutSlot::viewToolBar, 1},
        {layoutSlot::transferToolBar, 1}, {layoutSlot::searchToolBar, 1}, {layoutSlot::audioToolBar, 1},
        {layoutSlot::searchBar, 1},
        {layoutSlot::historyWindow, 4}, {layoutSlot::hostWindow, 3},     {layoutSlot::transferWindow, 3},
        {layoutSlot::statisticsWindow, 2},
    };
    for (const auto& [slot, side] : places) {
        IDockWnd* window = control().LayoutWindow(slot);
        window->Show();
        dock->GetDockArea(side)->Dock(window, -1);
    }
    pump();
    for (const auto& [slot, side] : places)
        EXPECT_EQ(control().LayoutWindow(slot)->GetDockAreaPos(), side);
    // The menu bar's buttons are text alone: their text is drawn.
    HWND buttons = menu().ToolBarHandle();
    RECT first = {};
    ::SendMessageA(buttons, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    ::MapWindowPoints(buttons, nullptr, reinterpret_cast<POINT*>(&first), 2);
    ::RedrawWindow(buttons, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    pump();
    screenShot shot(first);
    COLORREF text = ::GetSysColor(COLOR_BTNTEXT);
    int drawn = 0;
    for (LONG x = first.left; x < first.right; ++x)
        for (LONG y = first.top; y < first.bottom; ++y)
            drawn += shot.at(POINT{x, y}) == text;
    EXPECT_GT(drawn, 0) << "the File button shows no text";
    keepShot("mainWindow");
}

// Every row's action removes its own row: the agents are held before the
// first action runs, so each one is reached.
int removedRows = 0;
int RemoveOwnRow(ss::IAgent* agent) {
    ++removedRows;
    return ListServices().transferWnd->RemoveDownload(agent);
}

TEST_F(mainWindow, ActionsOnEveryDownloadReachEachRowWhileRowsGo) {
    VDockTransferWnd* transfers = ListServices().transferWnd;
    ASSERT_NE(transfers, nullptr);
    HWND list = transfers->Downloads().GetHandle();
    const struct {
        HWND target;  // the main window or the transfer toolbar's container
        int command;
        unsigned action;
    } cases[] = {
        {frameWindow(), 40045, 40024},
        {frameWindow(), 40051, 40031},
        {control().LayoutWindow(layoutSlot::transferToolBar)->GetContainerHandle(), 40045, 40024},
        {control().LayoutWindow(layoutSlot::transferToolBar)->GetContainerHandle(), 40050, 40031},
    };
    for (const auto& c : cases) {
        std::vector<ss::IAgent*> agents;
        for (int row = 0; row < 3; ++row) {
            ss::IAgent* agent = newAgent();
            ASSERT_NE(agent, nullptr);
            agent->AddAction(LanguageText(c.action).c_str(), &RemoveOwnRow);
            transfers->UpdateDownload(agent);
            agents.push_back(agent);
        }
        ASSERT_EQ(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 3);
        removedRows = 0;
        ::SendMessageA(c.target, WM_COMMAND, static_cast<WPARAM>(c.command), 0);
        EXPECT_EQ(removedRows, 3) << c.command;
        EXPECT_EQ(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 0) << c.command;
        for (ss::IAgent* agent : agents)
            agent->release();
    }
}

TEST_F(mainWindow, ALeftClickOnTheTrayIconMinimizesOrRestores) {
    ::ShowWindow(frameWindow(), SW_SHOWNORMAL);
    pump();
    menu().OnMainMessage(frameWindow(), 1690, 0, WM_LBUTTONDOWN);
    pump();
    EXPECT_TRUE(::IsIconic(frameWindow()));
    menu().OnMainMessage(frameWindow(), 1690, 0, WM_LBUTTONDOWN);
    pump();
    EXPECT_FALSE(::IsIconic(frameWindow()));
    EXPECT_TRUE(::IsWindowVisible(frameWindow()));
}

TEST_F(mainWindow, IconsAreLoadedOnceAndBothListsStayInStep) {
    HIMAGELIST small = control().GetSmallImageList(), large = control().GetLargeImageList();
    int first = control().AddIcon(resources(), 147);
    ASSERT_GE(first, 0);
    int count = ::ImageList_GetImageCount(small);
    EXPECT_EQ(control().AddIcon(resources(), 147), first);
    EXPECT_EQ(control().AddIcon(resources(), 9999), -1) << "no such icon";
    EXPECT_EQ(control().AddIcon(resources(), 9999), -1);
    EXPECT_EQ(::ImageList_GetImageCount(small), count);
    EXPECT_EQ(::ImageList_GetImageCount(large), count);
}

TEST_F(mainWindow, AutoCompleteTakesWinesAnswerAsSuccess) {
    HWND edit = ::CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 100, 20, frameWindow(), nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(control().AutoComplete(edit, 1));
    EXPECT_FALSE(control().AutoComplete(nullptr, 1));
    ::DestroyWindow(edit);
}

}  // namespace
}  // namespace vesk::ui::test
