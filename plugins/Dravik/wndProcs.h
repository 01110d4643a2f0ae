// The exported window procedures. Each finds the window's object through
// the binding the library wrote into the window's user-data slot and passes
// the message to its WindowProc; -1 ("not handled") or no object leads to
// the default processing of the window's kind. A paint handler that answers
// leaves its window validated, so that WM_PAINT does not come again.
#pragma once

#include <windows.h>

#include "plugins/Dravik/export.h"

namespace vesk::ui {

// The object's answer, or 0 without an object; no default processing.
DRAVIK_API LRESULT __ProcPump(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A dialog procedure: -1 becomes 0, "not handled".
DRAVIK_API INT_PTR CALLBACK ___DlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
DRAVIK_API LRESULT CALLBACK ___DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The object sees every message; the window's previous procedure then
// handles it and gives the answer.
DRAVIK_API LRESULT CALLBACK ___DefSubclassWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
DRAVIK_API LRESULT CALLBACK ___DefMDIChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The frame's procedure: one frame per process (frameWnd.cpp).
DRAVIK_API LRESULT CALLBACK ___DefFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The object's answer to the message, -1 when there is no object or it did
// not handle it. Shared by the procedures above.
LRESULT DispatchToObject(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// After the last message of a window: its object lets go of the handle and
// the binding is forgotten, so a later window with the same handle is not
// taken for it.
void WindowDone(HWND window, UINT message);

}  // namespace vesk::ui
