// A least gap between events on the module's clock: an event passes when
// none has passed yet or at least the gap has gone by since the last one
// that passed (ticks compared by unsigned difference, so the tick count may
// wrap). Only the passing events count.
#pragma once

#include <atomic>

#include "plugins/gnutella/clock.h"

namespace vesk::gnutella {

class intervalGate {
public:
    explicit intervalGate(unsigned long gapMs) : gapMs_(gapMs) {}

    // True, and the time noted, when an event at now passes.
    bool Pass(unsigned long now = TickNow()) {
        if (passed_ && now - last_ < gapMs_)
            return false;
        last_ = now;
        passed_ = true;
        return true;
    }
    void Reset() { passed_ = false; }

private:
    const unsigned long gapMs_;
    std::atomic<bool> passed_{false};
    std::atomic<unsigned long> last_{0};
};

}  // namespace vesk::gnutella
