#include "extern/sysrt/thread.h"

#include <process.h>

#include "core/module.h"
#include "core/string.h"

namespace vesk::sysrt {

namespace {

std::atomic<long> liveCount{0};

// Procedures arrive as a long (the address), some callers use a pointer code.
threadProc procedureOf(const value& v) {
    if (v.code == vt::pointerIntV)
        return addressFrom<threadProc>(v);
    // An unsigned long holds an address only where it is as wide as one.
    if ((v.code == vt::ulongV && sizeof(unsigned long) == sizeof(void*)) || (v.code & vt::pointerBit))
        return reinterpret_cast<threadProc>(v.payload.p);
    return nullptr;
}

void* userValueOf(const value& v) {
    return (v.code & (vt::pointerBit | vt::objectBit)) ? v.payload.p : nullptr;
}

}  // namespace

unsigned liveThreadObjects() { return static_cast<unsigned>(liveCount.load()); }

thread::thread(const char* name, void* parameter, threadProc procedure, IentityToken* owner, Icore* core)
    : name_(name ? name : ""), parameter_(parameter), procedure_(procedure), owner_(owner), core_(core) {
    if (owner_)
        owner_->addRef();
    ++liveCount;
    registerInterfaceOf<Ithread>(this);
    registerInterfaceOf<Igeneric>(this);
}

thread::~thread() {
    if (handle_)
        CloseHandle(handle_);
    if (owner_)
        owner_->release();
    --liveCount;
}

bool thread::start() {
    if (!procedure_)
        return false;
    bool resumed = false;
    {
        std::lock_guard<std::mutex> hold(runLock_);
        if (running_ && !endedByProcedure_)
            return false;  // its procedure still runs
        // A stop asked of a run that is still on its way out holds for the
        // next run too (a restart during shutdown ends at once); a run that
        // has returned leaves nothing behind.
        if (!running_)
            stopRequested_ = false;
        // Suspended first, so the reference below is taken before the
        // procedure can run, end and release.
        unsigned id = 0;
        uintptr_t made = _beginthreadex(nullptr, 0, &thread::runProcedure, this, CREATE_SUSPENDED, &id);
        if (!made)
            return false;
        if (handle_)
            CloseHandle(handle_);  // the previous run's; a stop waits on its own copy
        handle_ = reinterpret_cast<HANDLE>(made);
        threadId_ = id;
        endedByProcedure_ = false;
        addRef();  // the threader's own, given up when the procedure returns
        running_ = true;
        resumed = ResumeThread(handle_) != static_cast<DWORD>(-1);
        if (!resumed)
            running_ = false;
    }
    if (!resumed)
        release();  // the thread never runs, so the reference is ours to give back
    return resumed;
}

unsigned __stdcall thread::runProcedure(void* self) {
    auto* t = static_cast<thread*>(self);
    int result = 0;
    if (t->procedure_) {
        try {
            result = t->procedure_(t);
        } catch (...) {
            result = -1;
            t->log("threader: thread \"" + t->name_ + "\" ended by an exception");
        }
    }
    {
        // A run that its procedure started again is no longer the object's.
        std::lock_guard<std::mutex> hold(t->runLock_);
        if (t->threadId_ == GetCurrentThreadId())
            t->running_ = false;
    }
    t->release();  // may destroy the object: nothing of it is touched after
    return static_cast<unsigned>(result);
}

// Waits for the latest run; a run that its procedure started again while
// this one ended is waited for too, within the same time.
bool thread::stop() {
    requestStop();
    const ULONGLONG deadline = GetTickCount64() + stopWaitMs;
    for (;;) {
        HANDLE run = nullptr;
        unsigned id = 0;
        {
            std::lock_guard<std::mutex> hold(runLock_);
            if (!handle_)
                return true;  // never started
            id = threadId_;
            if (id == GetCurrentThreadId())
                return false;  // a thread cannot wait for itself
            // A copy, since a restart closes the object's handle.
            HANDLE self = GetCurrentProcess();
            if (!DuplicateHandle(self, handle_, self, &run, SYNCHRONIZE, FALSE, 0))
                return false;
        }
        ULONGLONG now = GetTickCount64();
        DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        DWORD waited = WaitForSingleObject(run, left);
        CloseHandle(run);
        if (waited != WAIT_OBJECT_0) {
            log("threader: thread \"" + name_ + "\" did not stop within 10 s");
            return false;
        }
        std::lock_guard<std::mutex> hold(runLock_);
        if (threadId_ == id)
            return true;
    }
}

void thread::log(const std::string& line) { logLine(lookupService<Itarget>(core_), line.c_str()); }

_constructThread::_constructThread(Icore* core) : constructBase("vesk::thread"), core_(core) {}

Igeneric* _constructThread::createWithArgs(value* args) {
    if (!args || args[0].asLong() < 4)
        return nullptr;
    threadProc procedure = procedureOf(args[3]);
    if (!procedure)
        return nullptr;
    IentityToken* owner = interfaceCast<IentityToken>(args[4].anyObject());
    try {
        return static_cast<Ithread*>(
            new capsule<thread>(args[1].asCString(), userValueOf(args[2]), procedure, owner, core_));
    } catch (...) {
        return nullptr;  // nothing may be thrown across the interface
    }
}

threader::threader() {
    registerInterfaceOf<Ithreader>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
}

}  // namespace vesk::sysrt
