#include "plugins/Dravik/dockWndConfigDlg.h"

#include <commctrl.h>

#include "plugins/Dravik/dravikIds.h"
#include "plugins/Dravik/libraryModule.h"
#include "plugins/Dravik/wndProcs.h"

namespace vesk::ui {

VDockWndConfigDlg::VDockWndConfigDlg() {
    registerInterfaceOf<IDockWndConfigDlg>(this);
    registerInterfaceOf<IWnd>(this);
    registerInterfaceOf<Igeneric>(this);
}

VDockWndConfigDlg::~VDockWndConfigDlg() {
    if (hWnd_ && ::IsWindow(hWnd_))
        ::DestroyWindow(hWnd_);
}

HWND VDockWndConfigDlg::Create(IWnd* parent) {
    parent_ = parent;
    HWND owner = parent ? parent->GetHandle() : nullptr;
    HMODULE library = LibraryModule();
    if (!hWnd_) {
        HWND dialog = ::CreateDialogParamA(library, MAKEINTRESOURCEA(IDD_CUSTOMIZE), owner, ___DlgProc, 0);
        if (dialog)
            Attach(dialog);
    }
    LoadLibraryString(IDS_CUSTOMIZE_CAPTION, caption_, sizeof(caption_));
    LoadLibraryString(IDS_WINDOWS_PAGE, pageTitle_, sizeof(pageTitle_));
    page_ = PROPSHEETPAGEA();
    page_.dwSize = sizeof(page_);
    page_.dwFlags = PSP_USETITLE;
    page_.hInstance = library;
    page_.pszTemplate = MAKEINTRESOURCEA(IDD_WINDOWS_PAGE);
    page_.pszTitle = pageTitle_;
    page_.pfnDlgProc = WndProcDlg;
    page_.lParam = reinterpret_cast<LPARAM>(this);
    sheet_ = PROPSHEETHEADERA();
    sheet_.dwSize = sizeof(sheet_);
    sheet_.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
    sheet_.hwndParent = owner;
    sheet_.hInstance = library;
    sheet_.pszCaption = caption_;
    sheet_.nPages = 1;
    sheet_.ppsp = &page_;
    return nullptr;
}

BOOL VDockWndConfigDlg::ShowWindow(int how) {
    if (how != SW_SHOW || sheet_.dwSize == 0)
        return 0;
    ::PropertySheetA(&sheet_);
    return 1;
}

LRESULT VDockWndConfigDlg::OnCommand(LONG_PTR wParam, LONG_PTR) {
    if (LOWORD(wParam) != IDC_CUSTOMIZE_CLOSE)
        return -1;
    ShowWindow(SW_HIDE);
    return 0;
}

INT_PTR CALLBACK WndProcDlg(HWND page, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG)
        return 0;
    const auto* sheetPage = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
    auto* dialog = sheetPage ? reinterpret_cast<VDockWndConfigDlg*>(sheetPage->lParam) : nullptr;
    auto* parent = dialog ? dynamic_cast<VWnd*>(dialog->Parent()) : nullptr;
    HWND list = ::GetDlgItem(page, IDC_WINDOW_LIST);
    if (!parent || !list)
        return 1;
    int row = 0;
    for (IWnd* child : parent->ChildObjects()) {
        char text[VDockWndConfigDlg::longestWindowText + 1] = "";
        child->GetWindowTextA(text, sizeof(text));
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row++;
        item.pszText = text;
        ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    return 1;
}

}  // namespace vesk::ui
