#include "plugins/ui/centreOver.h"

#include <algorithm>

namespace vesk::ui {

void CentreOver(HWND window, HWND owner) {
    RECT own;
    if (!window || !::GetWindowRect(window, &own))
        return;
    bool ownerShown = owner && ::IsWindowVisible(owner) && !::IsIconic(owner);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    HMONITOR screen = ::MonitorFromWindow(ownerShown ? owner : window, MONITOR_DEFAULTTONEAREST);
    if (!screen || !::GetMonitorInfoA(screen, &monitor))
        return;
    const RECT& work = monitor.rcWork;
    RECT around = work;
    if (ownerShown)
        ::GetWindowRect(owner, &around);
    LONG width = own.right - own.left, height = own.bottom - own.top;
    LONG left = around.left + ((around.right - around.left) - width) / 2;
    LONG top = around.top + ((around.bottom - around.top) - height) / 2;
    // On the screen, its top left corner first when it is the larger.
    left = std::max(work.left, std::min(left, work.right - width));
    top = std::max(work.top, std::min(top, work.bottom - height));
    ::SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace vesk::ui
