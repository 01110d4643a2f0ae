// Reading and writing the controls of the module's option pages.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "plugins/gnutella/CGnutellaSettings.h"

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

// A number box and the setting it shows and stores.
struct numberSetting {
    int control;
    std::atomic<std::uint32_t> CGnutellaSettings::*field;
};
template <std::size_t N>
void ShowPageNumbers(HWND page, const numberSetting (&rows)[N]) {
    for (const numberSetting& row : rows)
        ShowPageNumber(page, row.control, (g_Settings.*row.field).load());
}
template <std::size_t N>
void StorePageNumbers(HWND page, const numberSetting (&rows)[N]) {
    for (const numberSetting& row : rows)
        (g_Settings.*row.field).store(PageNumber(page, row.control));
}

// The options dialog's commands to every page.
enum pageCommand : WPARAM { pageOk = 1, pageCancel = 2, pageApply = 101 };

// Cancel shows the stored values again, as the page's start does.
inline void ShowStoredAgain(HWND page) {
    SendMessageA(page, WM_INITDIALOG, 0, 0);
}

}  // namespace vesk::gnutella
