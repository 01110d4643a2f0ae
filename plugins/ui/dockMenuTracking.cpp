// The menu bar's popups: one opens below its button and a message filter
// watches the menu's own loop, so that the arrow keys and the pointer move
// on to the neighbouring buttons as in a platform menu bar.
#include "plugins/ui/dockMenu.h"
#include "plugins/ui/uiControl.h"

namespace vesk::ui {

namespace {

// The menu bar tracking now; the filter hook has no user pointer. Only the
// GUI thread tracks, one popup at a time.
VDockMenu* trackingMenu = nullptr;

}  // namespace

void VDockMenu::TrackMenu(int commandId) {
    nextButton_ = commandId;
    while (nextButton_ != -1) {
        int current = nextButton_;
        nextButton_ = -1;
        TrackOne(current);
    }
}

void VDockMenu::TrackOne(int commandId) {
    int index = FindMenu(commandId);
    HMENU popup = GetPopup(index);
    if (!popup)
        return;
    openButton_ = commandId;
    escaped_ = false;
    allowPrevious_ = allowNext_ = true;
    // A pointer resting over the bar opens nothing: only a move does.
    ::GetCursorPos(&lastPoint_);
    ::ScreenToClient(buttons_, &lastPoint_);
    ::SendMessageA(buttons_, TB_SETHOTITEM, index, 0);
    ::SendMessageA(buttons_, TB_PRESSBUTTON, commandId, TRUE);
    // The first item is selected as a keyboard-opened platform menu does.
    ::PostMessageA(buttons_, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageA(buttons_, WM_KEYUP, VK_DOWN, 0xC0000001);
    trackingMode_ = 2;

    RECT button = {};
    ::SendMessageA(buttons_, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&button));
    ::MapWindowPoints(buttons_, nullptr, reinterpret_cast<POINT*>(&button), 2);
    TPMPARAMS exclude = {sizeof exclude, button};
    VDockMenu* outer = trackingMenu;
    trackingMenu = this;
    filter_ = ::SetWindowsHookExA(WH_MSGFILTER, &VDockMenu::MessageFilter, nullptr, ::GetCurrentThreadId());
    ::TrackPopupMenuEx(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL | TPM_VERPOSANIMATION, button.left,
                       button.bottom, control_.FrameWindow(), &exclude);
    if (filter_)
        ::UnhookWindowsHookEx(filter_);
    filter_ = nullptr;
    trackingMenu = outer;

    ::InvalidateRect(buttons_, nullptr, TRUE);
    ::UpdateWindow(buttons_);
    ::SetFocus(::GetParent(buttons_));
    ::SendMessageA(buttons_, TB_PRESSBUTTON, commandId, FALSE);
    ::SendMessageA(buttons_, TB_SETSTATE, commandId, TBSTATE_ENABLED);
    // The pointer may rest elsewhere: the button stays lit only while its
    // popup is open.
    ::SendMessageA(buttons_, TB_SETHOTITEM, static_cast<WPARAM>(-1), 0);
    trackingMode_ = 0;
    openButton_ = -1;
}

LRESULT CALLBACK VDockMenu::MessageFilter(int code, WPARAM wParam, LPARAM lParam) {
    if (code == MSGF_MENU && lParam && trackingMenu &&
        trackingMenu->FilterMenuMessage(*reinterpret_cast<const MSG*>(lParam)))
        return 1;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// True when the message is consumed.
bool VDockMenu::FilterMenuMessage(const MSG& message) {
    int open = FindMenu(openButton_);
    if (open < 0 || count_ == 0)
        return false;
    switch (message.message) {
    case WM_KEYDOWN:
        if ((message.wParam == VK_LEFT && allowPrevious_) || (message.wParam == VK_RIGHT && allowNext_)) {
            int step = message.wParam == VK_LEFT ? count_ - 1 : 1;
            nextButton_ = commands_[(open + step) % count_];
            ::PostMessageA(control_.FrameWindow(), WM_CANCELMODE, 0, 0);
            return true;
        }
        if (message.wParam == VK_ESCAPE) {
            trackingMode_ = 0;
            escaped_ = true;
        }
        return false;
    case WM_MOUSEMOVE: {
        POINT point = message.pt;
        ::ScreenToClient(buttons_, &point);
        if (point.x == lastPoint_.x && point.y == lastPoint_.y)
            return false;
        lastPoint_ = point;
        int hit = static_cast<int>(::SendMessageA(buttons_, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
        if (hit < 0 || hit >= count_)
            return false;
        ::SendMessageA(buttons_, TB_SETHOTITEM, hit, 0);
        if (commands_[hit] != openButton_) {
            nextButton_ = commands_[hit];
            ::PostMessageA(control_.FrameWindow(), WM_CANCELMODE, 0, 0);
        }
        return false;
    }
    case WM_LBUTTONDOWN: {
        POINT point = message.pt;
        ::ScreenToClient(buttons_, &point);
        int hit = static_cast<int>(::SendMessageA(buttons_, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
        if (hit != open)
            return false;
        // A click on the open menu's own button closes it for good.
        nextButton_ = -1;
        ::PostMessageA(control_.FrameWindow(), WM_CANCELMODE, 0, 0);
        return true;
    }
    default:
        return false;
    }
}

}  // namespace vesk::ui
