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
    EnterCriticalSection(&state_);
    bool taken = exclusive_ == 0 && waitingExclusive_ == 0;
    if (taken)
        ++shared_;
    LeaveCriticalSection(&state_);
    return taken;
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
    if (mode != sharedMode && mode != exclusiveMode)
        return false;
    EnterCriticalSection(&state_);
    long& count = mode == sharedMode ? shared_ : exclusive_;
    bool released = count > 0;
    if (released)
        --count;
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
