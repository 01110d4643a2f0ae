// The lock of the network module's short sections: the system's slim
// reader-writer lock, taken exclusively. A wait for it stays within the
// process, where the C++ runtime's mutex waits on a system event: under
// Wine that is a round trip to its server for every contended section, and
// the network thread and a polling user contend all the time.
#pragma once

#include <windows.h>

#include <mutex>

namespace vesk::net {

class slimLock {
public:
    slimLock() { InitializeSRWLock(&lock_); }
    slimLock(const slimLock&) = delete;
    slimLock& operator=(const slimLock&) = delete;
    void lock() { AcquireSRWLockExclusive(&lock_); }
    void unlock() { ReleaseSRWLockExclusive(&lock_); }
    // With the lock held: lets it go until the condition is woken or the
    // time is up, then takes it again.
    void wait(CONDITION_VARIABLE& condition, DWORD milliseconds) {
        SleepConditionVariableSRW(&condition, &lock_, milliseconds, 0);
    }

private:
    SRWLOCK lock_;
};

using slimGuard = std::lock_guard<slimLock>;

}  // namespace vesk::net
