#include "Zintaro/ticks.h"

#include <atomic>

namespace vesk::zintaro {

namespace {

DWORD systemTicks() { return GetTickCount(); }

std::atomic<tickFunction> clock{&systemTicks};

}  // namespace

DWORD tickCount() { return clock.load()(); }

void setTickFunction(tickFunction replacement) { clock.store(replacement ? replacement : &systemTicks); }

}  // namespace vesk::zintaro
