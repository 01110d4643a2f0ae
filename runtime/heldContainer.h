// Containers the host keeps for itself, made directly rather than through
// the factory (which may not exist yet when they are needed).
#pragma once

#include "core/capsule.h"
#include "vesk/containers.h"
#include "vesk/value.h"

namespace vesk {

// A new container of class C in the given mode, with one reference held by
// the caller; null when it could not be made.
template <class C, class I>
I* newHeld(unsigned long flags) {
    try {
        I* made = new capsule<C>(value(flags));
        made->addRef();
        return made;
    } catch (...) {
        return nullptr;
    }
}

// Calls f(key, value) for every entry in key order. f must not change the
// table; callers that need to erase collect the keys first.
template <class F>
void forEachEntry(Ihash* table, F f) {
    unsigned count = table->size();
    if (count == 0)
        return;
    table->first();
    for (unsigned i = 0; i < count; ++i) {
        if (i > 0)
            table->next();
        f(table->currentKey(), table->currentValue());
    }
}

}  // namespace vesk
