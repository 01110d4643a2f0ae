// What every container shares: its flags, its own spin lock and the
// reference keeping of add-ref mode.
#pragma once

#include "core/capsule.h"
#include "vesk/containers.h"

namespace vesk {

class containerBase : public objectBase {
public:
    // Flags come only from an unsigned long value; other codes give 0.
    explicit containerBase(const value& flags = value());
    ~containerBase();
    containerBase(const containerBase&) = delete;
    containerBase& operator=(const containerBase&) = delete;

protected:
    bool addRefMode() const { return (flags_ & vesk::addRefMode) != 0; }
    // In add-ref mode: take or give up the reference a stored value holds.
    void retain(const value& v) const;
    void drop(const value& v) const;
    // Stores v over slot: the new object is referenced before the old one
    // is released, so storing the same object again keeps it alive.
    void store(value& slot, const value& v) const;
    Ilock* lock() const { return lock_; }

private:
    unsigned long flags_;
    Ilock* lock_;  // one reference held
};

}  // namespace vesk
