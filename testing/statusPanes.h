// What a test reads of a status window's panes: text, drawing flags, icon.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace vesk::testing {

inline std::string paneText(HWND statusWindow, int pane) {
    auto length = LOWORD(::SendMessageA(statusWindow, SB_GETTEXTLENGTHA, pane, 0));
    std::string text(length + 1u, '\0');
    ::SendMessageA(statusWindow, SB_GETTEXTA, pane, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(length);
    return text;
}

inline DWORD paneFlags(HWND statusWindow, int pane) {
    return HIWORD(::SendMessageA(statusWindow, SB_GETTEXTLENGTHA, pane, 0));
}

inline HICON paneIcon(HWND statusWindow, int pane) {
    return reinterpret_cast<HICON>(::SendMessageA(statusWindow, SB_GETICON, pane, 0));
}

}  // namespace vesk::testing
