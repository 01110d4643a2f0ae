// The dock manager: the four dock areas around the frame's client area, the
// dock windows, and the layout of the areas inside the frame.
#pragma once

#include <windows.h>

#include <list>
#include <vector>

#include "plugins/Dravik/export.h"
#include "plugins/Dravik/wnd.h"
#include "vesk/ui.h"

namespace vesk::ui {

class VDockArea;

// No window of its own: it takes the frame's window and instance.
class DRAVIK_API VDock : public VWnd, public IDock {
public:
    VDock();
    VDock(const VDock&) = delete;
    VDock& operator=(const VDock&) = delete;
    ~VDock() override;

    using VWnd::Create;
    long Create(IWnd* frame, DWORD flags) override;
    // The new window is kept by the dock (one reference) and handed out
    // without one.
    IDockWnd* CreateDockWindow(const char* name, RECT* rect) override;
    // A toolbar is kept like a dock window. A tab bar is not kept: it comes
    // without a reference, for the caller to take.
    IDockTabBarWnd* CreateDockTabBarWindow(const char* name, RECT* rect) override;
    IDockToolBarWnd* CreateDockToolBarWindow(const char* name, RECT* rect) override;
    long RePaint() override { return 0; }
    IDockArea* GetDockArea(int side) override;
    // A popup with the item "&Customize..." (command 1), the library's own
    // string; a second call replaces (and destroys) the first menu.
    HMENU CreateMenu() override;
    HMENU GetMenu() override { return menu_; }
    int SetCorner(int corner, int side) override;
    int Resize(RECT* remaining, HDWP deferred, int width, int height) override;
    // Command 1 shows the Customize dialog, when one was given.
    LRESULT OnCommand(LONG_PTR id, LONG_PTR unused) override;
    IDockArea* DockAreaUnderDockWnd(IDockWnd*) override { return nullptr; }
    void SetDockResizePercentEven(int even) override { percentEven_ = even; }
    void SetDockable(int dockable) override;
    int GetDockable() override { return dockable_; }

    int GetDockResizePercentEven() const { return percentEven_; }
    VDockArea* Area(int side) const;
    // The dock windows made here, newest first (no references added).
    std::vector<IDockWnd*> DockWindows() const;
    // Enters a dock window made elsewhere (a toolbar) at the front; the
    // dock takes a reference.
    void AddDockWindow(IDockWnd* window);
    // The width and height the areas were last laid out in.
    SIZE LayoutSize() const { return layout_; }
    IFrameWnd* Frame();
    // The Customize dialog command 1 shows (not owned; null: none).
    void SetConfigDialog(IDockWndConfigDlg* dialog) { configDialog_ = dialog; }

private:
    VDockArea* areas_[4] = {};  // by side - 1; one reference each
    HMENU menu_ = nullptr;
    int dockable_ = 1;
    int percentEven_ = 0;
    std::list<IDockWnd*> dockWindows_;  // one reference each
    SIZE layout_ = {0, 0};
    IDockWndConfigDlg* configDialog_ = nullptr;  // not owned
};

}  // namespace vesk::ui
