// The child window of a dock window that holds its content. Docked, it has
// a frame of its own: a border, and while docking is allowed a gripper to
// drag it by and, when resizable, a close box.
#pragma once

#include <windows.h>

#include "plugins/Dravik/export.h"
#include "plugins/Dravik/wnd.h"
#include "vesk/ui.h"

namespace vesk::ui {

class VDockWnd;

class DRAVIK_API VDockContainer : public VWnd, public IDockContainer {
public:
    VDockContainer();
    VDockContainer(const VDockContainer&) = delete;
    VDockContainer& operator=(const VDockContainer&) = delete;

    using VWnd::Create;
    HWND Create(const char* name, IWnd* dockWindow, RECT* rect) override;
    long DrawBorder(HDC dc, const RECT* rect) override;
    long DrawGripper(HDC dc, const RECT* rect) override;
    // vertical 0: for horizontal areas, 1: for vertical ones.
    int SetDockRect(DWORD vertical, RECT* rect) override;
    // (0, 0, 100, 100) while never set.
    int GetDockRect(DWORD vertical, RECT* out) override;
    // The floating and the placement rectangle.
    int SetRect(RECT* rect) override;
    void SetAutoSizeChild(int on) override { autoSizeChild_ = on; }
    int IsResizable() override { return resizable_; }
    void SetResizable(int on) override { resizable_ = on; }
    int IsDocked() override;
    int IsVertical() override;
    LRESULT OnSize(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnDocking(LONG_PTR, LONG_PTR) override { return -1; }
    LRESULT OnUnDocking(LONG_PTR wParam, LONG_PTR lParam) override;

    RECT GetRect() const { return placement_; }
    LRESULT OnContextMenu(LONG_PTR, LONG_PTR) { return -1; }
    LRESULT OnNcLButtonUp(LONG_PTR wParam, LONG_PTR lParam);

    LRESULT OnNcHitTest(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnNcLButtonDown(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnMouseMove(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnNcMouseMove(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnLButtonUp(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnNotify(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnNcCalcSize(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnNcPaint(LONG_PTR wParam, LONG_PTR lParam) override;

    void SetFloatingRect(const RECT& r) { floating_ = r; }
    // Border widths in the order top, bottom, left, right (toolbars in menu
    // form use 2).
    void SetBorders(int top, int bottom, int left, int right);
    VDockWnd* DockWindow() const { return dockWindow_; }
    // Where the gripper last drew the close box (window coordinates).
    const RECT& CloseBox() const { return closeBox_; }

private:
    enum class closeLook { normal, pressed, hot };

    bool InBand() const;
    bool Dockable() const;
    void DrawCloseBox(closeLook look);
    bool OverCloseBox(POINT screen) const;
    void EndPress();

    VDockWnd* dockWindow_ = nullptr;  // not owned: it holds this container
    RECT docked_[2] = {};             // horizontal, vertical
    RECT floating_ = {0, 0, 0, 0};
    int borders_[4] = {4, 4, 4, 4};  // top, bottom, left, right
    int resizable_ = 1;
    int autoSizeChild_ = 0;
    RECT closeBox_ = {0, 0, 0, 0};
    closeLook closeDrawn_ = closeLook::normal;
    POINT dragPress_ = {-1, -1};
    bool dragging_ = false;
    bool closePressed_ = false;
};

}  // namespace vesk::ui
