#include "core/containerBase.h"

#include "core/locks.h"

namespace vesk {

containerBase::containerBase(const value& flags) : flags_(flags.asUlong()), lock_(new capsule<spinLock>()) {
    lock_->addRef();
}

containerBase::~containerBase() { lock_->release(); }

void containerBase::retain(const value& v) const {
    if (addRefMode())
        if (Igeneric* o = v.anyObject())
            o->addRef();
}

void containerBase::drop(const value& v) const {
    if (addRefMode())
        if (Igeneric* o = v.anyObject())
            o->release();
}

void containerBase::store(value& slot, const value& v) const {
    value old = slot;
    retain(v);
    slot = v;
    drop(old);
}

}  // namespace vesk
