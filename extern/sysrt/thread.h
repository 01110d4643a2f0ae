// Named threads: the class "vesk::thread" and the threader service.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "core/capsule.h"
#include "core/constructs.h"
#include "vesk/host.h"
#include "vesk/threading.h"

namespace vesk::sysrt {

class thread : public objectBase, public Ithread {
public:
    // owner may be null; log (not owned, may be null) hears of stops that
    // time out.
    thread(const char* name, void* parameter, threadProc procedure, IentityToken* owner, Itarget* log);
    ~thread();

    void* getParameter() override { return parameter_; }
    bool start() override;
    int shouldRun() override { return stopRequested_ ? 0 : 1; }
    bool isRunning() override { return running_; }
    void requestStop() override { stopRequested_ = true; }
    bool stop() override;
    void ended() override { endedByProcedure_ = true; }
    const char* getName() override { return name_.c_str(); }

    // How long stop waits before it gives up.
    static constexpr DWORD stopWaitMs = 10000;

private:
    static unsigned __stdcall runProcedure(void* self);

    std::string name_;
    void* parameter_;
    threadProc procedure_;
    IentityToken* owner_;  // one reference held
    Itarget* log_;         // not owned
    HANDLE handle_ = nullptr;
    unsigned threadId_ = 0;
    std::atomic<bool> started_{false};
    std::atomic<bool> running_{false};
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> endedByProcedure_{false};
};

// Thread objects alive in this module (made and not yet destroyed).
unsigned liveThreadObjects();

// "vesk::thread": only createWithArgs with the five thread values.
class _constructThread : public constructBase {
public:
    explicit _constructThread(Itarget* log);  // log not owned, may be null
    Igeneric* createWithArgs(value* args) override;

private:
    Itarget* log_;
};

class threader : public objectBase, public Ithreader, public IcoreObject {
public:
    threader();
    unsigned liveThreads() override { return liveThreadObjects(); }
};

}  // namespace vesk::sysrt
