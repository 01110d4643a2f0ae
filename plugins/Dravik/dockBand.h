// One row (horizontal area) or column (vertical area) of dock windows: its
// thickness, the layout of its windows' containers, its sizer, and the drags
// of the sizer and of the gaps between windows. A band has no window of its
// own: it draws into its area's window and gets its mouse input from it.
#pragma once

#include <windows.h>

#include <vector>

#include "plugins/Dravik/export.h"
#include "plugins/Dravik/wnd.h"
#include "vesk/ui.h"

namespace vesk::ui {

class VDockArea;
class VDockWnd;

class DRAVIK_API VDockBand : public VWnd, public IDockBand {
public:
    VDockBand();
    VDockBand(const VDockBand&) = delete;
    VDockBand& operator=(const VDockBand&) = delete;
    ~VDockBand() override;

    using VWnd::Create;
    int Create(IDockArea* area) override;
    // Resizable: one of its windows has a resizable container. Full: one of
    // its windows is full-row.
    int IsResizable() override;
    int IsFull() override;
    int GetSizerRect(RECT* out) override;
    // The band rectangle (area client coordinates); also IWnd's.
    int GetWindowRect(RECT* out) override;
    int AddWindow(IDockWnd* window) override;
    long RemoveWindow(IDockWnd* window) override;
    int Resize(RECT* band, HDWP deferred, int width, int height) override;
    // Thickness, which also answers IWnd's GetWidth and GetHeight.
    long GetWidth() override;
    long GetHeight() override;
    int SetWidth(int change) override;
    int SetHeight(int change) override;
    int ResizePercent(RECT* band, HDWP deferred, int width, int height) override;

    IDockBand* GetBandPrevious();
    IDockBand* GetBandNext();
    int IsBandVisible();
    // The drag ghost: three focus rectangles, removed by drawing them again.
    int DrawSizerRect(HDC dc, RECT* rect);
    IDockWnd* GetDockWindowOffset(IDockWnd* window, int direction);
    // The length along the band that shows every visible window: a fixed
    // window whole, a resizable one at least leastWindowLength long, with
    // the gaps the layout leaves between the windows of a resizable band.
    int LeastLength();
    static constexpr int leastWindowLength = 16;

    // Reached through the area's window.
    LRESULT OnPaint(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnMouseMove(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnLButtonDown(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnLButtonUp(LONG_PTR wParam, LONG_PTR lParam) override;

    VDockArea* Area() const { return area_; }
    const std::vector<VDockWnd*>& Windows() const { return windows_; }
    const RECT& BandRect() const { return rect_; }
    // The ghost on the screen while a drag is under way (screen coordinates).
    bool GhostShown() const { return ghostShown_; }
    const RECT& Ghost() const { return ghost_; }

private:
    enum class drag { none, sizer, gap };

    int Side() const;
    bool Horizontal() const;
    bool Dockable() const;
    std::vector<VDockWnd*> VisibleWindows() const;
    // A window's container rectangle for the area's side, in the area's
    // client coordinates.
    RECT ClientRectOf(VDockWnd* window);
    RECT SizerStrip(const RECT& band) const;
    bool InSizerZone(POINT at, const RECT& window) const;
    void PercentPass(const RECT& band, const std::vector<VDockWnd*>& shown);
    void EvenPass(const RECT& band, const std::vector<VDockWnd*>& shown);
    void PlaceWindows(const RECT& band, const std::vector<VDockWnd*>& shown, bool even);
    RECT AcrossRange(const RECT& band, int inset) const;
    void ChangeThickness(int change, int& adjustment);
    void ShowGhost(const RECT& screen);
    void HideGhost();
    void EndGapDrag(POINT at);
    void EndSizerDrag(POINT at);
    void ResetDrag();

    VDockArea* area_ = nullptr;        // not owned: the area holds the band
    std::vector<VDockWnd*> windows_;   // not owned: the dock holds them
    RECT rect_ = {0, 0, 0, 0};
    int widthAdjust_ = 0;
    int heightAdjust_ = 0;
    POINT press_ = {-1, -1};
    drag drag_ = drag::none;
    VDockWnd* gapBefore_ = nullptr;
    VDockWnd* gapAfter_ = nullptr;
    RECT ghost_ = {0, 0, 0, 0};
    bool ghostShown_ = false;
};

}  // namespace vesk::ui
