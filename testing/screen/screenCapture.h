// Copies what the screen shows through GDI (this works under Xvfb, where
// Wine draws into the X server's frame buffer).
#pragma once

#include <windows.h>

#include "testing/screen/rgbImage.h"

namespace vesk::testing {

// The screen inside area (screen coordinates). Empty when the area is
// empty or GDI refuses.
rgbImage CaptureScreenArea(const RECT& area);

// The whole screen.
rgbImage CaptureScreen();

// A window as it shows on the screen (whatever covers it included), cut
// to the screen; empty when none of it is on the screen.
rgbImage CaptureWindow(HWND window);

}  // namespace vesk::testing
