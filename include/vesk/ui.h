// The window library's and the user interface's services that other modules
// call. The frame is published as "vesk::ui::IFrameWnd *"; the user interface
// publishes "vesk::ui::IUIControl *", "vesk::ui::IOptions *",
// "vesk::ui::ISearchHistoryDockWnd *", "vesk::ui::IDockConnectTB *",
// "vesk::ui::IGnutellaHostDockWnd *", "vesk::ui::IGnutellaStatDockWnd *",
// "vesk::ui::IDockTransferWnd *", "vesk::ui::ITrayCtrl *" and
// "vesk::ui::IStatusBar *". Message hooks are made through the factory by the
// class name "vesk::ui::VWndProc" (two pointerInt values: the procedure's
// address and a user pointer). Handler arguments and results that may carry
// an address are pointer-sized: exactly long on 32-bit Windows.
//
// Every window belongs to the GUI thread. Operations that touch a window may
// be called from any thread: they end in SendMessage and the GUI thread
// carries them out while the caller waits. A caller must therefore hold no
// lock the GUI thread may take.
//
// Row agents passed in stay the caller's; a list takes its own reference.
// Results carry no reference unless stated.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "vesk/object.h"

namespace vesk {

struct Ifunction;

namespace ss {
struct IAgent;
}

namespace ui {

struct IWnd;
struct IDock;
struct IDockArea;
struct IDockBand;
struct IDockWnd;
struct IDockContainer;
struct IDockTabBarWnd;
struct IDockToolBarWnd;
struct IFrameClientWnd;
struct IFrameChildWnd;
struct IStatusBar;
struct ISkin;
struct ISkinEngine;
struct ISearchResultWnd;
struct IDockWndConfigDlg;

// The window library's message to every window when the skin changed.
constexpr UINT WM_SKINCHANGED = 0x7FC;

// A message hook: -1 means "not handled".
struct IWndProc : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IWndProc *";
    virtual LRESULT HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// The message handling of a window object. Hooks are asked in the order
// added for every message of the window; the first result other than -1 is
// the window's answer. Hooks may be added and removed from any thread.
struct IWndEvents : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IWndEvents *";
    // Takes a reference to the hook; 0 for null, else 1.
    virtual int AddMessageHook(IWndProc* hook) = 0;
    // Removes every entry of the hook and releases it once; 0 for null.
    virtual int RemoveMessageHook(IWndProc* hook) = 0;
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // The message handlers, each given the message's two parameters; -1
    // means "not handled" and lets the window's default processing run.
    virtual LRESULT OnActivateApp(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnCancelMode(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnChildActivate(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnPaint(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnClose(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnCompacting(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnCreate(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnDestroy(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnEnable(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnEnterSizeMove(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnEraseBkGnd(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnExitSizeMove(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnGetIcon(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnGetMinMaxInfo(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnGetText(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnGetTextLength(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnInputLangChange(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnInputLangChangeRequest(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnMove(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnMoving(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnNcActivate(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnNcCalcSize(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnNcCreate(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnNcDestroy(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnNcPaint(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnNcLButtonDown(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnNcLButtonDblClk(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnNotify(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnNotifyChild(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnParentNotify(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnQueryDragIcon(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnQueryOpen(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnQuit(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnSetIcon(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnSetText(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnShowWindow(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnSizing(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnSizeParent(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnSize(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnStyleChanged(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnStyleChanging(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnUserChanged(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnWindowPosChanged(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnWindowPosChanging(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnLButtonUp(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnLButtonDown(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnLButtonDblClk(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnRButtonDown(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnRButtonUp(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnMouseMove(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnNcHitTest(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnTimer(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnInitMenu(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnInitMenuPopup(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnMenuChar(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnMenuSelect(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnSysChar(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnSysCommand(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnCommand(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnDrawItem(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnMouseWheel(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnCaptureChanged(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnMButtonDown(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnMButtonUp(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnMouseActivate(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnMouseHover(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnMouseLeave(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnNcMouseLeave(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnNcMouseMove(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnAppCommand(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnMDIActivate(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnSettingChange(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnSkinChanged(LONG_PTR wParam, LONG_PTR lParam) = 0;
};

// A window object over one platform window. Operations named after a
// platform call wrap that call on the object's window handle, with the same
// arguments and result.
struct IWnd : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IWnd *";
    virtual LONG_PTR Attach(IWnd* object) = 0;
    virtual void Attach(HWND window) = 0;
    virtual HWND Detach() = 0;
    virtual ATOM Register(const char* className, UINT classStyle, HICON icon, HICON smallIcon,
                          HBRUSH background, WNDPROC procedure) = 0;
    virtual HWND Create(const char* className, HWND parent, RECT* rect, const char* title,
                        DWORD style, DWORD exStyle, HMENU menu, void* param) = 0;
    virtual HWND Create(const char* className, HWND parent, RECT& rect, const char* title,
                        DWORD style, DWORD exStyle, UINT controlId, void* param) = 0;
    virtual LONG_PTR SetWindowClassPtr(IWnd* object) = 0;
    virtual int DestroyWindow() = 0;
    virtual int OnChildAttached(IWnd* child) = 0;
    virtual int OnChildDetach(IWnd* child) = 0;
    virtual BOOL AdjustWindowRectEx(RECT* rect) = 0;
    virtual DWORD GetStyle(DWORD style) = 0;
    virtual DWORD GetStyle() = 0;
    virtual DWORD GetExStyle(DWORD exStyle) = 0;
    virtual DWORD GetExStyle() = 0;
    virtual LONG GetWindowLongA(int index) = 0;
    virtual LONG SetWindowLongA(int index, LONG v) = 0;
    virtual HWND GetHandle() = 0;
    virtual WNDPROC SubclassWindowProc(WNDPROC procedure) = 0;
    virtual WORD GetWindowWord(int index) = 0;
    virtual WORD SetWindowWord(int index, WORD v) = 0;
    virtual LRESULT SendMsg(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual LRESULT SendMsg(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual BOOL PostMessageA(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual BOOL SendNotifyMessageA(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual BOOL SetWindowTextA(const char* text) = 0;
    virtual int GetWindowTextA(char* text, int size) = 0;
    virtual int GetWindowTextLengthA() = 0;
    virtual void SetFont(HFONT font, BOOL redraw) = 0;
    virtual HFONT GetFont() = 0;
    virtual HMENU GetMenu() = 0;
    virtual BOOL SetMenu(HMENU menu) = 0;
    virtual BOOL DrawMenuBar() = 0;
    virtual HMENU GetSystemMenu(BOOL revert) = 0;
    virtual BOOL HiliteMenuItem(HMENU menu, UINT item, UINT flags) = 0;
    virtual BOOL IsIconic() = 0;
    virtual BOOL IsZoomed() = 0;
    virtual BOOL MoveWindow(const RECT* rect, BOOL repaint) = 0;
    virtual BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint) = 0;
    virtual BOOL SetWindowPos(HWND after, const RECT* rect, UINT flags) = 0;
    virtual BOOL SetWindowPos(HWND after, int x, int y, int width, int height, UINT flags) = 0;
    virtual UINT ArrangeIconicWindows() = 0;
    virtual BOOL BringWindowToTop() = 0;
    virtual BOOL GetWindowRect(RECT* rect) = 0;
    virtual BOOL GetClientRect(RECT* rect) = 0;
    // Of the client rectangle; 0 when it cannot be read.
    virtual long GetWidth() = 0;
    virtual long GetHeight() = 0;
    virtual BOOL GetWindowPlacement(WINDOWPLACEMENT* placement) = 0;
    virtual BOOL SetWindowPlacement(const WINDOWPLACEMENT* placement) = 0;
    virtual BOOL ClientToScreen(RECT* rect) = 0;
    virtual BOOL ClientToScreen(POINT* point) = 0;
    virtual BOOL ScreenToClient(RECT* rect) = 0;
    virtual BOOL ScreenToClient(POINT* point) = 0;
    virtual int MapWindowPoints(HWND to, RECT* rect) = 0;
    virtual int MapWindowPoints(HWND to, POINT* points, UINT count) = 0;
    virtual HDC BeginPaint(PAINTSTRUCT* paint) = 0;
    virtual BOOL EndPaint(PAINTSTRUCT* paint) = 0;
    virtual HDC GetDC() = 0;
    virtual HDC GetWindowDC() = 0;
    virtual int ReleaseDC(HDC dc) = 0;
    virtual void Print(HDC dc, DWORD flags) = 0;
    virtual void PrintClient(HDC dc, DWORD flags) = 0;
    virtual BOOL UpdateWindow() = 0;
    virtual void SetRedraw(BOOL redraw) = 0;
    virtual BOOL GetUpdateRect(RECT* rect, BOOL erase) = 0;
    virtual int GetUpdateRgn(HRGN region, BOOL erase) = 0;
    virtual BOOL Invalidate(BOOL erase) = 0;
    virtual BOOL InvalidateRect(const RECT* rect, BOOL erase) = 0;
    virtual BOOL ValidateRect(const RECT* rect) = 0;
    virtual BOOL InvalidateRgn(HRGN region, BOOL erase) = 0;
    virtual BOOL ValidateRgn(HRGN region) = 0;
    virtual BOOL ShowWindow(int how) = 0;
    virtual BOOL IsWindowVisible() = 0;
    virtual BOOL ShowOwnedPopups(BOOL show) = 0;
    virtual HDC GetDCEx(HRGN clip, DWORD flags) = 0;
    virtual BOOL LockWindowUpdate(BOOL lock) = 0;
    virtual BOOL RedrawWindow(const RECT* rect, HRGN region, UINT flags) = 0;
    virtual UINT_PTR SetTimer(UINT_PTR id, UINT milliseconds) = 0;
    virtual BOOL KillTimer(UINT_PTR id) = 0;
    virtual BOOL IsWindowEnabled() = 0;
    virtual BOOL EnableWindow(BOOL enable) = 0;
    virtual HWND SetActiveWindow() = 0;
    virtual HWND SetCapture() = 0;
    virtual HWND SetFocus() = 0;
    virtual BOOL CheckDlgButton(int id, UINT check) = 0;
    virtual BOOL CheckRadioButton(int first, int last, int checked) = 0;
    virtual int DlgDirListA(char* path, int listId, int staticId, UINT type) = 0;
    virtual int DlgDirListComboBoxA(char* path, int comboId, int staticId, UINT type) = 0;
    virtual BOOL DlgDirSelect(char* out, int size, int listId) = 0;
    virtual BOOL DlgDirSelectComboBox(char* out, int size, int comboId) = 0;
    virtual UINT GetDlgItemInt(int id, BOOL* translated, BOOL isSigned) = 0;
    virtual UINT GetDlgItemTextA(int id, char* text, int size) = 0;
    virtual HWND GetNextDlgGroupItem(HWND control, BOOL previous) = 0;
    virtual HWND GetNextDlgTabItem(HWND control, BOOL previous) = 0;
    virtual UINT IsDlgButtonChecked(int id) = 0;
    virtual LRESULT SendDlgItemMessageA(int id, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual BOOL SetDlgItemInt(int id, UINT v, BOOL isSigned) = 0;
    virtual BOOL SetDlgItemTextA(int id, const char* text) = 0;
    virtual int GetScrollPos(int bar) = 0;
    virtual BOOL GetScrollRange(int bar, int* low, int* high) = 0;
    virtual BOOL ScrollWindow(int dx, int dy, const RECT* scroll, const RECT* clip) = 0;
    virtual int ScrollWindowEx(int dx, int dy, UINT flags, const RECT* scroll, const RECT* clip, HRGN update,
                               RECT* updated) = 0;
    virtual int ScrollWindowEx(int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, RECT* updated,
                               UINT flags) = 0;
    virtual int SetScrollPos(int bar, int position, BOOL redraw) = 0;
    virtual BOOL SetScrollRange(int bar, int low, int high, BOOL redraw) = 0;
    virtual BOOL ShowScrollBar(UINT bar, BOOL show) = 0;
    virtual BOOL EnableScrollBar(UINT bar, UINT arrows) = 0;
    virtual HWND ChildWindowFromPoint(POINT point) = 0;
    virtual HWND ChildWindowFromPointEx(POINT point, UINT flags) = 0;
    virtual HWND GetTopWindow() = 0;
    virtual HWND GetWindow(UINT command) = 0;
    virtual HWND GetLastActivePopup() = 0;
    virtual BOOL IsChild(HWND window) = 0;
    virtual HWND GetParent() = 0;
    // Re-parents under the object's window and records it as the parent
    // object; the parents' child maps are not told. The previous parent.
    virtual HWND SetParent(IWnd* parent) = 0;
    // Re-parents and moves the object between the parent objects' child
    // maps. The previous parent.
    virtual HWND SetParent(HWND parent) = 0;
    virtual IWnd* GetParentClass() = 0;  // no reference added
    virtual int GetDlgCtrlID() = 0;
    virtual int SetDlgCtrlID(int id) = 0;
    virtual HWND GetDlgItem(int id) = 0;
    virtual BOOL FlashWindow(BOOL invert) = 0;
    virtual int MessageBoxA(const char* text, const char* caption, UINT type) = 0;
    virtual BOOL ChangeClipboardChain(HWND next) = 0;
    virtual HWND SetClipboardViewer() = 0;
    virtual BOOL OpenClipboard() = 0;
    virtual BOOL CreateCaret(HBITMAP bitmap) = 0;
    virtual BOOL CreateSolidCaret(int width, int height) = 0;
    virtual BOOL CreateGrayCaret(int width, int height) = 0;
    virtual BOOL HideCaret() = 0;
    virtual BOOL ShowCaret() = 0;
    virtual void DragAcceptFiles(BOOL accept) = 0;  // has no effect
    virtual HICON SetIcon(HICON icon, BOOL big) = 0;
    virtual HICON GetIcon(BOOL big) = 0;
    virtual BOOL WinHelpA(const char* file, UINT command, ULONG_PTR data) = 0;
    virtual BOOL SetWindowContextHelpId(DWORD id) = 0;
    virtual DWORD GetWindowContextHelpId() = 0;
    virtual int SetHotKey(WORD virtualKey, WORD modifiers) = 0;
    virtual DWORD GetHotKey() = 0;
    virtual BOOL GetScrollInfo(int bar, SCROLLINFO* info) = 0;
    virtual int SetScrollInfo(int bar, SCROLLINFO* info, BOOL redraw) = 0;
    virtual BOOL IsDialogMessageA(MSG* message) = 0;
    virtual void NextDlgCtrl() = 0;
    virtual void PrevDlgCtrl() = 0;
    virtual void GotoDlgCtrl(HWND control) = 0;
    // -1 keeps the current client width or height.
    virtual BOOL ResizeClient(int width, int height, BOOL redraw) = 0;
    virtual int GetWindowRgn(HRGN region) = 0;
    virtual int SetWindowRgn(HRGN region, BOOL redraw) = 0;
    virtual HDWP DeferWindowPos(HDWP deferred, HWND after, int x, int y, int width, int height, UINT flags) = 0;
    virtual DWORD GetWindowThreadID() = 0;
    virtual DWORD GetWindowProcessID() = 0;
    virtual BOOL IsWindow() = 0;
    virtual BOOL IsWindowUnicode() = 0;
    virtual BOOL IsParentDialog() = 0;
    virtual BOOL ShowWindowAsync(int how) = 0;
    // Depth first; a deeper window with the id wins over a direct child.
    virtual HWND GetDescendantWindow(int id) = 0;
    virtual void SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL deep) = 0;
    virtual BOOL CenterWindow(HWND over) = 0;
    // 0 when the style stays as it was.
    virtual BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags) = 0;
    virtual BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags) = 0;
    virtual HWND GetTopLevelParent() = 0;
    virtual HWND GetTopLevelWindow() = 0;
    // The window-level size and destroy handlers, also reached as message
    // handlers.
    virtual LRESULT OnSize(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnDestroy(LONG_PTR wParam, LONG_PTR lParam) = 0;
};

// The application's single main frame.
struct IFrameWnd : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IFrameWnd *";
    virtual int Execute(Ifunction* fn) = 0;
    virtual HWND Create(HWND parent, RECT* rect, const char* title, DWORD style, DWORD exStyle,
                        HMENU menu, WORD id, void* param) = 0;
    virtual HWND Create(IWnd* parent, RECT* rect, const char* title) = 0;
    virtual long Run() = 0;
    virtual IDock* GetDock() = 0;
    virtual IFrameClientWnd* GetClientWnd() = 0;
    virtual IStatusBar* GetStatusBar() = 0;
    virtual int SetAccelerator(HACCEL table) = 0;
    virtual int SetModuleHandle(HINSTANCE module) = 0;
    virtual long Resize(RECT* rect, void* deferred, int width, int height) = 0;
    virtual void SetDialogHandle(HWND dialog) = 0;
    virtual HWND GetDialogHandle() = 0;
    virtual void SetStatusBarVisible(int visible) = 0;
    virtual int GetStatusBarVisible() = 0;
    virtual ISkinEngine* GetSkinEngine() = 0;
};

struct IFrameClientWnd : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IFrameClientWnd *";
    virtual HWND Create(IWnd* frame) = 0;
    virtual IFrameChildWnd* CreateChild(const char* title, RECT* rect) = 0;
};

// A child window in the frame's client area; the object is also an IWnd.
struct IFrameChildWnd : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IFrameChildWnd *";
    virtual HWND Create(IWnd* client, const char* title, RECT* rect) = 0;
    virtual int Maximize() = 0;
    virtual int Activate() = 0;
};

// The frame's status bar of five panes. Text and icons given before the
// window exists are applied when it is created.
struct IStatusBar : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IStatusBar *";
    virtual int Create(IWnd* parent) = 0;
    virtual void Output(const char* text) = 0;  // pane 0
    virtual void Output(const char* text, int pane, DWORD flags) = 0;
    virtual int Resize(RECT* rect, void* deferred, int width, int height) = 0;
    virtual long SetIcon(int pane, HICON icon) = 0;
};

// The dock manager of the frame: four dock areas and the dock windows.
struct IDock : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IDock *";
    virtual long Create(IWnd* frame, DWORD flags) = 0;
    virtual IDockWnd* CreateDockWindow(const char* name, RECT* rect) = 0;
    virtual IDockTabBarWnd* CreateDockTabBarWindow(const char* name, RECT* rect) = 0;
    virtual IDockToolBarWnd* CreateDockToolBarWindow(const char* name, RECT* rect) = 0;
    virtual long RePaint() = 0;
    virtual IDockArea* GetDockArea(int side) = 0;  // side 1 to 4
    virtual HMENU CreateMenu() = 0;
    virtual HMENU GetMenu() = 0;
    virtual int SetCorner(int corner, int side) = 0;
    virtual int Resize(RECT* remaining, HDWP deferred, int width, int height) = 0;
    // Command 1 shows the Customize dialog when the dock has one.
    virtual LRESULT OnCommand(LONG_PTR id, LONG_PTR unused) = 0;
    virtual IDockArea* DockAreaUnderDockWnd(IDockWnd* window) = 0;
    virtual void SetDockResizePercentEven(int even) = 0;
    virtual void SetDockable(int dockable) = 0;
    virtual int GetDockable() = 0;
};

// A dockable window; its content lives in its container.
struct IDockWnd : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IDockWnd *";
    virtual HWND Create(const char* name, IWnd* dock, RECT* rect) = 0;
    virtual IDockContainer* GetContainer() = 0;
    virtual IDockArea* GetDockedToDockArea() = 0;  // null while floating
    virtual IDockBand* GetDockedToBand() = 0;
    virtual int Resize(RECT* rect, HDWP deferred, int width, int height) = 0;
    virtual void SetLastDragRect(RECT* rect) = 0;
    virtual int SetDockedToBand(IDockBand* band) = 0;
    virtual RECT GetLastDragRect() = 0;
    virtual int DrawDragRect(int x, int y) = 0;
    virtual int EraseDragRect() = 0;
    virtual long GetDragRect(RECT* out, POINT point) = 0;
    virtual float GetDockPercentSize() = 0;
    virtual void SetDockPercentsize(float size) = 0;
    virtual void SetVisible(int visible) = 0;
    virtual void SetClosable(int closable) = 0;
    virtual void SetRect(const RECT* rect) = 0;
    virtual long GetRect(int side, RECT* out) = 0;
    virtual void SetDockRect(RECT* rect) = 0;
    virtual void GetDockRect(RECT* out) = 0;
    virtual int GetDockAreaPos() = 0;  // 0 while floating
    virtual int GetDockBandPos() = 0;  // -1 while floating
    virtual void SetDockFullRow(int fullRow) = 0;
    virtual int GetDockFullRow() = 0;
    virtual void SetDockVertical(int allowed) = 0;
    virtual void SetDockHorizontal(int allowed) = 0;
    virtual int IsVertical() = 0;
    virtual HWND GetContainerHandle() = 0;
    virtual void Hide() = 0;
    virtual void Show() = 0;
    virtual int GetVisible() = 0;
    virtual LRESULT OnNcLButtonDown(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnLButtonUp(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnMouseMove(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnSize(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnUnDocking(LONG_PTR area, LONG_PTR band) = 0;
    virtual LRESULT OnDocking(LONG_PTR area, LONG_PTR band) = 0;
};

// The window inside a dock window that holds its content; its object also
// answers "vesk::ui::IWndEvents *", where modules hook its messages.
struct IDockContainer : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IDockContainer *";
    virtual HWND Create(const char* name, IWnd* dockWindow, RECT* rect) = 0;
    virtual long DrawBorder(HDC dc, const RECT* rect) = 0;
    virtual long DrawGripper(HDC dc, const RECT* rect) = 0;
    virtual int SetDockRect(DWORD vertical, RECT* rect) = 0;
    virtual int GetDockRect(DWORD vertical, RECT* out) = 0;
    virtual int SetRect(RECT* rect) = 0;
    virtual void SetAutoSizeChild(int on) = 0;
    virtual int IsResizable() = 0;
    virtual void SetResizable(int on) = 0;
    virtual int IsDocked() = 0;
    virtual int IsVertical() = 0;
    virtual LRESULT OnSize(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnDocking(LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual LRESULT OnUnDocking(LONG_PTR wParam, LONG_PTR lParam) = 0;
};

// One side of the frame's client area, holding bands of dock windows. Sides:
// 1 top, 2 right, 3 bottom, 4 left; 2 and 4 are vertical.
struct IDockArea : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IDockArea *";
    virtual HWND Create(IWnd* parent, RECT* rect, const char* title, DWORD style, DWORD exStyle, HMENU menu,
                        WORD id, void* param, DWORD vertical) = 0;
    // A strip along that side of the dock's client rectangle; null for a
    // null dock.
    virtual HWND Create(IWnd* dock, DWORD side) = 0;
    virtual int Dock(IDockWnd* window) = 0;
    // A band index of -1 docks where the window's last drag rectangle lies.
    virtual int Dock(IDockWnd* window, long band) = 0;
    virtual int UnDock(IDockWnd* window) = 0;
    virtual int IsVertical() = 0;
    // 1 when the screen rectangle touches the area grown by 2 pixels.
    virtual int IsRectWindowOver(RECT* rect) = 0;
    virtual int Resize(RECT* placed, HDWP deferred, int width, int height) = 0;
    virtual int ResizeChildren(RECT* rect, HDWP deferred, int width, int height) = 0;
    // Thickness: the visible bands' widths (vertical) or heights
    // (horizontal); 0 across the other axis.
    virtual long GetWidth() = 0;
    virtual long GetHeight() = 0;
};

// One row (horizontal area) or column (vertical area) of dock windows.
struct IDockBand : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IDockBand *";
    virtual int Create(IDockArea* area) = 0;
    virtual int IsResizable() = 0;
    virtual int IsFull() = 0;
    virtual int GetSizerRect(RECT* out) = 0;
    virtual int GetWindowRect(RECT* out) = 0;  // area client coordinates
    virtual int AddWindow(IDockWnd* window) = 0;
    // The number of windows left.
    virtual long RemoveWindow(IDockWnd* window) = 0;
    virtual int Resize(RECT* band, HDWP deferred, int width, int height) = 0;
    virtual long GetWidth() = 0;
    virtual long GetHeight() = 0;
    // Change the thickness by the given amount and lay the frame out.
    virtual int SetWidth(int change) = 0;
    virtual int SetHeight(int change) = 0;
    // Gives every visible window an equal share of the band.
    virtual int ResizePercent(RECT* band, HDWP deferred, int width, int height) = 0;
};

// A dock window whose content is a platform toolbar. Its object also
// answers "vesk::ui::IDockWnd *", "vesk::ui::IWnd *" and
// "vesk::ui::IWndEvents *"; Create, GetRect and OnSize are the dock
// window's.
struct IDockToolBarWnd : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IDockToolBarWnd *";
    // The dock window's handle; null for a null parent.
    virtual HWND Create(const char* caption, IWnd* parent, RECT* rect) = 0;
    // The docked rectangle for a side (1 to 4) from the buttons' extent;
    // other sides leave the window rectangle.
    virtual long GetRect(int side, RECT* out) = 0;
    virtual HWND GetToolBarHandle() = 0;
    virtual IWnd* GetToolBarWnd() = 0;
    virtual LRESULT OnSize(LONG_PTR wParam, LONG_PTR lParam) = 0;
    // lParam: the notification's NMHDR.
    virtual LRESULT OnNotify(LONG_PTR wParam, LONG_PTR lParam) = 0;
    // 0 when the module has no bitmap of that name.
    virtual int LoadBitmapA(HINSTANCE module, const char* name, const char* maskName) = 0;
    // One button per id in order, 0 a separator; null ids: count empty
    // buttons. 0 for a count below 1 or a refused button.
    virtual int SetButtons(const UINT* ids, int count) = 0;
    virtual void SetSizes(int buttonWidth, int buttonHeight, int imageWidth, int imageHeight) = 0;
    // Buttons from a toolbar resource (type 241) and images from a bitmap
    // of the same module; 0 when either is missing or unusable.
    virtual int LoadToolBar(HINSTANCE module, const char* toolBarName, const char* bitmapName) = 0;
    virtual int LoadToolBarLarge(HINSTANCE module, const char* toolBarName, const char* bitmapName,
                                 const char* maskName) = 0;
    virtual int AddButton(int image, int command, BYTE state, BYTE style, DWORD data, const char* text) = 0;
    virtual void SetBitMapSize(int width, int height) = 0;
    virtual void SetMaxTextRows(int rows) = 0;
    virtual void SetRows(int rows, int larger, RECT* out) = 0;
    virtual int AddBitMap(int count, TBADDBITMAP* bitmap) = 0;
    // The toolbar's image list is replaced by one made from the bitmap and
    // its mask; the caller keeps both bitmaps.
    virtual int AddReplaceBitmap(HBITMAP image, HBITMAP mask) = 0;
    // Equal texts share one string of the toolbar; an index without a
    // button changes nothing.
    virtual int SetButtonText(int index, const char* text) = 0;
    // Menu form: the container's borders become 2 pixels.
    virtual int SetIsMenu(int isMenu) = 0;
    virtual void SetSizeableVertical(int sizeable) = 0;
    virtual void SetSizeableHorizontal(int sizeable) = 0;
};

// A dock window holding up to 20 child windows, one shown at a time, with
// folder tabs along its bottom edge. Tab indexes run from 0.
struct IDockTabBarWnd : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IDockTabBarWnd *";
    // The dock window's handle; null for a null parent.
    virtual HWND Create(const char* caption, IWnd* parent, RECT* rect) = 0;
    // The window is hidden until its tab is selected; a name that has a tab
    // gives that tab's index. -1 when no tab can be added.
    virtual int AddTab(const char* name, HWND window, int image) = 0;
    virtual int InsertTab(const char* name, HWND window) = 0;
    // Kept; the folder tabs draw no images (false).
    virtual bool SetImageList(HIMAGELIST images) = 0;
    virtual HWND GetTabWindow(int index) = 0;  // null outside the tabs
    virtual int FindTab(const char* name) = 0;  // -1 when none
    virtual HWND GetTabBarHandle() = 0;
    virtual IWnd* GetTabBarWnd() = 0;
    virtual void SelectTab(int index) = 0;
    // 2: tabs at the bottom, both bits; 3 and 4 one bit each; the new style.
    virtual LONG SetTabStyle(int placement) = 0;
    virtual HWND GetSelectedWindow() = 0;
};

// The Customize dialog: a property sheet listing the main window's child
// windows.
struct IDockWndConfigDlg : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IDockWndConfigDlg *";
    // Prepares the sheet for the parent's window; null.
    virtual HWND Create(IWnd* parent) = 0;
    // SW_SHOW (5) runs the sheet modally and answers 1; anything else 0.
    virtual BOOL ShowWindow(int how) = 0;
};

// A skin's drawing procedure: draws one part (1 frame, 3 dock area, 0 band
// or border, 4 and 5 caption boxes, 101 to 105 grippers and close boxes)
// and answers nonzero when it drew it.
using SkinDrawProc = int(CALLBACK*)(HWND window, HDC dc, int x, int y, int width, int height, int part,
                                    LPARAM reserved1, LPARAM reserved2);

// A set of numbered colours and metrics plus an optional drawing procedure.
struct ISkin : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::ISkin *";
    virtual int SetName(const char* name) = 0;
    virtual const char* GetName() = 0;
    virtual int SetDescription(const char* description) = 0;
    virtual const char* GetDescription() = 0;
    virtual int SetDrawCallback(SkinDrawProc draw) = 0;
    // A size value carries cx in its low and cy in its high 16 bits.
    virtual int SetValue(unsigned id, unsigned v) = 0;
    virtual unsigned GetValue(unsigned id) = 0;
    virtual LONG_PTR GetUserData() = 0;  // the main window's handle
};

// The skins: index 0 is the built-in one.
struct ISkinEngine : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::ISkinEngine *";
    // Appends a new skin, handed out through out; its index.
    virtual int CreateSkin(ISkin** out) = 0;
    virtual int GetSkinCount() = 0;
    virtual ISkin* GetSkin(int index) = 0;
    virtual int SelectSkin(unsigned index) = 0;
    virtual int Reserved4() = 0;
    virtual ISkin* GetCurrentSkin() = 0;
};

// The user interface's control object.
struct IUIControl : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IUIControl *";
    virtual int Create() = 0;
    virtual int Run() = 0;
    virtual int Shutdown() = 0;
    // The language module: texts, dialogs, menus.
    virtual HINSTANCE GetResourceInstance() = 0;
    virtual void SetResourceInstance(HINSTANCE module) = 0;
    // The default module "plugins\rsrc.vkm": icons and bitmaps.
    virtual HINSTANCE GetDefaultResourceInstance() = 0;
    virtual HIMAGELIST GetSmallImageList() = 0;
    virtual HIMAGELIST GetLargeImageList() = 0;
    virtual IDockWnd* CreateDockWindow(const char* caption, RECT* rect) = 0;
    virtual IDockToolBarWnd* CreateDockToolBarWindow(const char* caption, RECT* rect) = 0;
    virtual IDockTabBarWnd* CreateDockTabBarWindow(const char* caption, RECT* rect) = 0;
    // A new result window (count 0; the caller takes its own reference)
    // whose window exists, or null.
    virtual ISearchResultWnd* CreateSearchResultWnd(const char* name, RECT* rect) = 0;
    virtual IFrameChildWnd* CreateChildWnd(const char* title, RECT* rect) = 0;
    virtual bool IsClosed() = 0;
    // The icon's index in the shared image lists; each icon is loaded once.
    virtual int AddIcon(HINSTANCE module, int iconId) = 0;
    // Shell auto-completion for an edit field (flags 1: file system).
    virtual bool AutoComplete(HWND edit, DWORD flags) = 0;
};

// The options dialog. Pages asked for before the dialog or their parent
// exists wait in a queue; each page gets WM_COMMAND 1 (OK), 101 (Apply) and
// 2 (Cancel) with no control handle.
struct IOptions : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IOptions *";
    virtual int Create() = 0;
    // The page's tree item, 0 when queued or refused (empty title, the same
    // title under the same parent). A null module means the language module.
    virtual HTREEITEM AddPage(const char* title, const char* parentTitle, int image, int dialogId,
                              HINSTANCE module, DLGPROC procedure) = 0;
    virtual int Show() = 0;
    virtual int Hide() = 0;
};

// The notification-area icon of the main window.
struct ITrayCtrl : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::ITrayCtrl *";
    virtual int Add() = 0;
    virtual int Remove() = 0;
    virtual int SetIcon(HICON icon) = 0;
    virtual int SetTip(const char* text) = 0;  // cut to 63 characters
};

// The connect toolbar.
struct IDockConnectTB : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IDockConnectTB *";
    virtual int Create(const char* caption, RECT* rect) = 0;
    virtual int SetConnectedState(int connected) = 0;
    virtual bool IsConnected() = 0;
    // Connects (disconnects) every protocol through the manager and shows
    // the new state; 1.
    virtual int Connect() = 0;
    virtual int Disconnect() = 0;
};

// One row per search.
struct ISearchHistoryDockWnd : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::ISearchHistoryDockWnd *";
    virtual int Create(const char* name, RECT* rect) = 0;
    virtual IDockTabBarWnd* GetDockWnd() = 0;
    virtual int RemoveSearch(ss::IAgent* search) = 0;
    // Adds or refreshes the search agent's row.
    virtual bool UpdateSearch(ss::IAgent* search) = 0;
};

// A search's result window. All of them share one frame child window and
// one list; the active one is shown.
struct ISearchResultWnd : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::ISearchResultWnd *";
    virtual int Create(const char* name, RECT* rect) = 0;
    virtual HWND GetListWnd() = 0;
    virtual IFrameChildWnd* GetChildWnd() = 0;
    virtual int ShowFilter() = 0;
    virtual int HideFilter() = 0;
    virtual void Refresh(int unused) = 0;
    // Re-applies the window's own filter to the search's results and sets
    // the list's row count.
    virtual int RefreshList(int unused) = 0;
    virtual void Remove(ss::IAgent* row) = 0;
    // Binds the window to the search of the agent's "ISearchInst".
    virtual void Attach(ss::IAgent* search) = 0;
    virtual void SaveColumns() = 0;
    virtual void Close() = 0;
    virtual void Activate() = 0;
};

// Downloads, uploads and the playlist.
struct IDockTransferWnd : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IDockTransferWnd *";
    virtual int Create(const char* name, RECT* rect) = 0;
    virtual void AddUpload(ss::IAgent* row) = 0;
    // Adds or refreshes; a new row gets the window's own row actions.
    virtual int UpdateUpload(ss::IAgent* row) = 0;
    virtual int RemoveUpload(ss::IAgent* row) = 0;
    virtual void AddDownload(ss::IAgent* row) = 0;
    virtual int UpdateDownload(ss::IAgent* row) = 0;
    virtual int RemoveDownload(ss::IAgent* row) = 0;
    virtual IDockTabBarWnd* GetDockWnd() = 0;
};

// Open connections and the host cache.
struct IGnutellaHostDockWnd : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IGnutellaHostDockWnd *";
    virtual int Create(const char* name, RECT* rect) = 0;
    virtual void AddConnect(ss::IAgent* row) = 0;
    virtual bool UpdateConnect(ss::IAgent* row) = 0;
    virtual int RemoveConnect(ss::IAgent* row) = 0;
    virtual int RemoveAllConnect() = 0;
    virtual void AddCatch(ss::IAgent* row) = 0;
    virtual bool UpdateCatch(ss::IAgent* row) = 0;
    // Removes every host-cache row, releasing each row's agent.
    virtual int ClearCatch() = 0;
    virtual int Reserved() = 0;
    virtual int RemoveCatch(ss::IAgent* row) = 0;
    virtual IDockTabBarWnd* GetDockWnd() = 0;
    // The window's container once the window exists: waits, 1 ms at a time,
    // until 3000 ms after the first call in the process; null after that.
    // Not for the GUI thread.
    virtual IDockContainer* WaitCreated() = 0;
    virtual HWND GetConnectPage() = 0;
    virtual HWND GetCatchPage() = 0;
    virtual HWND GetAddressCombo() = 0;
    virtual int SaveHistory() = 0;
};

// A scrolling list of text lines.
struct IGnutellaStatDockWnd : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IGnutellaStatDockWnd *";
    virtual int Create(const char* name, RECT* rect) = 0;
    // Inserts the line on top; false (line dropped) while the window is hidden.
    virtual bool AddLine(const char* text) = 0;
};

// The search bar: a dock toolbar with the query box that starts searches.
struct IDockSearchBar : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IDockSearchBar *";
    // 1, or -1 when the toolbar cannot be made.
    virtual int Create(const char* name, RECT* rect) = 0;
};

// The audio player toolbar with the hosted media player control.
struct IVTBAudioPlayer : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IVTBAudioPlayer *";
    // 1; -1 when the toolbar cannot be made; 0 when the player control
    // cannot be hosted (the buttons then do nothing).
    virtual int Create(const char* name, RECT* rect) = 0;
};

// Text panes on the tabs of one dock window, for other modules' diagnostics
// (published as "vesk::ui::IDockDebugWnd *"). Tab indexes run from 0; an
// index without a pane acts on no window. A pane that fills up drops its
// older half.
struct IDockDebugWnd : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IDockDebugWnd *";
    // 1; 0 when the tab bar is not made. Panes asked for before become tabs.
    virtual int Create(const char* caption, RECT* rect) = 0;
    // Appends the text to the pane.
    virtual void Write(int tab, const char* text) = 0;
    // Appends the text (its first 4997 characters) and a line end.
    virtual void Print(int tab, const char* text) = 0;
    // The index of the pane of that name; -1 when none or before Create.
    virtual int Forward(const char* name) = 0;
    // A new pane's index, -1 when it cannot be made; before Create, the
    // name waits and its place in the waiting list is given.
    virtual int CreateEdit(const char* name) = 0;
};

// The open and explore row actions and the file-type icons of result rows.
struct IAgentExplorerCtrl : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IAgentExplorerCtrl *";
    // Registers the result callback and the result list's type field; 1.
    virtual int Init() = 0;
};

}  // namespace ui
}  // namespace vesk
