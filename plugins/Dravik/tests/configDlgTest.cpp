// The Customize dialog: its hidden dialog, and the modal sheet whose page
// lists the parent's child windows; the test closes the sheet from a timer.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "plugins/Dravik/dockWndConfigDlg.h"
#include "plugins/Dravik/dravikIds.h"
#include "plugins/Dravik/tests/dravikTestSupport.h"
#include "plugins/Dravik/tests/heldObject.h"
#include "plugins/Dravik/tests/recordingWindow.h"

namespace vesk::ui::test {
namespace {

// What the timer saw of the sheet before closing it.
struct sheetSeen {
    int shown = 0;
    std::string caption;
    std::string page;
    std::vector<std::string> items;
};
sheetSeen seen;

std::string windowText(HWND window) {
    char text[256] = "";
    ::GetWindowTextA(window, text, sizeof(text));
    return text;
}

BOOL CALLBACK findSheet(HWND window, LPARAM found) {
    char className[16] = "";
    ::GetClassNameA(window, className, sizeof(className));
    if (std::string(className) == "#32770" && ::IsWindowVisible(window) && ::GetDlgItem(window, IDOK)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK readAndCloseSheet(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND sheet = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), findSheet, reinterpret_cast<LPARAM>(&sheet));
    if (!sheet)
        return;  // not up yet: the next tick
    ::KillTimer(nullptr, timer);
    ++seen.shown;
    seen.caption = windowText(sheet);
    HWND tabs = reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
    char title[64] = "";
    TCITEMA tab = {};
    tab.mask = TCIF_TEXT;
    tab.pszText = title;
    tab.cchTextMax = sizeof(title);
    ::SendMessageA(tabs, TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tab));
    seen.page = title;
    HWND page = reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    HWND list = ::GetDlgItem(page, IDC_WINDOW_LIST);
    int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[128] = "";
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        ::SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
        seen.items.push_back(text);
    }
    RECT shown;
    ::GetWindowRect(sheet, &shown);
    screenShot(shown).saveIfAsked("customize");
    ::PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
}

// A window with child windows of the library, whose texts the page lists.
struct parentWithChildren {
    held<recordingWindow> parent;
    std::vector<held<VWnd>*> children;
    explicit parentWithChildren(const std::vector<std::string>& texts) {
        HWND window = parent->Make("customize parent");
        int y = 0;
        for (const std::string& text : texts) {
            auto* child = new held<VWnd>();
            RECT place = {0, y, 200, y + 20};
            (*child)->Create("STATIC", window, &place, text.c_str(), WS_CHILD | WS_VISIBLE, 0, nullptr, nullptr);
            children.push_back(child);
            y += 20;
        }
    }
    ~parentWithChildren() {
        for (held<VWnd>* child : children) {
            ::DestroyWindow((*child)->GetHandle());
            delete child;
        }
        ::DestroyWindow(parent->GetHandle());
    }
};

TEST(CustomizeDialog, PreparesAHiddenDialogOfTheLibrary) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    parentWithChildren p({"one"});
    held<VDockWndConfigDlg> dialog;
    EXPECT_EQ(dialog->Create(p.parent.get()), nullptr);
    HWND made = dialog->GetHandle();
    ASSERT_NE(made, nullptr);
    EXPECT_FALSE(::IsWindowVisible(made));
    EXPECT_EQ(windowText(made), "Customize");
    EXPECT_EQ(::GetWindow(made, GW_OWNER), p.parent->GetHandle());
    EXPECT_NE(::GetDlgItem(made, IDC_CUSTOMIZE_TABS), nullptr);
    EXPECT_EQ(windowText(::GetDlgItem(made, IDC_CUSTOMIZE_CLOSE)), "Close");
    RECT units = {0, 0, 278, 191}, client;
    ::MapDialogRect(made, &units);
    ::GetClientRect(made, &client);
    EXPECT_EQ(client.right, units.right) << "sizes in dialog units";
    EXPECT_EQ(client.bottom, units.bottom);
    EXPECT_EQ(::SendMessageA(made, WM_COMMAND, IDC_CUSTOMIZE_CLOSE, 0), 0);
}

TEST(CustomizeDialog, TheSheetListsTheParentsChildWindows) {
    std::string longText(60, 'w');
    parentWithChildren p({"Connections", longText, "Transfers"});
    held<VDockWndConfigDlg> dialog;
    dialog->Create(p.parent.get());
    seen = sheetSeen();
    for (int how : {SW_HIDE, SW_SHOWNORMAL, SW_SHOWNOACTIVATE})
        EXPECT_EQ(dialog->ShowWindow(how), 0) << how;
    EXPECT_EQ(seen.shown, 0);
    UINT_PTR timer = ::SetTimer(nullptr, 0, 100, readAndCloseSheet);
    EXPECT_EQ(dialog->ShowWindow(SW_SHOW), 1);
    ::KillTimer(nullptr, timer);
    ASSERT_EQ(seen.shown, 1);
    EXPECT_EQ(seen.caption, "Customize");
    EXPECT_EQ(seen.page, "&Windows");
    std::vector<std::string> expected;
    for (IWnd* child : p.parent->ChildObjects()) {
        char text[64] = "";
        child->GetWindowTextA(text, sizeof(text));
        expected.push_back(std::string(text).substr(0, 40));
    }
    EXPECT_EQ(seen.items, expected);
    EXPECT_EQ(seen.items.size(), 3u);
    EXPECT_NE(std::find(seen.items.begin(), seen.items.end(), std::string(40, 'w')), seen.items.end())
        << "at most 40 characters";
}

TEST(CustomizeDialog, TheDocksCustomizeCommandShowsIt) {
    frameFixture f;
    held<VDockWndConfigDlg> dialog;
    dialog->Create(&f.frame());
    seen = sheetSeen();
    EXPECT_EQ(f.dock().OnCommand(1, 0), -1) << "no dialog given yet";
    EXPECT_EQ(seen.shown, 0);
    f.dock().SetConfigDialog(dialog.get());
    UINT_PTR timer = ::SetTimer(nullptr, 0, 100, readAndCloseSheet);
    f.dock().OnCommand(1, 0);
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(seen.shown, 1);
    f.dock().SetConfigDialog(nullptr);
}

}  // namespace
}  // namespace vesk::ui::test
