// Input as the system delivers a user's mouse to a window, posted to it
// (any process's window): tests and the driver drag with it.
#pragma once

#include <windows.h>

namespace vesk::testing {

// Presses the left button at `from` (from the window's top left corner),
// moves to `to` in steps and releases there. On a part the window's hit
// test calls non-client (a caption, a gripper), the press comes as
// WM_NCLBUTTONDOWN with the hit code and screen point, as the system sends
// it; the moves and the release come in client coordinates, as they reach
// a window that captured the mouse. False when a message could not be
// posted.
bool PostDrag(HWND window, POINT from, POINT to);

}  // namespace vesk::testing
