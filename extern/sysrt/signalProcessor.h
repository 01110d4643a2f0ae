// The host's signal loop and the shutdown signal. A shutdown posted on any
// path is latched: run() returns at once when it comes first, and a signal
// is never lost between the post and the loop.
#pragma once

#include <windows.h>

#include <map>
#include <mutex>
#include <string>

#include "core/capsule.h"
#include "core/constructs.h"
#include "vesk/threading.h"

namespace vesk::sysrt {

class signalProcessor : public objectBase, public IsignalProcessor, public IsignalAccessor, public IcoreObject {
public:
    signalProcessor();
    ~signalProcessor();
    // False when the latch could not be made; the object is then unusable.
    bool ready() const { return latch_ != nullptr; }

    // Handles from 2; 0 for a null path.
    unsigned long registerSignalPath(const char* path, IentityToken* owner, int flag) override;
    // Consumes the signal; 0 for a null one.
    int postSignal(unsigned long path, IentityToken* owner, IglobalShutdownSignal* signal, int flags) override;
    // Pumps the calling thread's messages until the shutdown is latched.
    int run() override;

private:
    void pumpMessages();

    HANDLE latch_;  // manual-reset: once set it stays set
    std::mutex pathsLock_;
    std::map<unsigned long, std::string> paths_;
    unsigned long nextPath_ = 2;
};

class globalShutdownSignal : public objectBase, public IglobalShutdownSignal {
public:
    explicit globalShutdownSignal(Igeneric* sender);  // one reference held; may be null
    ~globalShutdownSignal();

private:
    Igeneric* sender_;
};

// "vesk::globalShutdownSignal": create() or create1 (the sender's entity).
class _constructGlobalShutdownSignal : public constructBase {
public:
    _constructGlobalShutdownSignal();
    Igeneric* create() override;
    Igeneric* create1(value sender) override;
};

}  // namespace vesk::sysrt
