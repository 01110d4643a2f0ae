// The window object over one platform window. Every window class of the
// library derives from it; the window's user-data slot points back to the
// object, through which the library's window procedures dispatch messages.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "plugins/Dravik/export.h"
#include "plugins/Dravik/wndEvents.h"
#include "vesk/ui.h"

namespace vesk::ui {

// The module instance every window of the library is created under: null
// until IFrameWnd::SetModuleHandle.
extern DRAVIK_API HINSTANCE g_DLLhInstance;

class DRAVIK_API VWnd : public VWndEvents, public IWnd {
public:
    explicit VWnd(HWND window = nullptr);
    VWnd(const VWnd& other);
    VWnd& operator=(const VWnd& other);
    // Clears every user-data slot that still names this object; the window
    // itself stays.
    virtual ~VWnd();

    operator HWND() const { return hWnd_; }
    VWnd& operator=(HWND window);  // sets the handle only
    static const char* GetWndClassName() { return nullptr; }

    // Window class name -> atom; a name is registered once per process.
    static std::map<std::string, ATOM> m_mWndClasses;

    // Register: a class style of 0 means CS_DBLCLKS | CS_CLASSDC. The class is
    // registered under the instance the object's windows are created with.
    // Create: the creation parameter is the given one when not null (the
    // MDI client's client-creation record), else this object's IWnd.
    LONG_PTR Attach(IWnd* object) override;
    void Attach(HWND window) override;
    HWND Detach() override;
    ATOM Register(const char* className, UINT classStyle, HICON icon, HICON smallIcon, HBRUSH background, WNDPROC procedure) override;
    HWND Create(const char* className, HWND parent, RECT* rect, const char* title, DWORD style, DWORD exStyle, HMENU menu, void* param) override;
    HWND Create(const char* className, HWND parent, RECT& rect, const char* title, DWORD style, DWORD exStyle, UINT controlId, void* param) override;
    LONG_PTR SetWindowClassPtr(IWnd* object) override;
    int DestroyWindow() override;
    int OnChildAttached(IWnd* child) override;
    int OnChildDetach(IWnd* child) override;
    BOOL AdjustWindowRectEx(RECT* rect) override;
    DWORD GetStyle(DWORD style) override;
    DWORD GetStyle() override;
    DWORD GetExStyle(DWORD exStyle) override;
    DWORD GetExStyle() override;
    LONG GetWindowLongA(int index) override;
    LONG SetWindowLongA(int index, LONG v) override;
    HWND GetHandle() override;
    WNDPROC SubclassWindowProc(WNDPROC procedure) override;
    WORD GetWindowWord(int index) override;
    WORD SetWindowWord(int index, WORD v) override;
    LRESULT SendMsg(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT SendMsg(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PostMessageA(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL SendNotifyMessageA(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL SetWindowTextA(const char* text) override;
    int GetWindowTextA(char* text, int size) override;
    int GetWindowTextLengthA() override;
    void SetFont(HFONT font, BOOL redraw) override;
    HFONT GetFont() override;
    HMENU GetMenu() override;
    BOOL SetMenu(HMENU menu) override;
    BOOL DrawMenuBar() override;
    HMENU GetSystemMenu(BOOL revert) override;
    BOOL HiliteMenuItem(HMENU menu, UINT item, UINT flags) override;
    BOOL IsIconic() override;
    BOOL IsZoomed() override;
    BOOL MoveWindow(const RECT* rect, BOOL repaint) override;
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint) override;
    BOOL SetWindowPos(HWND after, const RECT* rect, UINT flags) override;
    BOOL SetWindowPos(HWND after, int x, int y, int width, int height, UINT flags) override;
    UINT ArrangeIconicWindows() override;
    BOOL BringWindowToTop() override;
    BOOL GetWindowRect(RECT* rect) override;
    BOOL GetClientRect(RECT* rect) override;
    long GetWidth() override;
    long GetHeight() override;
    BOOL GetWindowPlacement(WINDOWPLACEMENT* placement) override;
    BOOL SetWindowPlacement(const WINDOWPLACEMENT* placement) override;
    BOOL ClientToScreen(RECT* rect) override;
    BOOL ClientToScreen(POINT* point) override;
    BOOL ScreenToClient(RECT* rect) override;
    BOOL ScreenToClient(POINT* point) override;
    int MapWindowPoints(HWND to, RECT* rect) override;
    int MapWindowPoints(HWND to, POINT* points, UINT count) override;
    HDC BeginPaint(PAINTSTRUCT* paint) override;
    BOOL EndPaint(PAINTSTRUCT* paint) override;
    HDC GetDC() override;
    HDC GetWindowDC() override;
    int ReleaseDC(HDC dc) override;
    void Print(HDC dc, DWORD flags) override;
    void PrintClient(HDC dc, DWORD flags) override;
    BOOL UpdateWindow() override;
    void SetRedraw(BOOL redraw) override;
    BOOL GetUpdateRect(RECT* rect, BOOL erase) override;
    int GetUpdateRgn(HRGN region, BOOL erase) override;
    BOOL Invalidate(BOOL erase) override;
    BOOL InvalidateRect(const RECT* rect, BOOL erase) override;
    BOOL ValidateRect(const RECT* rect) override;
    BOOL InvalidateRgn(HRGN region, BOOL erase) override;
    BOOL ValidateRgn(HRGN region) override;
    BOOL ShowWindow(int how) override;
    BOOL IsWindowVisible() override;
    BOOL ShowOwnedPopups(BOOL show) override;
    HDC GetDCEx(HRGN clip, DWORD flags) override;
    BOOL LockWindowUpdate(BOOL lock) override;
    BOOL RedrawWindow(const RECT* rect, HRGN region, UINT flags) override;
    UINT_PTR SetTimer(UINT_PTR id, UINT milliseconds) override;
    BOOL KillTimer(UINT_PTR id) override;
    BOOL IsWindowEnabled() override;
    BOOL EnableWindow(BOOL enable) override;
    HWND SetActiveWindow() override;
    HWND SetCapture() override;
    HWND SetFocus() override;
    BOOL CheckDlgButton(int id, UINT check) override;
    BOOL CheckRadioButton(int first, int last, int checked) override;
    int DlgDirListA(char* path, int listId, int staticId, UINT type) override;
    int DlgDirListComboBoxA(char* path, int comboId, int staticId, UINT type) override;
    BOOL DlgDirSelect(char* out, int size, int listId) override;
    BOOL DlgDirSelectComboBox(char* out, int size, int comboId) override;
    UINT GetDlgItemInt(int id, BOOL* translated, BOOL isSigned) override;
    UINT GetDlgItemTextA(int id, char* text, int size) override;
    HWND GetNextDlgGroupItem(HWND control, BOOL previous) override;
    HWND GetNextDlgTabItem(HWND control, BOOL previous) override;
    UINT IsDlgButtonChecked(int id) override;
    LRESULT SendDlgItemMessageA(int id, UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL SetDlgItemInt(int id, UINT v, BOOL isSigned) override;
    BOOL SetDlgItemTextA(int id, const char* text) override;
    int GetScrollPos(int bar) override;
    BOOL GetScrollRange(int bar, int* low, int* high) override;
    BOOL ScrollWindow(int dx, int dy, const RECT* scroll, const RECT* clip) override;
    int ScrollWindowEx(int dx, int dy, UINT flags, const RECT* scroll, const RECT* clip, HRGN update, RECT* updated) override;
    int ScrollWindowEx(int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, RECT* updated, UINT flags) override;
    int SetScrollPos(int bar, int position, BOOL redraw) override;
    BOOL SetScrollRange(int bar, int low, int high, BOOL redraw) override;
    BOOL ShowScrollBar(UINT bar, BOOL show) override;
    BOOL EnableScrollBar(UINT bar, UINT arrows) override;
    HWND ChildWindowFromPoint(POINT point) override;
    HWND ChildWindowFromPointEx(POINT point, UINT flags) override;
    HWND GetTopWindow() override;
    HWND GetWindow(UINT command) override;
    HWND GetLastActivePopup() override;
    BOOL IsChild(HWND window) override;
    HWND GetParent() override;
    HWND SetParent(IWnd* parent) override;
    HWND SetParent(HWND parent) override;
    IWnd* GetParentClass() override;
    int GetDlgCtrlID() override;
    int SetDlgCtrlID(int id) override;
    HWND GetDlgItem(int id) override;
    BOOL FlashWindow(BOOL invert) override;
    int MessageBoxA(const char* text, const char* caption, UINT type) override;
    BOOL ChangeClipboardChain(HWND next) override;
    HWND SetClipboardViewer() override;
    BOOL OpenClipboard() override;
    BOOL CreateCaret(HBITMAP bitmap) override;
    BOOL CreateSolidCaret(int width, int height) override;
    BOOL CreateGrayCaret(int width, int height) override;
    BOOL HideCaret() override;
    BOOL ShowCaret() override;
    void DragAcceptFiles(BOOL accept) override;
    HICON SetIcon(HICON icon, BOOL big) override;
    HICON GetIcon(BOOL big) override;
    BOOL WinHelpA(const char* file, UINT command, ULONG_PTR data) override;
    BOOL SetWindowContextHelpId(DWORD id) override;
    DWORD GetWindowContextHelpId() override;
    int SetHotKey(WORD virtualKey, WORD modifiers) override;
    DWORD GetHotKey() override;
    BOOL GetScrollInfo(int bar, SCROLLINFO* info) override;
    int SetScrollInfo(int bar, SCROLLINFO* info, BOOL redraw) override;
    BOOL IsDialogMessageA(MSG* message) override;
    void NextDlgCtrl() override;
    void PrevDlgCtrl() override;
    void GotoDlgCtrl(HWND control) override;
    BOOL ResizeClient(int width, int height, BOOL redraw) override;
    int GetWindowRgn(HRGN region) override;
    int SetWindowRgn(HRGN region, BOOL redraw) override;
    HDWP DeferWindowPos(HDWP deferred, HWND after, int x, int y, int width, int height, UINT flags) override;
    DWORD GetWindowThreadID() override;
    DWORD GetWindowProcessID() override;
    BOOL IsWindow() override;
    BOOL IsWindowUnicode() override;
    BOOL IsParentDialog() override;
    BOOL ShowWindowAsync(int how) override;
    HWND GetDescendantWindow(int id) override;
    void SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL deep) override;
    BOOL CenterWindow(HWND over) override;
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags) override;
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags) override;
    HWND GetTopLevelParent() override;
    HWND GetTopLevelWindow() override;
    LRESULT OnSize(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnDestroy(LONG_PTR wParam, LONG_PTR lParam) override;

    // Of the placement rectangle that bands and docking read.
    const RECT& PlacementRect() const { return placement_; }
    void SetPlacementRect(const RECT& r) { placement_ = r; }
    void SetParentObject(IWnd* parent) { parent_ = parent; }
    // The children whose objects are still bound to their windows.
    std::vector<IWnd*> ChildObjects() const;
    HINSTANCE GetModuleInstance() const { return hInstance_ ? hInstance_ : g_DLLhInstance; }

protected:
    HWND HookWindow() override { return hWnd_; }
    void SetModuleInstance(HINSTANCE instance) { hInstance_ = instance; }
    // CreateWindowExA with the library's instance, binding the new window.
    HWND CreateBound(const char* className, HWND parent, const RECT* rect, const char* title, DWORD style,
                     DWORD exStyle, HMENU menuOrId, void* param);

    HWND hWnd_ = nullptr;
    IWnd* parent_ = nullptr;  // not owned
    HINSTANCE hInstance_ = nullptr;
    RECT defaultRect_ = {CW_USEDEFAULT, CW_USEDEFAULT, 0, 0};
    RECT placement_ = {0, 0, 0, 0};
    std::map<HWND, IWnd*> children_;  // not owned

private:
    IWnd* Self() { return this; }
};

// The object of a window as the library bound it, or null.
IWnd* ObjectOfWindow(HWND window);

}  // namespace vesk::ui
