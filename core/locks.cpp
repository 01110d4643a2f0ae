#include "core/locks.h"

namespace vesk {

namespace {
constexpr int sharedMode = 0;
constexpr int exclusiveMode = 1;
}  // namespace

bool primitiveLock::lock(int) {
    while (InterlockedExchange(&word_, 1) != 0)
        Sleep(0);
    held_ = true;
    return true;
}

bool primitiveLock::unlock(int) {
    if (!held_)
        return false;
    held_ = false;  // cleared before the word, or the next holder's mark could be lost
    InterlockedExchange(&word_, 0);
    return true;
}

bool primitiveLock::tryLock(int) {
    if (InterlockedExchange(&word_, 1) != 0)
        return false;
    held_ = true;
    return true;
}

bool spinLock::lock(int) {
    while (InterlockedExchange(&word_, 1) != 0)
        Sleep(1);
    held_ = true;
    return true;
}

bool spinLock::unlock(int) {
    if (!held_)
        return false;
    held_ = false;
    InterlockedExchange(&word_, 0);
    return true;
}

bool spinLock::tryLock(int) {
    if (InterlockedExchange(&word_, 1) != 0)
        return false;
    held_ = true;
    return true;
}

criticalSectionLock::criticalSectionLock() { InitializeCriticalSection(&section_); }
criticalSectionLock::~criticalSectionLock() { DeleteCriticalSection(&section_); }

void criticalSectionLock::entered() {
    if (depth_++ == 0)
        owner_ = GetCurrentThreadId();
    held_ = true;
}

bool criticalSectionLock::lock(int) {
    EnterCriticalSection(&section_);
    entered();
    return true;
}

bool criticalSectionLock::unlock(int) {
    if (owner_ != GetCurrentThreadId())
        return false;
    if (--depth_ == 0)
        owner_ = 0;
    held_ = false;
    LeaveCriticalSection(&section_);
    return true;
}

bool criticalSectionLock::tryLock(int) {
    if (held_ || !TryEnterCriticalSection(&section_))
        return false;
    entered();
    return true;
}

readerWriterLock::readerWriterLock() { InitializeCriticalSection(&state_); }
readerWriterLock::~readerWriterLock() { DeleteCriticalSection(&state_); }

bool readerWriterLock::tryShared() {
    DWORD me = GetCurrentThreadId();
    EnterCriticalSection(&state_);
    auto mine = sharedBy_.find(me);
    bool nested = mine != sharedBy_.end();
    bool taken = exclusive_ == 0 && (nested || waitingExclusive_ == 0);
    if (taken) {
        ++shared_;
        try {
            ++sharedBy_[me];
        } catch (...) {
            // Out of memory: the hold stands, only its nesting goes unseen.
        }
    }
    LeaveCriticalSection(&state_);
    return taken;
}

// A shared hold may be given back by another thread than the one that took
// it: then the count drops and the taker's entry stays until the last
// shared hold is gone.
bool readerWriterLock::releaseShared() {
    EnterCriticalSection(&state_);
    bool released = shared_ > 0;
    if (released) {
        --shared_;
        auto mine = sharedBy_.find(GetCurrentThreadId());
        if (mine != sharedBy_.end() && --mine->second == 0)
            sharedBy_.erase(mine);
        if (shared_ == 0)
            sharedBy_.clear();
    }
    LeaveCriticalSection(&state_);
    return released;
}

bool readerWriterLock::tryExclusive() {
    EnterCriticalSection(&state_);
    bool taken = exclusive_ == 0 && shared_ == 0;
    if (taken)
        exclusive_ = 1;
    LeaveCriticalSection(&state_);
    return taken;
}

bool readerWriterLock::lock(int mode) {
    if (mode == sharedMode) {
        while (!tryShared())
            Sleep(1);
        return true;
    }
    if (mode != exclusiveMode)
        return false;
    EnterCriticalSection(&state_);
    ++waitingExclusive_;
    LeaveCriticalSection(&state_);
    while (!tryExclusive())
        Sleep(1);
    EnterCriticalSection(&state_);
    --waitingExclusive_;
    LeaveCriticalSection(&state_);
    return true;
}

bool readerWriterLock::unlock(int mode) {
    if (mode == sharedMode)
        return releaseShared();
    if (mode != exclusiveMode)
        return false;
    EnterCriticalSection(&state_);
    bool released = exclusive_ > 0;
    if (released)
        --exclusive_;
    LeaveCriticalSection(&state_);
    return released;
}

bool readerWriterLock::tryLock(int mode) {
    if (mode == sharedMode)
        return tryShared();
    if (mode == exclusiveMode)
        return tryExclusive();
    return false;
}

bool readerWriterLock::isLocked(int mode) {
    if (mode != sharedMode && mode != exclusiveMode)
        return false;
    EnterCriticalSection(&state_);
    bool held = (mode == sharedMode ? shared_ : exclusive_) > 0;
    LeaveCriticalSection(&state_);
    return held;
}

}  // namespace vesk
