#include "plugins/share2/tests/testThreads.h"

#include <windows.h>

#include <atomic>
#include <string>

#include "core/constructs.h"
#include "vesk/threading.h"

namespace vesk::share2::test {
namespace {

std::atomic<unsigned> g_live{0};
std::atomic<unsigned> g_running{0};
std::atomic<DWORD> g_lingerMs{0};

class testThread : public objectBase, public Ithread {
public:
    testThread(const char* name, void* parameter, threadProc procedure)
        : name_(name ? name : ""), parameter_(parameter), procedure_(procedure) {
        registerInterfaceOf<Ithread>(this);
        registerInterfaceOf<Igeneric>(this);
        ++g_live;
    }
    ~testThread() {
        if (handle_)
            CloseHandle(handle_);
        --g_live;
    }

    void* getParameter() override { return parameter_; }
    bool start() override {
        if (started_.exchange(true))
            return false;
        addRef();  // the running procedure's
        running_ = true;
        ++g_running;
        handle_ = CreateThread(nullptr, 0, &run, this, 0, nullptr);
        if (!handle_) {
            running_ = false;
            --g_running;
            release();
            return false;
        }
        return true;
    }
    int shouldRun() override { return stopRequested_ ? 0 : 1; }
    bool isRunning() override { return running_; }
    void requestStop() override { stopRequested_ = true; }
    bool stop() override {
        requestStop();
        return !handle_ || WaitForSingleObject(handle_, 10000) == WAIT_OBJECT_0;
    }
    void ended() override {}
    const char* getName() override { return name_.c_str(); }

private:
    static DWORD WINAPI run(void* self) {
        auto* t = static_cast<testThread*>(self);
        t->procedure_(t);
        t->running_ = false;
        if (DWORD linger = g_lingerMs.load())
            Sleep(linger);  // preempted before letting go
        --g_running;
        t->release();
        return 0;
    }

    std::string name_;
    void* parameter_;
    threadProc procedure_;
    HANDLE handle_ = nullptr;
    std::atomic<bool> started_{false};
    std::atomic<bool> running_{false};
    std::atomic<bool> stopRequested_{false};
};

class constructTestThread : public constructBase {
public:
    constructTestThread() : constructBase("vesk::thread") {}
    Igeneric* createWithArgs(value* args) override {
        if (!args || args[0].asLong() != 4)
            return nullptr;
        auto procedure = addressFrom<threadProc>(args[3]);
        if (!procedure)
            return nullptr;
        return static_cast<Ithread*>(new capsule<testThread>(args[1].asCString(), args[2].asPointer(), procedure));
    }
};

}  // namespace

bool registerTestThreads(Ifactory* factory) {
    auto* construct = new capsule<constructTestThread>();
    construct->addRef();  // the factory's table keeps its own
    bool registered = factory->registerClass(construct, 0, 0) != 0;
    construct->release();
    return registered;
}

void setTestThreadLinger(DWORD ms) { g_lingerMs = ms; }

unsigned liveTestThreads() { return g_live.load(); }
unsigned runningTestThreads() { return g_running.load(); }

}  // namespace vesk::share2::test
