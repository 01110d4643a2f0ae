#include "plugins/gnutella/clock.h"

#include <windows.h>

#include <atomic>

namespace vesk::gnutella {

namespace {

unsigned long systemTicks() {
    return GetTickCount();
}

std::atomic<tickSource> source{&systemTicks};

}  // namespace

unsigned long TickNow() {
    return source.load()();
}

void SetTickSource(tickSource replacement) {
    source.store(replacement ? replacement : &systemTicks);
}

}  // namespace vesk::gnutella
