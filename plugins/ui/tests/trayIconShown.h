// Whether the frame's tray icon (id 0) is there: changing an icon succeeds
// only while it exists. Shared by the tests and the probe module.
#pragma once

#include <windows.h>
#include <shellapi.h>

namespace vesk::ui::test {

inline bool TrayIconShown(HWND owner) {
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof data;
    data.hWnd = owner;
    data.uID = 0;
    data.uFlags = NIF_TIP;
    return ::Shell_NotifyIconA(NIM_MODIFY, &data) != 0;
}

}  // namespace vesk::ui::test
