// The main frame's message hook: closing, destroying, minimizing, the tray
// icon's clicks, help and the owner-drawn menu items. Commands are in
// mainCommands.cpp.
#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/controlServices.h"
#include "plugins/ui/dockMenu.h"
#include "plugins/ui/layoutWindows.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/uiControl.h"
#include "vesk/data.h"

namespace vesk::ui {

namespace {

constexpr UINT trayMessage = 1690;
constexpr UINT trayMenuFlags = 0x2000;
constexpr int menuTextLeft = 22;
constexpr INT_PTR shellFileNotFound = 2;

// Registered once, before any tray icon is added, so that its number is
// never 0 (which would match every WM_NULL).
UINT TaskbarCreatedMessage() {
    static const UINT registered = ::RegisterWindowMessageA("TaskbarCreated");
    return registered;
}

const char* ItemText(ULONG_PTR data) {
    auto* text = reinterpret_cast<Istring*>(data);
    const char* chars = text ? text->c_str() : nullptr;
    return chars ? chars : "";
}

}  // namespace

LRESULT VDockMenu::OnMainMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    UINT taskbarCreated = TaskbarCreatedMessage();
    if (taskbarCreated && message == taskbarCreated && control_.ShowInTray() == 1 && control_.Links().tray)
        control_.Links().tray->Add();
    switch (message) {
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_KEYMENU && lParam == 0 && count_ > 0) {
            TrackMenu(commands_[0]);
            return 1;
        }
        return -1;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (wParam != 0 || !item || item->CtlType != ODT_MENU)
            return -1;
        DrawMenuItem(*item);
        return 1;
    }
    case WM_MEASUREITEM:
        if (auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam); item && item->CtlType == ODT_MENU)
            MeasureMenuItem(*item);
        return -1;
    case WM_CLOSE:
        return OnClose();
    case WM_DESTROY:
        return OnDestroy();
    case WM_SIZE:
        OnSize(wParam);
        return -1;
    case WM_HELP:
        OnHelp();
        return -1;
    case trayMessage:
        OnTrayMessage(lParam);
        return -1;
    case WM_SKINCHANGED:
        return 1;
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam));
    default:
        return -1;
    }
}

void VDockMenu::DrawMenuItem(const DRAWITEMSTRUCT& item) {
    bool selected = (item.itemState & ODS_SELECTED) != 0;
    ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    const char* text = ItemText(item.itemData);
    int image = MenuItemImage(text);
    if (image >= 0)
        ::ImageList_DrawEx(control_.GetSmallImageList(), image, item.hDC, item.rcItem.left, item.rcItem.top, 16, 16,
                           CLR_NONE, CLR_NONE, ILD_TRANSPARENT);
    RECT textRect = item.rcItem;
    textRect.left += menuTextLeft;
    int oldMode = ::SetBkMode(item.hDC, TRANSPARENT);
    COLORREF oldColour = ::SetTextColor(item.hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    ::DrawTextA(item.hDC, text, -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    ::SetTextColor(item.hDC, oldColour);
    ::SetBkMode(item.hDC, oldMode);
}

void VDockMenu::MeasureMenuItem(MEASUREITEMSTRUCT& item) {
    HWND main = control_.FrameWindow();
    HDC dc = ::GetWindowDC(main);
    if (!dc)
        return;
    const char* text = ItemText(item.itemData);
    SIZE size = {};
    if (::GetTextExtentPoint32A(dc, text, static_cast<int>(lstrlenA(text)), &size))
        item.itemWidth = static_cast<UINT>(size.cx);
    ::ReleaseDC(main, dc);
}

LRESULT VDockMenu::OnClose() {
    const controlLinks& links = control_.Links();
    ::ShowWindow(control_.FrameWindow(), SW_HIDE);
    if (links.shareEngine)
        links.shareEngine->setState(0);
    if (links.manager)
        links.manager->ConnectAll(false);
    if (control_.SaveOnExit() == 1 && links.settings) {
        links.settings->notify();
        links.settings->save();
    }
    return -1;
}

LRESULT VDockMenu::OnDestroy() {
    const controlLinks& links = control_.Links();
    // Other threads' sends are refused from here on; those already waiting
    // are served now, before disconnecting may wait on their threads.
    control_.MarkClosed();
    MSG pending;
    ::PeekMessageA(&pending, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    if (links.manager)
        links.manager->ConnectAll(false);
    if (links.runtime)
        links.runtime->shutdown();
    ::PostQuitMessage(0);
    return 0;
}

void VDockMenu::OnSize(WPARAM type) {
    HWND main = control_.FrameWindow();
    if (type == SIZE_MINIMIZED) {
        if (control_.MinimizeToTray() == 1 && control_.ShowInTray() == 1)
            HideTaskbarButton(main);
    } else if (type == SIZE_RESTORED) {
        if (control_.MinimizeToTray() == 1) {
            ShowTaskbarButton(main);
            if (IStatusBar* statusBar = control_.StatusBar()) {
                RECT client = {};
                ::GetClientRect(main, &client);
                statusBar->Resize(&client, nullptr, client.right, client.bottom);
                if (IWnd* status = interfaceCast<IWnd>(statusBar))
                    status->SendMsg(WM_PAINT, 0, 0);
            }
        }
        ::SetActiveWindow(main);
        ::SetForegroundWindow(main);
    }
}

void VDockMenu::OnHelp() {
    listServices& s = ListServices();
    HINSTANCE result = s.shellExecute(control_.FrameWindow(), "open", "Pelloran.chm", nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) == shellFileNotFound)
        s.messageBox(control_.FrameWindow(), "Error:Pelloran.chm Help file missing.", "Missing Help file", MB_ICONSTOP);
}

void VDockMenu::OnTrayMessage(LPARAM mouse) {
    HWND main = control_.FrameWindow();
    if (mouse == WM_LBUTTONDOWN) {
        ::ShowWindow(main, ::IsIconic(main) ? SW_RESTORE : SW_MINIMIZE);
    } else if (mouse == WM_RBUTTONDOWN && count_ > 0) {
        POINT at = {};
        ::GetCursorPos(&at);
        ::SetForegroundWindow(main);
        ::TrackPopupMenu(popups_[0], trayMenuFlags, at.x, at.y, 0, main, nullptr);
        ::PostMessageA(main, WM_NULL, 0, 0);
    }
}

}  // namespace vesk::ui
