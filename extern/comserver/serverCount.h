// What keeps an in-process server loaded: its live objects (class factories
// included, since a client may hold one without locking the server) and the
// locks taken through IClassFactory::LockServer. One count per module: each
// server links its own copy of this library.
#pragma once

#include <windows.h>

namespace vesk::comserver {

// S_OK when no object lives and no lock is held, else S_FALSE: the answer
// of DllCanUnloadNow.
HRESULT canUnloadNow();

void lockServer(bool lock);

// A member of every object the server hands out: counts it alive from
// construction to destruction.
class liveObject {
public:
    liveObject();
    ~liveObject();
    liveObject(const liveObject&) = delete;
    liveObject& operator=(const liveObject&) = delete;
};

}  // namespace vesk::comserver
