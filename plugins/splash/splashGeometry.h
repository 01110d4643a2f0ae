// Where the splash window goes and how it looks, free of I/O.
#pragma once

#include <windows.h>

namespace vesk::splash {

constexpr int splashWidth = 400;
constexpr int splashHeight = 293;

// Top-left corner on a screen whose full-screen area is width x height:
// centred by halves rounded down.
POINT splashOrigin(unsigned width, unsigned height);

// The window's style without caption, border, sizing frame or minimize
// box, and with WS_POPUP | WS_CLIPCHILDREN.
DWORD splashStyle(DWORD style);

}  // namespace vesk::splash
