#include "plugins/ui/dockMenu.h"

#include <cstdio>
#include <string>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/tabBarHost.h"
#include "plugins/ui/uiControl.h"

namespace vesk::ui {

namespace {

struct menuEntry {
    unsigned text;
    int command;
    unsigned menu;
};

// The menu bar's buttons in order; the window menu's button carries its
// menu id as command.
const menuEntry menuBar[] = {
    {IDS_UIM_MENU_FILE, IDS_UIM_MENU_FILE, IDM_UIM_FILE},
    {IDS_UIM_MENU_VIEW, IDS_UIM_MENU_VIEW, IDM_UIM_VIEW},
    {IDS_UIM_MENU_SEARCH, IDS_UIM_MENU_SEARCH, IDM_UIM_SEARCH},
    {IDS_UIM_MENU_TOOLS, IDS_UIM_MENU_TOOLS, IDM_UIM_TOOLS},
    {IDS_UIM_MENU_WINDOW, IDM_UIM_WINDOW, IDM_UIM_WINDOW},
    {IDS_UIM_MENU_HELP, IDS_UIM_MENU_HELP, IDM_UIM_HELP},
};

constexpr BYTE menuButtonStyle = 0x58;  // drop-down, auto-size, text shown
constexpr DWORD paneDrawing = 0x100;

// The button whose drop-down arrow was pressed last; NM_CLICK opens it.
int pressedDropDown = -1;

}  // namespace

VDockMenu::VDockMenu(UIControl& control) : control_(control) {
    registerInterfaceOf<IDockMenu>(this);
    registerInterfaceOf<Igeneric>(this);
}

VDockMenu::~VDockMenu() {
    IDockWnd* dock = interfaceCast<IDockWnd>(toolBar_);
    if (dropDownHook_) {
        if (IWndEvents* events = interfaceCast<IWndEvents>(dock ? dock->GetContainer() : nullptr))
            events->RemoveMessageHook(dropDownHook_);
        dropDownHook_->release();
    }
    if (mainHook_) {
        if (IWndEvents* events = interfaceCast<IWndEvents>(control_.Links().frame))
            events->RemoveMessageHook(mainHook_);
        mainHook_->release();
    }
    for (int i = 0; i < count_; ++i)
        if (loaded_[i])
            ::DestroyMenu(loaded_[i]);
    if (toolBar_)
        toolBar_->release();
}

int VDockMenu::Create(const char* caption, RECT* rect) {
    IDockToolBarWnd* toolBar = control_.CreateDockToolBarWindow(caption, rect);
    if (!toolBar)
        return 0;
    toolBar->addRef();
    toolBar_ = toolBar;
    buttons_ = toolBar->GetToolBarHandle();
    ::SetWindowLongPtrA(buttons_, GWL_STYLE, toolBarStyle);
    ::SendMessageA(buttons_, TB_SETEXTENDEDSTYLE, 0, toolBarExStyle);
    ::ShowWindow(buttons_, SW_SHOW);

    IDockWnd* dock = interfaceCast<IDockWnd>(toolBar);
    IDockContainer* container = dock ? dock->GetContainer() : nullptr;
    toolBar->SetSizeableHorizontal(1);
    if (dock) {
        dock->SetDockVertical(0);
        dock->SetDockFullRow(1);
    }
    toolBar->SetIsMenu(1);
    if (container)
        container->SetAutoSizeChild(1);

    dropDownHook_ = NewMessageHook(&VDockMenu::DropDownHook, this);
    if (IWndEvents* events = interfaceCast<IWndEvents>(container); events && dropDownHook_)
        events->AddMessageHook(dropDownHook_);
    mainHook_ = NewMessageHook(&VDockMenu::MainHook, this);
    if (IWndEvents* events = interfaceCast<IWndEvents>(control_.Links().frame); events && mainHook_)
        events->AddMessageHook(mainHook_);

    // The platform's own button size: 20 bytes on 32-bit, more on 64-bit.
    ::SendMessageA(buttons_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    HINSTANCE language = control_.GetResourceInstance();
    for (const menuEntry& entry : menuBar) {
        char text[64] = "";
        HMENU menu = language ? ::LoadMenuA(language, MAKEINTRESOURCEA(entry.menu)) : nullptr;
        if (language)
            ::LoadStringA(language, entry.text, text, sizeof text);
        HMENU popup = menu ? ::GetSubMenu(menu, 0) : nullptr;
        int before = count_;
        AddMenu(entry.command, text, 0, popup);
        if (count_ > before)
            loaded_[before] = menu;
        else if (menu)
            ::DestroyMenu(menu);
    }
    if (HMENU window = PopupOf(IDM_UIM_WINDOW)) {
        IFrameClientWnd* client = control_.Links().frame ? control_.Links().frame->GetClientWnd() : nullptr;
        if (IWnd* clientWindow = interfaceCast<IWnd>(client))
            ::SendMessageA(clientWindow->GetHandle(), WM_MDISETMENU, 0, reinterpret_cast<LPARAM>(window));
    }

    SIZE size = {};
    ::SendMessageA(buttons_, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
    if (IWnd* window = interfaceCast<IWnd>(toolBar)) {
        RECT outer = {}, inner = {};
        if (window->GetWindowRect(&outer) && window->GetClientRect(&inner)) {
            int borderWidth = (outer.right - outer.left) - inner.right;
            int borderHeight = (outer.bottom - outer.top) - inner.bottom;
            window->SetWindowPos(nullptr, 0, 0, size.cx + borderWidth, size.cy + borderHeight,
                                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }

    HMENU view = PopupOf(IDS_UIM_MENU_VIEW);
    IDock* frameDock = control_.Links().frame ? control_.Links().frame->GetDock() : nullptr;
    // The mark says that docking is locked, as the item reads; the dock
    // (and the stored "LockDocking") keep whether docking is allowed.
    if (view && frameDock)
        ::CheckMenuItem(view, IDCMD_UIM_LOCK_DOCKING, frameDock->GetDockable() ? MF_UNCHECKED : MF_CHECKED);
    if (view && control_.Links().frame)
        ::CheckMenuItem(view, IDCMD_UIM_STATUS_BAR,
                        control_.Links().frame->GetStatusBarVisible() ? MF_CHECKED : MF_UNCHECKED);
    ListServices().viewMenu = view;
    // With auto-connect the manager may have connected before the menu existed.
    if (ss::ISSManager* manager = control_.Links().manager)
        SetConnectItems(manager->IsConnected());
    ShowStatusPanes();
    return 0;
}

void VDockMenu::ShowStatusPanes() {
    IStatusBar* statusBar = control_.Links().frame ? control_.Links().frame->GetStatusBar() : nullptr;
    HINSTANCE language = control_.GetResourceInstance();
    if (!statusBar || !language)
        return;
    char text[260] = "";
    ::LoadStringA(language, IDS_UIM_READY, text, sizeof text);
    statusBar->Output(text, 0, paneDrawing);
    char links[260] = "";
    ::LoadStringA(language, IDS_UIM_TIP_LINKS, links, sizeof links - 4);
    std::string linkText = std::string(links) + ": 0";
    statusBar->Output(linkText.c_str(), 1, paneDrawing);
    statusBar->Output("DL: 0  UL: 0", 2, paneDrawing);
}

int VDockMenu::AddMenu(int commandId, const char* text, int, HMENU popup) {
    if (!buttons_ || count_ >= maxMenus)
        return commandId;
    // The toolbar's string list wants two terminating zeros.
    std::string strings = std::string(text ? text : "") + '\0' + '\0';
    LRESULT stringIndex = ::SendMessageA(buttons_, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(strings.data()));
    TBBUTTON button = {};
    button.iBitmap = I_IMAGENONE;
    button.idCommand = commandId;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = menuButtonStyle;
    button.iString = stringIndex;
    if (!::SendMessageA(buttons_, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button)))
        return commandId;
    popups_[count_] = popup;
    commands_[count_] = commandId;
    indexOf_[commandId] = count_;
    ++count_;
    return commandId;
}

int VDockMenu::FindMenu(int commandId) {
    if (commandId == -1 || !buttons_)
        return -1;
    return static_cast<int>(::SendMessageA(buttons_, TB_COMMANDTOINDEX, commandId, 0));
}

HMENU VDockMenu::GetPopup(int index) const { return index >= 0 && index < count_ ? popups_[index] : nullptr; }

HMENU VDockMenu::PopupOf(int commandId) const {
    auto found = indexOf_.find(commandId);
    return found == indexOf_.end() ? nullptr : popups_[found->second];
}

LRESULT VDockMenu::DropDownHook(void* self, HWND, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY || !lParam)
        return -1;
    auto* header = reinterpret_cast<const NMHDR*>(lParam);
    auto* menu = static_cast<VDockMenu*>(self);
    if (header->hwndFrom != menu->buttons_)
        return -1;
    if (header->code == TBN_DROPDOWN) {
        pressedDropDown = reinterpret_cast<const NMTOOLBARA*>(lParam)->iItem;
    } else if (header->code == static_cast<UINT>(NM_CLICK) && pressedDropDown != -1) {
        int command = pressedDropDown;
        pressedDropDown = -1;
        menu->TrackMenu(command);
    }
    return -1;
}

LRESULT VDockMenu::MainHook(void* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return static_cast<VDockMenu*>(self)->OnMainMessage(window, message, wParam, lParam);
}

}  // namespace vesk::ui
