// The search page: the result limit and the two auto-connect switches.
#include "extern/rsrc/rsrcIds.h"
#include "plugins/Ombrel/manager.h"
#include "plugins/Ombrel/moduleServices.h"
#include "plugins/Ombrel/optionPages.h"

namespace vesk::ss {

namespace {

void show(HWND page, CSSManager& manager) {
    SetDlgItemInt(page, IDC_SS_MAX_RESULTS, manager.GetMaxSearchResults(), FALSE);
    CheckDlgButton(page, IDC_SS_AUTO_CONNECT_START, manager.GetAutoConnectOnStart() ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_SS_AUTO_CONNECT_SEARCH, manager.GetAutoConnectOnSearch() ? BST_CHECKED : BST_UNCHECKED);
}

void store(HWND page, CSSManager& manager) {
    manager.SetMaxSearchResults(GetDlgItemInt(page, IDC_SS_MAX_RESULTS, nullptr, FALSE));
    manager.SetAutoConnectOnStart(IsDlgButtonChecked(page, IDC_SS_AUTO_CONNECT_START) == BST_CHECKED);
    manager.SetAutoConnectOnSearch(IsDlgButtonChecked(page, IDC_SS_AUTO_CONNECT_SEARCH) == BST_CHECKED);
}

}  // namespace

INT_PTR CALLBACK SearchPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    CSSManager* manager = services().manager;
    if (!manager)
        return 0;
    if (message == WM_INITDIALOG) {
        show(page, *manager);
        return 1;
    }
    if (message == WM_COMMAND) {
        if (wParam == pageOk || wParam == pageApply)
            store(page, *manager);
        else if (wParam == pageCancel)
            show(page, *manager);
    }
    return 0;
}

}  // namespace vesk::ss
