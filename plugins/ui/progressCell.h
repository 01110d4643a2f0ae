// The progress bar a list draws in the cell of its progress field: an
// outline, a colour ramp from dark grey towards light blue-green over the
// done part, and the percentage centred on top.
#pragma once

#include <windows.h>

namespace vesk::ui {

// Strips the ramp is drawn in across a full bar.
constexpr int progressStrips = 215;

// The bar's outline inside a cell rectangle (client coordinates).
RECT ProgressOutline(const RECT& cell);
// The colour of strip k (0 to progressStrips - 1).
COLORREF ProgressStripColour(int k);
// The bar's fill inside the outline for a percentage: the rectangle the
// ramp covers (empty when nothing is filled).
RECT ProgressFill(const RECT& outline, int percent);
// Draws the bar for the cell with the DC's pen and brush; a percentage of
// -1 draws the outline only. Values are held to 0..100.
void DrawProgressCell(HDC dc, const RECT& cell, int percent);

}  // namespace vesk::ui
