// Turning a picture and drawing it with a transparent colour.
#pragma once

#include <windows.h>

#include "Zintaro/gdiObjects.h"

namespace vesk::zintaro {

// A new bitmap compatible with dc holding source turned by angle (radians,
// clockwise on the screen), just large enough for it; the corners it leaves
// are filled with fill. The source is not changed. An empty owner when the
// turned picture has no area or cannot be made.
ownedBitmap RotateBitmap(HDC dc, HBITMAP source, double angle, COLORREF fill);

// Draws bitmap (whole) into dc with its top left at (x, y); where the
// bitmap has the key colour, dc keeps what it had. The bitmap is not
// changed. False when a step fails (dc may then be partly drawn).
bool TransparentDraw(HDC dc, HBITMAP bitmap, int x, int y, COLORREF key);

}  // namespace vesk::zintaro
