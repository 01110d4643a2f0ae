#include "extern/comserver/serverCount.h"

namespace vesk::comserver {

namespace {

// Objects may be released on any thread of a multi-apartment client.
volatile LONG liveObjects = 0;
volatile LONG serverLocks = 0;

}  // namespace

HRESULT canUnloadNow() {
    return InterlockedCompareExchange(&liveObjects, 0, 0) == 0 && InterlockedCompareExchange(&serverLocks, 0, 0) == 0
               ? S_OK
               : S_FALSE;
}

void lockServer(bool lock) {
    if (lock) {
        InterlockedIncrement(&serverLocks);
        return;
    }
    // An unlock without a lock must not leave the count below zero, where
    // the server could never be unloaded again.
    for (LONG held = serverLocks; held > 0; held = serverLocks)
        if (InterlockedCompareExchange(&serverLocks, held - 1, held) == held)
            return;
}

liveObject::liveObject() { InterlockedIncrement(&liveObjects); }

liveObject::~liveObject() { InterlockedDecrement(&liveObjects); }

}  // namespace vesk::comserver
