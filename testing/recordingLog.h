// A log target for tests: keeps every line written to it and consumes the
// message as the real log does. Writers may be on several threads.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "core/capsule.h"
#include "vesk/data.h"
#include "vesk/host.h"

namespace vesk::testing {

class recordingLog : public objectBase, public Itarget {
public:
    recordingLog() {
        registerInterfaceOf<Itarget>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    bool write(Igeneric* message) override {
        if (!message)
            return false;
        ref<Igeneric> consumed(message);
        Istring* text = interfaceCast<Istring>(message);
        std::lock_guard<std::mutex> hold(lock_);
        lines_.push_back(text && text->c_str() ? text->c_str() : "");
        return true;
    }
    std::vector<std::string> lines() {
        std::lock_guard<std::mutex> hold(lock_);
        return lines_;
    }
    void clear() {
        std::lock_guard<std::mutex> hold(lock_);
        lines_.clear();
    }

private:
    std::mutex lock_;
    std::vector<std::string> lines_;
};

}  // namespace vesk::testing
