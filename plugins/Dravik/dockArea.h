// One dock area along a side of the frame's client area: an ordered list of
// bands (rows in a horizontal area, columns in a vertical one), docking and
// undocking, the area's place in the frame, and the mouse input its bands
// take through it.
#pragma once

#include <windows.h>

#include <vector>

#include "plugins/Dravik/export.h"
#include "plugins/Dravik/wnd.h"
#include "vesk/ui.h"

namespace vesk::ui {

class VDock;
class VDockBand;
class VDockWnd;

class DRAVIK_API VDockArea : public VWnd, public IDockArea {
public:
    VDockArea();
    VDockArea(const VDockArea&) = delete;
    VDockArea& operator=(const VDockArea&) = delete;
    ~VDockArea() override;

    using VWnd::Create;
    HWND Create(IWnd* parent, RECT* rect, const char* title, DWORD style, DWORD exStyle, HMENU menu, WORD id,
                void* param, DWORD vertical) override;
    HWND Create(IWnd* dock, DWORD side) override;
    int Dock(IDockWnd* window) override;
    int Dock(IDockWnd* window, long band) override;
    int UnDock(IDockWnd* window) override;
    int IsVertical() override { return vertical_; }
    int IsRectWindowOver(RECT* rect) override;
    int Resize(RECT* placed, HDWP deferred, int width, int height) override;
    int ResizeChildren(RECT* rect, HDWP deferred, int width, int height) override;
    // Thickness, which also answers IWnd's GetWidth and GetHeight.
    long GetWidth() override;
    long GetHeight() override;

    // The band's place in the list from 0; -1 when absent.
    int GetBandPos(IDockBand* band);
    // The band before it (direction -1) or after it; null at the ends.
    IDockBand* GetBandOffset(IDockBand* band, int direction);
    LRESULT OnContextMenu(LONG_PTR wParam, LONG_PTR lParam);

    LRESULT OnNcCalcSize(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnPaint(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnMouseMove(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnLButtonDown(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnLButtonUp(LONG_PTR wParam, LONG_PTR lParam) override;

    int Side() const { return side_; }
    // end 0 is the left (horizontal) or top (vertical) end.
    void SetCornerOwner(int end, VDockArea* owner) { cornerOwner_[end] = owner; }
    VDockArea* CornerOwner(int end) const { return cornerOwner_[end]; }
    // While a band of the area is pressed.
    bool IsDragging() const { return dragging_; }
    const std::vector<VDockBand*>& Bands() const { return bands_; }
    VDock* DockObject() const;
    // Lays the frame out for its current client size.
    void LayOutFrame();
    // The frame client's least width (horizontal area) or height (vertical
    // area) at which every band shows its windows (VDockBand::LeastLength),
    // the areas owning its corners included.
    int LeastSpan();
    // Drops an empty band from the list.
    void DropBand(VDockBand* band);

private:
    VDockBand* NewBand(size_t position);
    VDockBand* TargetBandAt(long index, bool resizable, bool fullRow);
    VDockBand* TargetBandAtPoint(POINT drop, bool resizable, bool fullRow);

    std::vector<VDockBand*> bands_;  // one reference each
    int side_ = 0;
    int vertical_ = 0;
    VDockArea* cornerOwner_[2] = {this, this};  // not owned
    VDockBand* dragBand_ = nullptr;              // in bands_
    bool dragging_ = false;
};

}  // namespace vesk::ui
