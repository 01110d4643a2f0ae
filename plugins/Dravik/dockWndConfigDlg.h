// The Customize dialog: a property sheet with one page listing the child
// windows of the window it was made for.
#pragma once

#include <windows.h>
#include <prsht.h>

#include "plugins/Dravik/export.h"
#include "plugins/Dravik/wnd.h"
#include "vesk/ui.h"

namespace vesk::ui {

class DRAVIK_API VDockWndConfigDlg : public VWnd, public IDockWndConfigDlg {
public:
    static constexpr int longestWindowText = 40;

    VDockWndConfigDlg();
    VDockWndConfigDlg(const VDockWndConfigDlg&) = delete;
    VDockWndConfigDlg& operator=(const VDockWndConfigDlg&) = delete;
    ~VDockWndConfigDlg() override;

    using VWnd::Create;
    HWND Create(IWnd* parent) override;
    BOOL ShowWindow(int how) override;
    // "Close" of the (hidden) dialog.
    LRESULT OnCommand(LONG_PTR wParam, LONG_PTR lParam) override;

    IWnd* Parent() const { return parent_; }

private:
    char caption_[64] = "";
    char pageTitle_[64] = "";
    PROPSHEETPAGEA page_ = {};
    PROPSHEETHEADERA sheet_ = {};
};

// The page's dialog procedure: on WM_INITDIALOG it fills the list with the
// texts of the parent's child windows, in the parent's order.
DRAVIK_API INT_PTR CALLBACK WndProcDlg(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace vesk::ui
