// The operations of VWnd that wrap the platform call of the same name on
// the object's window.
#include "plugins/Dravik/wnd.h"

namespace vesk::ui {

LONG VWnd::GetWindowLongA(int index) { return ::GetWindowLongA(hWnd_, index); }
LONG VWnd::SetWindowLongA(int index, LONG v) { return ::SetWindowLongA(hWnd_, index, v); }
WORD VWnd::GetWindowWord(int index) { return ::GetWindowWord(hWnd_, index); }
WORD VWnd::SetWindowWord(int index, WORD v) { return ::SetWindowWord(hWnd_, index, v); }
BOOL VWnd::PostMessageA(UINT message, WPARAM wParam, LPARAM lParam) { return ::PostMessageA(hWnd_, message, wParam, lParam); }
BOOL VWnd::SendNotifyMessageA(UINT message, WPARAM wParam, LPARAM lParam) { return ::SendNotifyMessageA(hWnd_, message, wParam, lParam); }
BOOL VWnd::SetWindowTextA(const char* text) { return ::SetWindowTextA(hWnd_, text); }
int VWnd::GetWindowTextA(char* text, int size) { return ::GetWindowTextA(hWnd_, text, size); }
int VWnd::GetWindowTextLengthA() { return ::GetWindowTextLengthA(hWnd_); }
HMENU VWnd::GetMenu() { return ::GetMenu(hWnd_); }
BOOL VWnd::SetMenu(HMENU menu) { return ::SetMenu(hWnd_, menu); }
BOOL VWnd::DrawMenuBar() { return ::DrawMenuBar(hWnd_); }
HMENU VWnd::GetSystemMenu(BOOL revert) { return ::GetSystemMenu(hWnd_, revert); }
BOOL VWnd::HiliteMenuItem(HMENU menu, UINT item, UINT flags) { return ::HiliteMenuItem(hWnd_, menu, item, flags); }
BOOL VWnd::IsIconic() { return ::IsIconic(hWnd_); }
BOOL VWnd::IsZoomed() { return ::IsZoomed(hWnd_); }
BOOL VWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) { return ::MoveWindow(hWnd_, x, y, width, height, repaint); }
BOOL VWnd::SetWindowPos(HWND after, int x, int y, int width, int height, UINT flags) { return ::SetWindowPos(hWnd_, after, x, y, width, height, flags); }
UINT VWnd::ArrangeIconicWindows() { return ::ArrangeIconicWindows(hWnd_); }
BOOL VWnd::BringWindowToTop() { return ::BringWindowToTop(hWnd_); }
BOOL VWnd::GetWindowRect(RECT* rect) { return ::GetWindowRect(hWnd_, rect); }
BOOL VWnd::GetClientRect(RECT* rect) { return ::GetClientRect(hWnd_, rect); }
BOOL VWnd::GetWindowPlacement(WINDOWPLACEMENT* placement) { return ::GetWindowPlacement(hWnd_, placement); }
BOOL VWnd::SetWindowPlacement(const WINDOWPLACEMENT* placement) { return ::SetWindowPlacement(hWnd_, placement); }
BOOL VWnd::ClientToScreen(POINT* point) { return ::ClientToScreen(hWnd_, point); }
BOOL VWnd::ScreenToClient(POINT* point) { return ::ScreenToClient(hWnd_, point); }
int VWnd::MapWindowPoints(HWND to, POINT* points, UINT count) { return ::MapWindowPoints(hWnd_, to, points, count); }
HDC VWnd::BeginPaint(PAINTSTRUCT* paint) { return ::BeginPaint(hWnd_, paint); }
BOOL VWnd::EndPaint(PAINTSTRUCT* paint) { return ::EndPaint(hWnd_, paint); }
HDC VWnd::GetDC() { return ::GetDC(hWnd_); }
HDC VWnd::GetWindowDC() { return ::GetWindowDC(hWnd_); }
int VWnd::ReleaseDC(HDC dc) { return ::ReleaseDC(hWnd_, dc); }
BOOL VWnd::UpdateWindow() { return ::UpdateWindow(hWnd_); }
BOOL VWnd::GetUpdateRect(RECT* rect, BOOL erase) { return ::GetUpdateRect(hWnd_, rect, erase); }
int VWnd::GetUpdateRgn(HRGN region, BOOL erase) { return ::GetUpdateRgn(hWnd_, region, erase); }
BOOL VWnd::InvalidateRect(const RECT* rect, BOOL erase) { return ::InvalidateRect(hWnd_, rect, erase); }
BOOL VWnd::ValidateRect(const RECT* rect) { return ::ValidateRect(hWnd_, rect); }
BOOL VWnd::InvalidateRgn(HRGN region, BOOL erase) { return ::InvalidateRgn(hWnd_, region, erase); }
BOOL VWnd::ValidateRgn(HRGN region) { return ::ValidateRgn(hWnd_, region); }
BOOL VWnd::ShowWindow(int how) { return ::ShowWindow(hWnd_, how); }
BOOL VWnd::IsWindowVisible() { return ::IsWindowVisible(hWnd_); }
BOOL VWnd::ShowOwnedPopups(BOOL show) { return ::ShowOwnedPopups(hWnd_, show); }
HDC VWnd::GetDCEx(HRGN clip, DWORD flags) { return ::GetDCEx(hWnd_, clip, flags); }
BOOL VWnd::RedrawWindow(const RECT* rect, HRGN region, UINT flags) { return ::RedrawWindow(hWnd_, rect, region, flags); }
BOOL VWnd::KillTimer(UINT_PTR id) { return ::KillTimer(hWnd_, id); }
BOOL VWnd::IsWindowEnabled() { return ::IsWindowEnabled(hWnd_); }
BOOL VWnd::EnableWindow(BOOL enable) { return ::EnableWindow(hWnd_, enable); }
HWND VWnd::SetActiveWindow() { return ::SetActiveWindow(hWnd_); }
HWND VWnd::SetCapture() { return ::SetCapture(hWnd_); }
HWND VWnd::SetFocus() { return ::SetFocus(hWnd_); }
BOOL VWnd::CheckDlgButton(int id, UINT check) { return ::CheckDlgButton(hWnd_, id, check); }
BOOL VWnd::CheckRadioButton(int first, int last, int checked) { return ::CheckRadioButton(hWnd_, first, last, checked); }
int VWnd::DlgDirListA(char* path, int listId, int staticId, UINT type) { return ::DlgDirListA(hWnd_, path, listId, staticId, type); }
int VWnd::DlgDirListComboBoxA(char* path, int comboId, int staticId, UINT type) { return ::DlgDirListComboBoxA(hWnd_, path, comboId, staticId, type); }
UINT VWnd::GetDlgItemInt(int id, BOOL* translated, BOOL isSigned) { return ::GetDlgItemInt(hWnd_, id, translated, isSigned); }
UINT VWnd::GetDlgItemTextA(int id, char* text, int size) { return ::GetDlgItemTextA(hWnd_, id, text, size); }
HWND VWnd::GetNextDlgGroupItem(HWND control, BOOL previous) { return ::GetNextDlgGroupItem(hWnd_, control, previous); }
HWND VWnd::GetNextDlgTabItem(HWND control, BOOL previous) { return ::GetNextDlgTabItem(hWnd_, control, previous); }
UINT VWnd::IsDlgButtonChecked(int id) { return ::IsDlgButtonChecked(hWnd_, id); }
LRESULT VWnd::SendDlgItemMessageA(int id, UINT message, WPARAM wParam, LPARAM lParam) { return ::SendDlgItemMessageA(hWnd_, id, message, wParam, lParam); }
BOOL VWnd::SetDlgItemInt(int id, UINT v, BOOL isSigned) { return ::SetDlgItemInt(hWnd_, id, v, isSigned); }
BOOL VWnd::SetDlgItemTextA(int id, const char* text) { return ::SetDlgItemTextA(hWnd_, id, text); }
int VWnd::GetScrollPos(int bar) { return ::GetScrollPos(hWnd_, bar); }
BOOL VWnd::GetScrollRange(int bar, int* low, int* high) { return ::GetScrollRange(hWnd_, bar, low, high); }
BOOL VWnd::ScrollWindow(int dx, int dy, const RECT* scroll, const RECT* clip) { return ::ScrollWindow(hWnd_, dx, dy, scroll, clip); }
int VWnd::ScrollWindowEx(int dx, int dy, UINT flags, const RECT* scroll, const RECT* clip, HRGN update, RECT* updated) { return ::ScrollWindowEx(hWnd_, dx, dy, scroll, clip, update, updated, flags); }
int VWnd::ScrollWindowEx(int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, RECT* updated, UINT flags) { return ::ScrollWindowEx(hWnd_, dx, dy, scroll, clip, update, updated, flags); }
int VWnd::SetScrollPos(int bar, int position, BOOL redraw) { return ::SetScrollPos(hWnd_, bar, position, redraw); }
BOOL VWnd::SetScrollRange(int bar, int low, int high, BOOL redraw) { return ::SetScrollRange(hWnd_, bar, low, high, redraw); }
BOOL VWnd::ShowScrollBar(UINT bar, BOOL show) { return ::ShowScrollBar(hWnd_, bar, show); }
BOOL VWnd::EnableScrollBar(UINT bar, UINT arrows) { return ::EnableScrollBar(hWnd_, bar, arrows); }
HWND VWnd::ChildWindowFromPoint(POINT point) { return ::ChildWindowFromPoint(hWnd_, point); }
HWND VWnd::ChildWindowFromPointEx(POINT point, UINT flags) { return ::ChildWindowFromPointEx(hWnd_, point, flags); }
HWND VWnd::GetTopWindow() { return ::GetTopWindow(hWnd_); }
HWND VWnd::GetWindow(UINT command) { return ::GetWindow(hWnd_, command); }
HWND VWnd::GetLastActivePopup() { return ::GetLastActivePopup(hWnd_); }
BOOL VWnd::IsChild(HWND window) { return ::IsChild(hWnd_, window); }
HWND VWnd::GetParent() { return ::GetParent(hWnd_); }
int VWnd::GetDlgCtrlID() { return ::GetDlgCtrlID(hWnd_); }
HWND VWnd::GetDlgItem(int id) { return ::GetDlgItem(hWnd_, id); }
BOOL VWnd::FlashWindow(BOOL invert) { return ::FlashWindow(hWnd_, invert); }
int VWnd::MessageBoxA(const char* text, const char* caption, UINT type) { return ::MessageBoxA(hWnd_, text, caption, type); }
BOOL VWnd::ChangeClipboardChain(HWND next) { return ::ChangeClipboardChain(hWnd_, next); }
HWND VWnd::SetClipboardViewer() { return ::SetClipboardViewer(hWnd_); }
BOOL VWnd::OpenClipboard() { return ::OpenClipboard(hWnd_); }
BOOL VWnd::HideCaret() { return ::HideCaret(hWnd_); }
BOOL VWnd::ShowCaret() { return ::ShowCaret(hWnd_); }
BOOL VWnd::WinHelpA(const char* file, UINT command, ULONG_PTR data) { return ::WinHelpA(hWnd_, file, command, data); }
BOOL VWnd::SetWindowContextHelpId(DWORD id) { return ::SetWindowContextHelpId(hWnd_, id); }
DWORD VWnd::GetWindowContextHelpId() { return ::GetWindowContextHelpId(hWnd_); }
BOOL VWnd::GetScrollInfo(int bar, SCROLLINFO* info) { return ::GetScrollInfo(hWnd_, bar, info); }
int VWnd::SetScrollInfo(int bar, SCROLLINFO* info, BOOL redraw) { return ::SetScrollInfo(hWnd_, bar, info, redraw); }
BOOL VWnd::IsDialogMessageA(MSG* message) { return ::IsDialogMessageA(hWnd_, message); }
int VWnd::GetWindowRgn(HRGN region) { return ::GetWindowRgn(hWnd_, region); }
int VWnd::SetWindowRgn(HRGN region, BOOL redraw) { return ::SetWindowRgn(hWnd_, region, redraw); }
HDWP VWnd::DeferWindowPos(HDWP deferred, HWND after, int x, int y, int width, int height, UINT flags) { return ::DeferWindowPos(deferred, hWnd_, after, x, y, width, height, flags); }
BOOL VWnd::IsWindow() { return ::IsWindow(hWnd_); }
BOOL VWnd::IsWindowUnicode() { return ::IsWindowUnicode(hWnd_); }
BOOL VWnd::ShowWindowAsync(int how) { return ::ShowWindowAsync(hWnd_, how); }

}  // namespace vesk::ui
