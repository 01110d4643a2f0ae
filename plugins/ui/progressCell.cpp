#include "plugins/ui/progressCell.h"

#include <cstdio>

namespace vesk::ui {

namespace {

const COLORREF percentTextColour = RGB(150, 128, 128);

RECT Inner(const RECT& outline) { return {outline.left + 1, outline.top + 1, outline.right - 1, outline.bottom - 1}; }

int Held(int percent) { return percent < 0 ? 0 : percent > 100 ? 100 : percent; }

}  // namespace

RECT ProgressOutline(const RECT& cell) { return {cell.left + 5, cell.top + 2, cell.right - 10, cell.bottom - 1}; }

COLORREF ProgressStripColour(int k) {
    return RGB((40 + k * 90 / progressStrips) & 0xFF, (40 + k) & 0xFF, (40 + k * 150 / progressStrips) & 0xFF);
}

RECT ProgressFill(const RECT& outline, int percent) {
    RECT inner = Inner(outline);
    int width = inner.right - inner.left;
    int fillEnd = inner.left + static_cast<int>(width * Held(percent) * 0.01);
    int limit = fillEnd - 1;
    if (width <= 0 || limit < inner.left)
        return {inner.left, inner.top, inner.left, inner.bottom};
    // An even limit ends the ramp two pixels short, as the bar always has.
    int right = limit % 2 == 0 ? limit - 2 : limit;
    if (right < inner.left)
        return {inner.left, inner.top, inner.left, inner.bottom};
    return {inner.left, inner.top, right + 1, inner.bottom};
}

void DrawProgressCell(HDC dc, const RECT& cell, int percent) {
    RECT outline = ProgressOutline(cell);
    if (outline.right <= outline.left || outline.bottom <= outline.top)
        return;
    int oldMode = ::SetBkMode(dc, TRANSPARENT);
    ::Rectangle(dc, outline.left, outline.top, outline.right, outline.bottom);
    if (percent != -1) {
        RECT fill = ProgressFill(outline, percent);
        RECT inner = Inner(outline);
        // Each strip is the bar's width / 215 wide: a short bar shares one
        // pixel column between several strips, a wide one spreads them.
        double stripWidth = static_cast<double>(inner.right - inner.left) / progressStrips;
        for (int k = 0; k < progressStrips; ++k) {
            int left = inner.left + static_cast<int>(k * stripWidth);
            int right = inner.left + static_cast<int>((k + 1) * stripWidth);
            if (left >= fill.right)
                break;
            if (right > fill.right)
                right = fill.right;
            if (right <= left)
                continue;
            RECT strip = {left, fill.top, right, fill.bottom};
            HBRUSH brush = ::CreateSolidBrush(ProgressStripColour(k));
            if (brush) {
                ::FillRect(dc, &strip, brush);
                ::DeleteObject(brush);
            }
        }
        char text[16];
        std::snprintf(text, sizeof text, "%d%%", percent);
        HGDIOBJ oldFont = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
        COLORREF oldColour = ::SetTextColor(dc, percentTextColour);
        ::DrawTextA(dc, text, -1, &outline, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        ::SetTextColor(dc, oldColour);
        ::SelectObject(dc, oldFont);
    }
    ::SetBkMode(dc, oldMode);
}

}  // namespace vesk::ui
