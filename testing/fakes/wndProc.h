// The message hook objects of the class "vesk::ui::VWndProc", as the window
// library makes them: created with two pointerInt values, the address of a
// message procedure and a user pointer. The procedure gets the user pointer
// as its first argument when one was given.
#pragma once

#include <windows.h>

#include <cstddef>

#include "vesk/factory.h"

namespace vesk::testing {

using hookProcedure = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
using hookProcedureWithUser = LRESULT (*)(void* user, HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam);

// A new construct object (count 0).
Iconstruct* newWndProcConstruct();

// The hook objects made so far in the process.
std::size_t WndProcsMade();

}  // namespace vesk::testing
