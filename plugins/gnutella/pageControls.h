// Reading and writing the controls of the module's option pages.
#pragma once

#include <windows.h>

namespace vesk::gnutella {

// The control's number, read unsigned (0 when it holds none).
inline unsigned PageNumber(HWND page, int id) {
    return GetDlgItemInt(page, id, nullptr, FALSE);
}
inline void ShowPageNumber(HWND page, int id, unsigned number) {
    SetDlgItemInt(page, id, number, FALSE);
}
inline bool PageBox(HWND page, int id) {
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}
inline void ShowPageBox(HWND page, int id, bool on) {
    CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED);
}
inline void EnablePageControl(HWND page, int id, bool on) {
    if (HWND control = GetDlgItem(page, id))
        EnableWindow(control, on ? TRUE : FALSE);
}

// The options dialog's commands to every page.
enum pageCommand : WPARAM { pageOk = 1, pageCancel = 2, pageApply = 101 };

// Cancel shows the stored values again, as the page's start does.
inline void ShowStoredAgain(HWND page) {
    SendMessageA(page, WM_INITDIALOG, 0, 0);
}

}  // namespace vesk::gnutella
