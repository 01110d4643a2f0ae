// The four lock kinds behind Ilock. Only the reader-writer lock tells the
// modes apart; none records which thread holds it.
#pragma once

#include <windows.h>

#include <map>

#include "core/capsule.h"
#include "vesk/lock.h"

namespace vesk {

class lockBase : public objectBase, public Ilock {
protected:
    lockBase() {
        registerInterfaceOf<Ilock>(this);
        registerInterfaceOf<Igeneric>(this);
    }
};

// An interlocked word; waiters yield (Sleep(0)) between attempts.
class primitiveLock : public lockBase {
public:
    bool lock(int mode) override;
    bool unlock(int mode) override;  // false when nobody holds it
    bool tryLock(int mode) override;
    bool isLocked(int) override { return held_; }

private:
    volatile LONG word_ = 0;
    volatile bool held_ = false;
};

// The lock every container carries; waiters sleep 1 ms between attempts.
class spinLock : public lockBase {
public:
    bool lock(int mode) override;
    bool unlock(int mode) override;
    bool tryLock(int mode) override;
    bool isLocked(int) override { return held_; }

private:
    volatile LONG word_ = 0;
    volatile bool held_ = false;
};

// Re-entrant through the platform's critical section. Only the holding
// thread may unlock: leaving a section one does not own corrupts it.
class criticalSectionLock : public lockBase {
public:
    criticalSectionLock();
    ~criticalSectionLock();
    bool lock(int mode) override;
    bool unlock(int mode) override;   // false unless the caller holds it
    bool tryLock(int mode) override;  // never waits
    bool isLocked(int) override { return held_; }

private:
    void entered();

    CRITICAL_SECTION section_;
    volatile bool held_ = false;
    volatile DWORD owner_ = 0;  // written only by the holder
    unsigned depth_ = 0;        // the holder's entries
};

// Shared holders exclude exclusive ones and an exclusive holder excludes
// everyone. A waiting exclusive locker holds back new shared lockers so it
// is not starved, but not a thread that already holds the lock shared: it
// takes it again at once, or a nested shared hold would wait for the writer
// that waits for it.
class readerWriterLock : public lockBase {
public:
    readerWriterLock();
    ~readerWriterLock();
    bool lock(int mode) override;
    bool unlock(int mode) override;
    bool tryLock(int mode) override;
    bool isLocked(int mode) override;

private:
    bool tryShared();
    bool tryExclusive();
    bool releaseShared();

    CRITICAL_SECTION state_;  // guards the counts below
    long shared_ = 0;
    long exclusive_ = 0;
    long waitingExclusive_ = 0;
    std::map<DWORD, long> sharedBy_;  // shared holds per thread id
};

}  // namespace vesk
