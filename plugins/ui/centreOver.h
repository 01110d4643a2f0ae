// Where the main window's dialogs open: centred over the window that owns
// them, kept on the owner's screen.
#pragma once

#include <windows.h>

namespace vesk::ui {

// Moves the window (not its size) so that its centre is the owner's
// centre, inside the work area of the owner's monitor. Without a shown
// owner the window is centred in the work area.
void CentreOver(HWND window, HWND owner);

}  // namespace vesk::ui
