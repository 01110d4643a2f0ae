// Window objects that do nothing: every operation answers 0 (null, false)
// and every message handler -1, "not handled". Fakes derive from them and
// override only the operations their callers use.
#pragma once

#include <windows.h>

#include "vesk/ui.h"

namespace vesk::testing {

class inertWndEvents : public ui::IWndEvents {
public:
    int AddMessageHook(ui::IWndProc*) override { return 0; }
    int RemoveMessageHook(ui::IWndProc*) override { return 0; }
    LRESULT WindowProc(UINT, WPARAM, LPARAM) override { return -1; }
    LRESULT OnActivateApp(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnCancelMode(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnChildActivate(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnPaint(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnClose(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnCompacting(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnCreate(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnDestroy(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnEnable(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnEnterSizeMove(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnEraseBkGnd(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnExitSizeMove(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnGetIcon(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnGetMinMaxInfo(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnGetText(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnGetTextLength(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnInputLangChange(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnInputLangChangeRequest(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnMove(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnMoving(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnNcActivate(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnNcCalcSize(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnNcCreate(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnNcDestroy(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnNcPaint(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnNcLButtonDown(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnNcLButtonDblClk(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnNotify(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnNotifyChild(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnParentNotify(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnQueryDragIcon(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnQueryOpen(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnQuit(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnSetIcon(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnSetText(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnShowWindow(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnSizing(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnSizeParent(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnSize(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnStyleChanged(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnStyleChanging(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnUserChanged(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnWindowPosChanged(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnWindowPosChanging(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnLButtonUp(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnLButtonDown(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnLButtonDblClk(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnRButtonDown(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnRButtonUp(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnMouseMove(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnNcHitTest(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnTimer(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnInitMenu(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnInitMenuPopup(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnMenuChar(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnMenuSelect(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnSysChar(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnSysCommand(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnCommand(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnDrawItem(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnMouseWheel(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnCaptureChanged(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnMButtonDown(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnMButtonUp(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnMouseActivate(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnMouseHover(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnMouseLeave(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnNcMouseLeave(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnNcMouseMove(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnAppCommand(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnMDIActivate(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnSettingChange(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnSkinChanged(LONG_PTR, LONG_PTR) override { return -1; }
};

class inertWnd : public ui::IWnd {
public:
    LONG_PTR Attach(ui::IWnd*) override { return 0; }
    void Attach(HWND) override {}
    HWND Detach() override { return 0; }
    ATOM Register(const char*, UINT, HICON, HICON, HBRUSH, WNDPROC) override { return 0; }
    HWND Create(const char*, HWND, RECT*, const char*, DWORD, DWORD, HMENU, void*) override { return 0; }
    HWND Create(const char*, HWND, RECT&, const char*, DWORD, DWORD, UINT, void*) override { return 0; }
    LONG_PTR SetWindowClassPtr(ui::IWnd*) override { return 0; }
    int DestroyWindow() override { return 0; }
    int OnChildAttached(ui::IWnd*) override { return -1; }
    int OnChildDetach(ui::IWnd*) override { return -1; }
    BOOL AdjustWindowRectEx(RECT*) override { return 0; }
    DWORD GetStyle(DWORD) override { return 0; }
    DWORD GetStyle() override { return 0; }
    DWORD GetExStyle(DWORD) override { return 0; }
    DWORD GetExStyle() override { return 0; }
    LONG GetWindowLongA(int) override { return 0; }
    LONG SetWindowLongA(int, LONG) override { return 0; }
    HWND GetHandle() override { return 0; }
    WNDPROC SubclassWindowProc(WNDPROC) override { return 0; }
    WORD GetWindowWord(int) override { return 0; }
    WORD SetWindowWord(int, WORD) override { return 0; }
    LRESULT SendMsg(HWND, UINT, WPARAM, LPARAM) override { return 0; }
    LRESULT SendMsg(UINT, WPARAM, LPARAM) override { return 0; }
    BOOL PostMessageA(UINT, WPARAM, LPARAM) override { return 0; }
    BOOL SendNotifyMessageA(UINT, WPARAM, LPARAM) override { return 0; }
    BOOL SetWindowTextA(const char*) override { return 0; }
    int GetWindowTextA(char*, int) override { return 0; }
    int GetWindowTextLengthA() override { return 0; }
    void SetFont(HFONT, BOOL) override {}
    HFONT GetFont() override { return 0; }
    HMENU GetMenu() override { return 0; }
    BOOL SetMenu(HMENU) override { return 0; }
    BOOL DrawMenuBar() override { return 0; }
    HMENU GetSystemMenu(BOOL) override { return 0; }
    BOOL HiliteMenuItem(HMENU, UINT, UINT) override { return 0; }
    BOOL IsIconic() override { return 0; }
    BOOL IsZoomed() override { return 0; }
    BOOL MoveWindow(const RECT*, BOOL) override { return 0; }
    BOOL MoveWindow(int, int, int, int, BOOL) override { return 0; }
    BOOL SetWindowPos(HWND, const RECT*, UINT) override { return 0; }
    BOOL SetWindowPos(HWND, int, int, int, int, UINT) override { return 0; }
    UINT ArrangeIconicWindows() override { return 0; }
    BOOL BringWindowToTop() override { return 0; }
    BOOL GetWindowRect(RECT*) override { return 0; }
    BOOL GetClientRect(RECT*) override { return 0; }
    long GetWidth() override { return 0; }
    long GetHeight() override { return 0; }
    BOOL GetWindowPlacement(WINDOWPLACEMENT*) override { return 0; }
    BOOL SetWindowPlacement(const WINDOWPLACEMENT*) override { return 0; }
    BOOL ClientToScreen(RECT*) override { return 0; }
    BOOL ClientToScreen(POINT*) override { return 0; }
    BOOL ScreenToClient(RECT*) override { return 0; }
    BOOL ScreenToClient(POINT*) override { return 0; }
    int MapWindowPoints(HWND, RECT*) override { return 0; }
    int MapWindowPoints(HWND, POINT*, UINT) override { return 0; }
    HDC BeginPaint(PAINTSTRUCT*) override { return 0; }
    BOOL EndPaint(PAINTSTRUCT*) override { return 0; }
    HDC GetDC() override { return 0; }
    HDC GetWindowDC() override { return 0; }
    int ReleaseDC(HDC) override { return 0; }
    void Print(HDC, DWORD) override {}
    void PrintClient(HDC, DWORD) override {}
    BOOL UpdateWindow() override { return 0; }
    void SetRedraw(BOOL) override {}
    BOOL GetUpdateRect(RECT*, BOOL) override { return 0; }
    int GetUpdateRgn(HRGN, BOOL) override { return 0; }
    BOOL Invalidate(BOOL) override { return 0; }
    BOOL InvalidateRect(const RECT*, BOOL) override { return 0; }
    BOOL ValidateRect(const RECT*) override { return 0; }
    BOOL InvalidateRgn(HRGN, BOOL) override { return 0; }
    BOOL ValidateRgn(HRGN) override { return 0; }
    BOOL ShowWindow(int) override { return 0; }
    BOOL IsWindowVisible() override { return 0; }
    BOOL ShowOwnedPopups(BOOL) override { return 0; }
    HDC GetDCEx(HRGN, DWORD) override { return 0; }
    BOOL LockWindowUpdate(BOOL) override { return 0; }
    BOOL RedrawWindow(const RECT*, HRGN, UINT) override { return 0; }
    UINT_PTR SetTimer(UINT_PTR, UINT) override { return 0; }
    BOOL KillTimer(UINT_PTR) override { return 0; }
    BOOL IsWindowEnabled() override { return 0; }
    BOOL EnableWindow(BOOL) override { return 0; }
    HWND SetActiveWindow() override { return 0; }
    HWND SetCapture() override { return 0; }
    HWND SetFocus() override { return 0; }
    BOOL CheckDlgButton(int, UINT) override { return 0; }
    BOOL CheckRadioButton(int, int, int) override { return 0; }
    int DlgDirListA(char*, int, int, UINT) override { return 0; }
    int DlgDirListComboBoxA(char*, int, int, UINT) override { return 0; }
    BOOL DlgDirSelect(char*, int, int) override { return 0; }
    BOOL DlgDirSelectComboBox(char*, int, int) override { return 0; }
    UINT GetDlgItemInt(int, BOOL*, BOOL) override { return 0; }
    UINT GetDlgItemTextA(int, char*, int) override { return 0; }
    HWND GetNextDlgGroupItem(HWND, BOOL) override { return 0; }
    HWND GetNextDlgTabItem(HWND, BOOL) override { return 0; }
    UINT IsDlgButtonChecked(int) override { return 0; }
    LRESULT SendDlgItemMessageA(int, UINT, WPARAM, LPARAM) override { return 0; }
    BOOL SetDlgItemInt(int, UINT, BOOL) override { return 0; }
    BOOL SetDlgItemTextA(int, const char*) override { return 0; }
    int GetScrollPos(int) override { return 0; }
    BOOL GetScrollRange(int, int*, int*) override { return 0; }
    BOOL ScrollWindow(int, int, const RECT*, const RECT*) override { return 0; }
    int ScrollWindowEx(int, int, UINT, const RECT*, const RECT*, HRGN, RECT*) override { return 0; }
    int ScrollWindowEx(int, int, const RECT*, const RECT*, HRGN, RECT*, UINT) override { return 0; }
    int SetScrollPos(int, int, BOOL) override { return 0; }
    BOOL SetScrollRange(int, int, int, BOOL) override { return 0; }
    BOOL ShowScrollBar(UINT, BOOL) override { return 0; }
    BOOL EnableScrollBar(UINT, UINT) override { return 0; }
    HWND ChildWindowFromPoint(POINT) override { return 0; }
    HWND ChildWindowFromPointEx(POINT, UINT) override { return 0; }
    HWND GetTopWindow() override { return 0; }
    HWND GetWindow(UINT) override { return 0; }
    HWND GetLastActivePopup() override { return 0; }
    BOOL IsChild(HWND) override { return 0; }
    HWND GetParent() override { return 0; }
    HWND SetParent(ui::IWnd*) override { return 0; }
    HWND SetParent(HWND) override { return 0; }
    ui::IWnd* GetParentClass() override { return 0; }
    int GetDlgCtrlID() override { return 0; }
    int SetDlgCtrlID(int) override { return 0; }
    HWND GetDlgItem(int) override { return 0; }
    BOOL FlashWindow(BOOL) override { return 0; }
    int MessageBoxA(const char*, const char*, UINT) override { return 0; }
    BOOL ChangeClipboardChain(HWND) override { return 0; }
    HWND SetClipboardViewer() override { return 0; }
    BOOL OpenClipboard() override { return 0; }
    BOOL CreateCaret(HBITMAP) override { return 0; }
    BOOL CreateSolidCaret(int, int) override { return 0; }
    BOOL CreateGrayCaret(int, int) override { return 0; }
    BOOL HideCaret() override { return 0; }
    BOOL ShowCaret() override { return 0; }
    void DragAcceptFiles(BOOL) override {}
    HICON SetIcon(HICON, BOOL) override { return 0; }
    HICON GetIcon(BOOL) override { return 0; }
    BOOL WinHelpA(const char*, UINT, ULONG_PTR) override { return 0; }
    BOOL SetWindowContextHelpId(DWORD) override { return 0; }
    DWORD GetWindowContextHelpId() override { return 0; }
    int SetHotKey(WORD, WORD) override { return 0; }
    DWORD GetHotKey() override { return 0; }
    BOOL GetScrollInfo(int, SCROLLINFO*) override { return 0; }
    int SetScrollInfo(int, SCROLLINFO*, BOOL) override { return 0; }
    BOOL IsDialogMessageA(MSG*) override { return 0; }
    void NextDlgCtrl() override {}
    void PrevDlgCtrl() override {}
    void GotoDlgCtrl(HWND) override {}
    BOOL ResizeClient(int, int, BOOL) override { return 0; }
    int GetWindowRgn(HRGN) override { return 0; }
    int SetWindowRgn(HRGN, BOOL) override { return 0; }
    HDWP DeferWindowPos(HDWP, HWND, int, int, int, int, UINT) override { return 0; }
    DWORD GetWindowThreadID() override { return 0; }
    DWORD GetWindowProcessID() override { return 0; }
    BOOL IsWindow() override { return 0; }
    BOOL IsWindowUnicode() override { return 0; }
    BOOL IsParentDialog() override { return 0; }
    BOOL ShowWindowAsync(int) override { return 0; }
    HWND GetDescendantWindow(int) override { return 0; }
    void SendMessageToDescendants(UINT, WPARAM, LPARAM, BOOL) override {}
    BOOL CenterWindow(HWND) override { return 0; }
    BOOL ModifyStyle(DWORD, DWORD, UINT) override { return 0; }
    BOOL ModifyStyleEx(DWORD, DWORD, UINT) override { return 0; }
    HWND GetTopLevelParent() override { return 0; }
    HWND GetTopLevelWindow() override { return 0; }
    LRESULT OnSize(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnDestroy(LONG_PTR, LONG_PTR) override { return -1; }
};

}  // namespace vesk::testing
