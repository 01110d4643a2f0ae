#include "plugins/Dravik/paint.h"

namespace vesk::ui {

windowDC::windowDC(HWND window, DWORD flags)
    : window_(window), dc_(flags ? ::GetDCEx(window, nullptr, flags) : ::GetDC(window)) {}

windowDC::~windowDC() {
    if (dc_)
        ::ReleaseDC(window_, dc_);
}

void ExcludeVisibleChildren(HWND window, HDC dc, POINT dcOrigin) {
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT place;
        if (::IsWindowVisible(child) && ::GetWindowRect(child, &place))
            ::ExcludeClipRect(dc, place.left - dcOrigin.x, place.top - dcOrigin.y, place.right - dcOrigin.x,
                              place.bottom - dcOrigin.y);
    }
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    COLORREF old = ::SetBkColor(dc, colour);
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(dc, old);
}

void HorizontalLine(HDC dc, int left, int right, int y, COLORREF colour) {
    RECT line = {left, y, right, y + 1};
    FillSolid(dc, line, colour);
}

void VerticalLine(HDC dc, int x, int top, int bottom, COLORREF colour) {
    RECT line = {x, top, x + 1, bottom};
    FillSolid(dc, line, colour);
}

void InvertFrame(HDC dc, const RECT& r, int thickness) {
    HBRUSH brush = ::CreateSolidBrush(RGB(0xFE, 0xFE, 0xFE));
    if (!brush)
        return;
    HGDIOBJ old = ::SelectObject(dc, brush);
    int w = Width(r), h = Height(r);
    ::PatBlt(dc, r.left, r.top, w, thickness, PATINVERT);
    ::PatBlt(dc, r.left, r.bottom - thickness, w, thickness, PATINVERT);
    ::PatBlt(dc, r.left, r.top + thickness, thickness, h - 2 * thickness, PATINVERT);
    ::PatBlt(dc, r.right - thickness, r.top + thickness, thickness, h - 2 * thickness, PATINVERT);
    ::SelectObject(dc, old);
    ::DeleteObject(brush);
}

void NestedFocusFrames(HDC dc, const RECT& rect) {
    RECT r = rect;
    for (int i = 0; i < 3; ++i) {
        ::DrawFocusRect(dc, &r);
        ::InflateRect(&r, -1, -1);
    }
}

}  // namespace vesk::ui
