// The clock of the renderer's timers, in milliseconds. Tests put their own
// clock in its place.
#pragma once

#include <windows.h>

namespace vesk::zintaro {

using tickFunction = DWORD (*)();

DWORD tickCount();

// Replaces the clock; null puts the system's tick count back.
void setTickFunction(tickFunction clock);

}  // namespace vesk::zintaro
