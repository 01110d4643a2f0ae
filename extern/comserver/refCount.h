// The reference count of one COM object; the object deletes itself when
// release() answers 0.
#pragma once

#include <windows.h>

namespace vesk::comserver {

class refCount {
public:
    ULONG add() { return static_cast<ULONG>(InterlockedIncrement(&count_)); }
    ULONG release() { return static_cast<ULONG>(InterlockedDecrement(&count_)); }

private:
    volatile LONG count_ = 1;  // the creator's reference
};

}  // namespace vesk::comserver
