// Whether a window shows what it would after a full repaint: a capture
// taken once the window stopped changing, without any forced redraw,
// against a capture taken after RedrawWindow of the window, its frame and
// all its children. A window that invalidated too little after a change
// keeps stale or unpainted pixels that only the forced redraw mends.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>

#include "testing/screen/rgbImage.h"

namespace vesk::testing {

// Lets the window's program run for about that many milliseconds: Sleep
// for another process's window, a message pump for one of this thread.
using letRun = std::function<void(DWORD ms)>;
void SleepFor(DWORD ms);

// The window as the screen shows it, once it has not changed for about
// half a second (or the limit has passed: the last capture).
rgbImage CaptureSettled(HWND window, const letRun& wait = SleepFor, DWORD limitMs = 5000);

// What the window draws when every part of it is painted again.
void RedrawWhole(HWND window);

struct redrawCheck {
    rgbImage settled;  // before the forced redraw
    rgbImage redrawn;  // after it (the one closest in time to equal)
    bool same = false;
    std::size_t differing = 0;  // pixels that differ
    RECT box = {};              // around them, in image coordinates
};

// The settled capture, then a full redraw and captures until one equals it
// or the limit has passed (a blinking caret may need a second look).
redrawCheck CheckAgainstRedraw(HWND window, const letRun& wait = SleepFor, DWORD limitMs = 5000);

// The pixels in which two images of one size differ and the box around
// them; every pixel when the sizes differ.
std::size_t DifferingPixels(const rgbImage& a, const rgbImage& b, RECT* box);

}  // namespace vesk::testing
