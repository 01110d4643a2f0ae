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
struct ISkinEngine;
struct ISearchResultWnd;

// A message hook: -1 means "not handled".
struct IWndProc : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IWndProc *";
    virtual LRESULT HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// The message handling of a window object. Hooks are asked in the order
// added for every message of the window; the first result other than -1 is
// the window's answer. The window library appends its message handlers after
// these operations.
struct IWndEvents : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IWndEvents *";
    // Takes a reference to the hook; 0 for null, else 1.
    virtual int AddMessageHook(IWndProc* hook) = 0;
    // Removes every entry of the hook and releases it once; 0 for null.
    virtual int RemoveMessageHook(IWndProc* hook) = 0;
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// A window object over one platform window. The window library appends its
// further window operations after these.
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
    virtual long OnCommand(long id, long unused) = 0;
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

}  // namespace ui
}  // namespace vesk
