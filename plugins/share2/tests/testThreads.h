// A stand-in "vesk::thread" class for engine tests that run without the
// threader module: a platform thread per object, holding its own reference
// while the procedure runs, as the threader does.
#pragma once

#include "vesk/factory.h"

namespace vesk::share2::test {

// Registers "vesk::thread" with the factory; false on failure.
bool registerTestThreads(Ifactory* factory);
// Thread objects made and not yet destroyed.
unsigned liveTestThreads();
// Procedures running now.
unsigned runningTestThreads();

}  // namespace vesk::share2::test
