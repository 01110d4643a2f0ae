// The frame's status bar: a platform status window with five panes along
// the bottom of the main window. Text and icons may come from any thread and
// before the window exists; what comes early is kept per pane and applied
// when the window is made. Panes 1 to 4 stand at the right, each as wide as
// its text and icon need (counts given room for three digits, so that the
// panes do not move while counts grow) and at least as wide as it starts;
// pane 0 takes the rest.
#pragma once

#include <windows.h>

#include <string>

#include "plugins/Dravik/export.h"
#include "plugins/Dravik/section.h"
#include "plugins/Dravik/wnd.h"
#include "vesk/ui.h"

namespace vesk::ui {

class DRAVIK_API VStatusBar : public VWnd, public IStatusBar, public IcoreObject {
public:
    static constexpr int paneCount = 5;
    // Longest text kept for a pane before the window exists.
    static constexpr std::size_t keptTextLength = 255;

    VStatusBar();
    VStatusBar(const VStatusBar&) = delete;
    VStatusBar& operator=(const VStatusBar&) = delete;

    using VWnd::Create;
    // The status window (style 0x54001043, id 40010, text "Ready") under the
    // parent's window; its messages pass through this object's hooks. 0.
    int Create(IWnd* parent) override;
    void Output(const char* text) override;
    // Panes outside 0 to 4 are ignored.
    void Output(const char* text, int pane, DWORD flags) override;
    // Along the parent's bottom edge; panes 1 to 4 at the right and pane 0
    // taking the rest. 1.
    int Resize(RECT* rect, void* deferred, int width, int height) override;
    // The answer of SB_SETICON; 0 while the icon is kept for later.
    long SetIcon(int pane, HICON icon) override;
    using VWnd::SetIcon;

    LRESULT OnDestroy(LONG_PTR wParam, LONG_PTR lParam) override;

    // The width that shows every pane: panes 1 to 4 as wide as they are and
    // pane 0 at least leastPaneZero.
    int LeastWidth();
    static constexpr int leastPaneZero = 100;

private:
    struct keptText {
        bool kept = false;
        std::string text;
        DWORD flags = 0;
    };
    struct keptIcon {
        bool kept = false;
        HICON icon = nullptr;
    };

    // The window to send to, or null when what comes now must be kept.
    HWND SendTarget();
    // Widens or narrows the pane for its present text and icon; the panes
    // are placed again when its width changed.
    void FitPane(HWND window, int pane);
    // The width the pane needs for its text and icon in the window's font.
    static int NeededWidth(HWND window, int pane);
    void PlaceParts(HWND window);

    criticalSection lock_;       // guards the three below, held only to copy
    HWND target_ = nullptr;      // the status window while it exists
    keptText texts_[paneCount];  // given before the window existed
    keptIcon icons_[paneCount];
    int widths_[paneCount];  // of panes 1 to 4; [0] unused
};

}  // namespace vesk::ui
