// The dock tab bar a list window lives in: made through the controller,
// registered as a tab stop, given the shared small image list, with the
// window's message hook on its container, where the lists' notifications
// arrive.
#pragma once

#include <windows.h>

#include "vesk/ui.h"

namespace vesk::ui {

using hookFn = LRESULT (*)(void* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A new "vesk::ui::VWndProc" calling fn with self first, with one reference
// for the caller; null without the factory.
IWndProc* NewMessageHook(hookFn fn, void* self);

class tabBarHost {
public:
    tabBarHost() = default;
    ~tabBarHost();
    tabBarHost(const tabBarHost&) = delete;
    tabBarHost& operator=(const tabBarHost&) = delete;

    // False without the controller or when the tab bar cannot be made.
    bool Make(const char* caption, RECT* rect, hookFn hook, void* self);
    IDockTabBarWnd* Bar() const { return bar_; }
    IDockWnd* DockWnd() const;
    IDockContainer* Container() const;
    // The window the lists and pages are made in: the tab strip's parent.
    HWND ContentParent() const;
    // A tab with the default module's icon; its index or -1.
    int AddTab(const char* caption, HWND window, int iconId);

private:
    IDockTabBarWnd* volatile bar_ = nullptr;  // one reference; read by WaitCreated's thread
    IWndProc* hook_ = nullptr;                // one reference, on the container
};

}  // namespace vesk::ui
