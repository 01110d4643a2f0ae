// The platform's slim reader-writer lock, for the share engine's short
// holds: many readers at once, one writer alone. Not reentrant.
#pragma once

#include <windows.h>

namespace vesk::share2 {

class slimLock {
public:
    slimLock() { InitializeSRWLock(&lock_); }
    slimLock(const slimLock&) = delete;
    slimLock& operator=(const slimLock&) = delete;

    SRWLOCK* get() { return &lock_; }

private:
    SRWLOCK lock_;
};

class sharedHold {
public:
    explicit sharedHold(slimLock& l) : lock_(l.get()) { AcquireSRWLockShared(lock_); }
    ~sharedHold() { ReleaseSRWLockShared(lock_); }
    sharedHold(const sharedHold&) = delete;
    sharedHold& operator=(const sharedHold&) = delete;

private:
    SRWLOCK* lock_;
};

class exclusiveHold {
public:
    explicit exclusiveHold(slimLock& l) : lock_(l.get()) { AcquireSRWLockExclusive(lock_); }
    ~exclusiveHold() { ReleaseSRWLockExclusive(lock_); }
    exclusiveHold(const exclusiveHold&) = delete;
    exclusiveHold& operator=(const exclusiveHold&) = delete;

private:
    SRWLOCK* lock_;
};

}  // namespace vesk::share2
