// Named threads: the class "vesk::thread" and the threader service.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

#include "core/capsule.h"
#include "core/constructs.h"
#include "vesk/directory.h"
#include "vesk/host.h"
#include "vesk/threading.h"

namespace vesk::sysrt {

class thread : public objectBase, public Ithread {
public:
    // owner may be null. Stops that time out and procedures that throw are
    // logged through the directory's log target (core not owned, may be null).
    thread(const char* name, void* parameter, threadProc procedure, IentityToken* owner, Icore* core);
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
    // Looked up at each use: at exit the log target ends before the
    // modules' services, whose threads may end later still.
    void log(const std::string& line);

    std::string name_;
    void* parameter_;
    threadProc procedure_;
    IentityToken* owner_;  // one reference held
    Icore* core_;          // not owned
    // A procedure may start its own object again once it reported ended,
    // while its run is still on the way out: each run is its own platform
    // thread, and the latest one is the object's.
    std::mutex runLock_;   // guards the handle and id of the latest run
    HANDLE handle_ = nullptr;
    unsigned threadId_ = 0;
    std::atomic<bool> running_{false};
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> endedByProcedure_{false};
};

// Thread objects alive in this module (made and not yet destroyed).
unsigned liveThreadObjects();

// "vesk::thread": only createWithArgs with the five thread values.
class _constructThread : public constructBase {
public:
    explicit _constructThread(Icore* core);  // not owned, may be null
    Igeneric* createWithArgs(value* args) override;

private:
    Icore* core_;
};

class threader : public objectBase, public Ithreader, public IcoreObject {
public:
    threader();
    unsigned liveThreads() override { return liveThreadObjects(); }
};

}  // namespace vesk::sysrt
