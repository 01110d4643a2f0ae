// A dockable window: a floating tool window with a caption, and its
// container, which holds the content. Docked, the container moves into a
// dock area's window and its band places it; the floating window hides.
#pragma once

#include <windows.h>

#include "plugins/Dravik/export.h"
#include "plugins/Dravik/wnd.h"
#include "vesk/ui.h"

namespace vesk::ui {

class VDock;
class VDockArea;
class VDockBand;
class VDockContainer;

class DRAVIK_API VDockWnd : public VWnd, public IDockWnd {
public:
    VDockWnd();
    VDockWnd(const VDockWnd&) = delete;
    VDockWnd& operator=(const VDockWnd&) = delete;
    ~VDockWnd() override;

    using VWnd::Create;
    // Owned by the dock's (the frame's) window; null for a null dock.
    HWND Create(const char* name, IWnd* dock, RECT* rect) override;
    IDockContainer* GetContainer() override;
    IDockArea* GetDockedToDockArea() override;
    IDockBand* GetDockedToBand() override;
    int Resize(RECT*, HDWP, int, int) override { return 1; }
    void SetLastDragRect(RECT* rect) override;
    int SetDockedToBand(IDockBand* band) override;
    RECT GetLastDragRect() override { return lastDrag_; }
    int DrawDragRect(int x, int y) override;
    int EraseDragRect() override;
    // The drop target and ghost for a point (screen); 1 when an area takes
    // the window there.
    long GetDragRect(RECT* out, POINT point) override;
    float GetDockPercentSize() override { return percent_; }
    void SetDockPercentsize(float size) override { percent_ = size; }
    void SetVisible(int visible) override { visible_ = visible; }
    void SetClosable(int closable) override { closable_ = closable; }
    void SetRect(const RECT* rect) override;
    long GetRect(int side, RECT* out) override;
    void SetDockRect(RECT* rect) override;
    void GetDockRect(RECT* out) override;
    int GetDockAreaPos() override;
    int GetDockBandPos() override;
    void SetDockFullRow(int fullRow) override { fullRow_ = fullRow; }
    int GetDockFullRow() override { return fullRow_; }
    void SetDockVertical(int allowed) override { dockVertical_ = allowed; }
    void SetDockHorizontal(int allowed) override { dockHorizontal_ = allowed; }
    int IsVertical() override;
    HWND GetContainerHandle() override;
    void Hide() override;
    void Show() override;
    int GetVisible() override { return visible_; }
    LRESULT OnNcLButtonDown(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnLButtonUp(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnMouseMove(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnSize(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnUnDocking(LONG_PTR area, LONG_PTR band) override;
    LRESULT OnDocking(LONG_PTR area, LONG_PTR band) override;

    LRESULT OnClose(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnNcCalcSize(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnNcPaint(LONG_PTR wParam, LONG_PTR lParam) override;

    // The nearest window after or before this one in its band whose
    // container is visible; null when none or floating.
    IDockWnd* GetDockWndNext();
    IDockWnd* GetDockWndPrevious();
    // The ghost: a 2-pixel inverted frame; drawing it again removes it.
    void DrawGhostRect(HDC dc, RECT* rect);
    void CleanGhostRect(HDC dc, RECT* rect);

    VDockContainer* Container() const { return container_; }
    VDock* Dock() const { return dock_; }
    VDockArea* Area() const { return area_; }
    VDockBand* Band() const { return band_; }
    // A drag started on the docked container's gripper: at once, from the
    // given point (screen, already moved 15 pixels up and left).
    void BeginGripperDrag(POINT start);
    bool Dragging() const { return dragging_; }
    // The ghost on the screen, when one is shown (screen coordinates).
    bool GhostShown() const { return ghostShown_; }
    const RECT& Ghost() const { return drawn_; }
    // The dock is going away: forget it and the area and band it placed
    // this window in.
    void ForgetDocking();
    IDockArea* DropTarget() const { return dropTarget_; }

private:
    void LayOutFrame();
    void RemoveGhost();
    void EndPress();

    VDockContainer* container_;  // one reference
    VDock* dock_ = nullptr;      // not owned: it holds this window
    VDockArea* area_ = nullptr;  // not owned
    VDockBand* band_ = nullptr;  // not owned
    RECT lastDrag_ = {0, 0, 0, 0};
    RECT ghost_ = {0, 0, 0, 0};  // as GetDragRect computed it
    RECT drawn_ = {0, 0, 0, 0};  // as it is on the screen
    bool ghostShown_ = false;
    POINT press_ = {-1, -1};
    POINT pressOffset_ = {0, 0};
    SIZE dragStart_;
    bool dragging_ = false;
    IDockArea* dropTarget_ = nullptr;  // not owned
    int visible_ = 1;
    int closable_ = 1;
    int dockVertical_ = 1;
    int dockHorizontal_ = 1;
    int fullRow_ = 0;
    float percent_ = 100.0f;
};

}  // namespace vesk::ui
