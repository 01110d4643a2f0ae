// Small drawing helpers: device contexts released by scope, one-pixel lines
// drawn without making GDI objects, and the ghost frames of drags, drawn so
// that drawing them a second time removes them.
#pragma once

#include <windows.h>

namespace vesk::ui {

// A device context of a window (null: the screen), released by scope.
class windowDC {
public:
    // flags as for GetDCEx; 0 means GetDC.
    explicit windowDC(HWND window, DWORD flags = 0);
    ~windowDC();
    windowDC(const windowDC&) = delete;
    windowDC& operator=(const windowDC&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// Leaves the window's visible children out of what the device context
// draws on (a device context the window asked for with DCX_CLIPCHILDREN
// does not always leave them out); dcOrigin is where the context's origin
// lies on the screen.
void ExcludeVisibleChildren(HWND window, HDC dc, POINT dcOrigin);

// Fills the rectangle with a colour (no brush is made).
void FillSolid(HDC dc, const RECT& rect, COLORREF colour);
void HorizontalLine(HDC dc, int left, int right, int y, COLORREF colour);
void VerticalLine(HDC dc, int x, int top, int bottom, COLORREF colour);

// A frame of the given thickness inverted (PATINVERT, colour 0xFEFEFE).
void InvertFrame(HDC dc, const RECT& rect, int thickness);
// Three focus rectangles, each one pixel inside the previous one.
void NestedFocusFrames(HDC dc, const RECT& rect);

inline int Width(const RECT& r) { return r.right - r.left; }
inline int Height(const RECT& r) { return r.bottom - r.top; }
inline bool Contains(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }
// The point of a mouse message: signed x in the low, y in the high word.
inline POINT PointOf(LONG_PTR lParam) {
    return POINT{static_cast<short>(lParam & 0xFFFF), static_cast<short>((lParam >> 16) & 0xFFFF)};
}

}  // namespace vesk::ui
