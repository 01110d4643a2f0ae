// The dock toolbar one of the main window's toolbars lives in: made
// through the controller, its buttons and images from a toolbar resource of
// the default module, the toolbar's message hook on its container (where
// the buttons' commands and tooltip requests arrive), and the tooltips'
// texts from the language module.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "plugins/ui/tabBarHost.h"
#include "vesk/ui.h"

namespace vesk::ui {

// The toolbars' own style: the library's without wrapping, so that a
// docked bar keeps its buttons in one row (wrapped once in a narrow
// floating window, a bar docked at the wrapped width kept wrapping).
constexpr DWORD singleRowToolBarStyle = 0x52008D6C;

struct toolTip {
    int command;
    unsigned text;  // id in the language module
};

class toolBarHost {
public:
    toolBarHost() = default;
    ~toolBarHost();
    toolBarHost(const toolBarHost&) = delete;
    toolBarHost& operator=(const toolBarHost&) = delete;

    // False without the controller or when the toolbar cannot be made (no
    // hook then). A style of 0 keeps the library's own. The buttons keep
    // the platform's spacing: with none, Wine lays them out narrower than
    // the button size the toolbar wraps by, and a docked bar shrank to a
    // column of buttons.
    bool Make(const char* caption, RECT* rect, DWORD style, unsigned toolBarId, unsigned bitmapId, hookFn hook,
              void* self);
    IDockToolBarWnd* Bar() const { return bar_; }
    IDockWnd* DockWnd() const { return interfaceCast<IDockWnd>(bar_); }
    HWND Buttons() const { return buttons_; }

    // TTN_NEEDTEXTA for one of the tips: the text is put into the request;
    // false for any other message.
    static bool AnswerToolTip(UINT message, LPARAM lParam, const toolTip* tips, int count);
    // WM_SHOWWINDOW of a window: its item in the view menu follows.
    static void MarkViewItem(int item, bool shown);

private:
    IDockToolBarWnd* bar_ = nullptr;  // one reference
    HWND buttons_ = nullptr;
    IWndProc* hook_ = nullptr;  // one reference, on the container
};

}  // namespace vesk::ui
