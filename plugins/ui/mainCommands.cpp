// The main window's commands, from the menus, the accelerators and the
// view toolbar: one handler for all of them.
#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/controlServices.h"
#include "plugins/ui/dockMenu.h"
#include "plugins/ui/layoutWindows.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/toolBars.h"
#include "plugins/ui/uiControl.h"

namespace vesk::ui {

namespace {

constexpr int webSiteLimit = 60;  // the address is at most 59 characters
constexpr int volumeStep = 10;

// The commands that show a hidden window and hide a shown one.
struct toggleEntry {
    int command;
    layoutSlot slot;
};

const toggleEntry toggles[] = {
    {IDCMD_UIM_HOST_WND, layoutSlot::hostWindow},       {IDCMD_UIM_ACC_HOST_WND, layoutSlot::hostWindow},
    {IDCMD_UIM_HISTORY_WND, layoutSlot::historyWindow}, {IDCMD_UIM_ACC_HISTORY_WND, layoutSlot::historyWindow},
    {IDCMD_UIM_STAT_WND, layoutSlot::statisticsWindow}, {IDCMD_UIM_ACC_STAT_WND, layoutSlot::statisticsWindow},
    {IDCMD_UIM_TRANSFER_WND, layoutSlot::transferWindow}, {IDCMD_UIM_ACC_TRANSFER_WND, layoutSlot::transferWindow},
    {IDCMD_UIM_CONNECT_TB, layoutSlot::connectToolBar}, {IDCMD_UIM_SEARCH_TB, layoutSlot::searchToolBar},
    {IDCMD_UIM_TRANSFER_TB, layoutSlot::transferToolBar}, {IDCMD_UIM_VIEW_TB, layoutSlot::viewToolBar},
    {IDCMD_UIM_AUDIO_TB, layoutSlot::audioToolBar},
};

void SetItemEnabled(HMENU popup, int item, bool enabled) {
    if (!popup)
        return;
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    info.fState = enabled ? MFS_ENABLED : MFS_DISABLED;
    ::SetMenuItemInfoA(popup, static_cast<UINT>(item), FALSE, &info);
}

HWND ContainerOf(IDockWnd* window) { return window ? window->GetContainerHandle() : nullptr; }

}  // namespace

LRESULT VDockMenu::OnCommand(int id) {
    const controlLinks& links = control_.Links();
    for (const toggleEntry& toggle : toggles)
        if (toggle.command == id) {
            ToggleWindow(static_cast<int>(toggle.slot));
            return -1;
        }
    switch (id) {
    case IDCMD_UIM_CONNECT:
    case IDCMD_UIM_MENU_CONNECT:
        SetConnectItems(true);
        ::SendMessageA(ContainerOf(control_.LayoutWindow(layoutSlot::connectToolBar)), WM_COMMAND,
                       IDCMD_UIM_TB_CONNECT, 0);
        return -1;
    case IDCMD_UIM_DISCONNECT:
    case IDCMD_UIM_MENU_DISCONNECT:
        SetConnectItems(false);
        ::SendMessageA(ContainerOf(control_.LayoutWindow(layoutSlot::connectToolBar)), WM_COMMAND,
                       IDCMD_UIM_TB_DISCONNECT, 0);
        return -1;
    case IDCMD_UIM_EXIT:
    case IDCMD_UIM_MENU_EXIT:
        ::SendMessageA(control_.FrameWindow(), WM_CLOSE, 0, 0);
        return -1;
    case IDCMD_UIM_OPTIONS:
    case IDCMD_UIM_MENU_OPTIONS:
    case IDCMD_UIM_TB_OPTIONS:
        if (IOptions* options = links.options) {
            if (OptionsDialogVisible())
                options->Hide();
            else
                options->Show();
        }
        return -1;
    case IDCMD_UIM_SAVE_NOW:
    case IDCMD_UIM_MENU_SAVE_NOW:
        SaveNow();
        return -1;
    case IDCMD_UIM_SELECT_ALL:
        SelectAllInFocusedList();
        return -1;
    case IDCMD_UIM_INFO:
        ShowInformationDialog(control_.FrameWindow());
        return -1;
    case IDCMD_UIM_HELP:
        ::SendMessageA(control_.FrameWindow(), WM_HELP, 0, 0);
        return -1;
    case IDCMD_UIM_WEB_SITE: {
        std::string site = LanguageText(IDS_UIM_WEB_SITE, webSiteLimit);
        ListServices().shellExecute(control_.FrameWindow(), "open", site.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return -1;
    }
    case IDCMD_UIM_SAVE_ON_EXIT:
        control_.SetSaveOnExit(control_.SaveOnExit() == 1 ? 0 : 1);
        ShowSaveOnExitOnGeneralPage(control_.SaveOnExit() == 1);
        control_.MarkSaveOnExitItem();
        return -1;
    case IDCMD_UIM_STOP_SELECTED:
        FireOnResultSelection(ListText(IDS_UIM_TIP_STOP));
        return -1;
    case IDCMD_UIM_CLEAR_ALL:
        FireOnEveryDownload(IDS_GNU_ACTION_REMOVE);
        return -1;
    case IDCMD_UIM_DOWNLOAD_SELECTED:
        if (links.manager && links.manager->GetCurrentResultWindow()) {
            FireOnResultSelection(ListText(IDS_UIM_TIP_DOWNLOAD));
            FireOnResultSelection(LanguageText(IDS_GNU_ACTION_RETRY).c_str());
        }
        return -1;
    case IDCMD_UIM_RETRY_ALL:
        FireOnEveryDownload(IDS_GNU_ACTION_RETRY);
        return -1;
    case IDCMD_UIM_LOCK_DOCKING:
    case IDCMD_UIM_ACC_LOCK_DOCKING: {
        bool locked = false;
        FlipCheck(PopupOf(IDS_UIM_MENU_VIEW), IDCMD_UIM_LOCK_DOCKING, &locked);
        if (IDock* dock = links.frame ? links.frame->GetDock() : nullptr)
            dock->SetDockable(locked ? 0 : 1);
        return -1;
    }
    case IDCMD_UIM_STATUS_BAR:
    case IDCMD_UIM_ACC_STATUS_BAR: {
        bool checked = false;
        FlipCheck(PopupOf(IDS_UIM_MENU_VIEW), IDCMD_UIM_STATUS_BAR, &checked);
        if (links.frame)
            links.frame->SetStatusBarVisible(checked ? 1 : 0);
        return -1;
    }
    case IDCMD_UIM_NEXT_WINDOW:
    case IDCMD_UIM_PREVIOUS_WINDOW: {
        IWnd* client = interfaceCast<IWnd>(links.frame ? links.frame->GetClientWnd() : nullptr);
        if (client)
            client->SendMsg(WM_MDINEXT, 0, 0);
        return -1;
    }
    case IDCMD_UIM_ABOUT:
        ShowAboutDialog(control_.FrameWindow());
        return -1;
    case IDCMD_UIM_TRACK_HELP:
        if (count_ > 5)
            TrackMenu(commands_[5]);
        return -1;
    case IDCMD_UIM_FILTER_BAR:
        if (ISearchResultWnd* results = links.manager ? links.manager->GetCurrentResultWindow() : nullptr)
            if (!results->HideFilter())
                results->ShowFilter();
        return -1;
    case IDCMD_UIM_TAB:
        return control_.FocusNextTabStop() ? 0 : -1;
    case IDCMD_UIM_VOLUME_UP:
        ChangePlayerVolume(volumeStep);
        return -1;
    case IDCMD_UIM_VOLUME_DOWN:
        ChangePlayerVolume(-volumeStep);
        return -1;
    case IDCMD_UIM_MUTE:
        TogglePlayerMute();
        return -1;
    default:
        break;
    }
    if (id >= IDCMD_UIM_TRACK_MENU_0 && id <= IDCMD_UIM_TRACK_MENU_4) {
        int index = id - IDCMD_UIM_TRACK_MENU_0;
        if (index < count_)
            TrackMenu(commands_[index]);
    }
    return -1;
}

void VDockMenu::ToggleWindow(int slot) {
    IDockWnd* window = control_.LayoutWindow(static_cast<layoutSlot>(slot));
    if (!window)
        return;
    if (window->GetVisible())
        window->Hide();
    else
        window->Show();
}

void VDockMenu::SetConnectItems(bool connected) {
    HMENU file = PopupOf(IDS_UIM_MENU_FILE);
    SetItemEnabled(file, IDCMD_UIM_MENU_CONNECT, !connected);
    SetItemEnabled(file, IDCMD_UIM_MENU_DISCONNECT, connected);
}

void VDockMenu::FlipCheck(HMENU popup, int item, bool* nowChecked) {
    bool checked = popup && (::GetMenuState(popup, static_cast<UINT>(item), MF_BYCOMMAND) & MF_CHECKED);
    if (popup)
        ::CheckMenuItem(popup, static_cast<UINT>(item), MF_BYCOMMAND | (checked ? MF_UNCHECKED : MF_CHECKED));
    *nowChecked = popup && !checked;
}

void VDockMenu::SaveNow() {
    persist::Isettings* settings = control_.Links().settings;
    if (!settings)
        return;
    HCURSOR before = ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));  // IDC_WAIT
    settings->notify();
    settings->save();
    ::SetCursor(before);
}

void VDockMenu::SelectAllInFocusedList() {
    HWND focused = ::GetFocus();
    char className[32] = "";
    if (!focused || !::GetClassNameA(focused, className, sizeof className) ||
        lstrcmpiA(className, WC_LISTVIEWA) != 0)
        return;
    int rows = static_cast<int>(::SendMessageA(focused, LVM_GETITEMCOUNT, 0, 0));
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    for (int row = 0; row < rows; ++row)
        ::SendMessageA(focused, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

}  // namespace vesk::ui
