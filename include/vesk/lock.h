// Locks behind one interface. Mode 0 is shared, 1 exclusive; only the
// reader-writer lock tells them apart. Callers in this system lock and
// unlock with mode 0 around their own use.
#pragma once

#include "vesk/object.h"

namespace vesk {

struct Ilock : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::Ilock *";
    virtual bool lock(int mode) = 0;     // waits; true when taken
    virtual bool unlock(int mode) = 0;   // false when there was no hold
    virtual bool tryLock(int mode) = 0;  // never waits for a holder
    virtual bool isLocked(int mode) = 0; // a hint for other threads
};

// Holds a lock for a scope (mode 0 unless told otherwise). A null lock is
// allowed and does nothing.
class lockGuard {
public:
    explicit lockGuard(Ilock* l, int mode = 0) : lock_(l), mode_(mode) {
        if (lock_)
            lock_->lock(mode_);
    }
    ~lockGuard() {
        if (lock_)
            lock_->unlock(mode_);
    }
    lockGuard(const lockGuard&) = delete;
    lockGuard& operator=(const lockGuard&) = delete;

private:
    Ilock* lock_;  // not owned
    int mode_;
};

}  // namespace vesk
