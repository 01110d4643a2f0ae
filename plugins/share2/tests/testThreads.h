// A stand-in "vesk::thread" class for engine tests that run without the
// threader module: a platform thread per object, holding its own reference
// while the procedure runs, as the threader does.
#pragma once

#include <windows.h>

#include "vesk/factory.h"

namespace vesk::share2::test {

// Registers "vesk::thread" with the factory; false on failure.
bool registerTestThreads(Ifactory* factory);
// From now on a thread pauses this long between its procedure's return
// and giving back its own reference, as a thread preempted there would.
void setTestThreadLinger(DWORD ms);
// Thread objects made and not yet destroyed.
unsigned liveTestThreads();
// Threads not through yet: running their procedure or still letting go.
unsigned runningTestThreads();

}  // namespace vesk::share2::test
