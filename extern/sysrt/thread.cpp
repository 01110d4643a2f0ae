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
    if (!procedure_ || started_.exchange(true))
        return false;
    // Suspended first, so the reference below is taken before the procedure
    // can run, end and release.
    uintptr_t made = _beginthreadex(nullptr, 0, &thread::runProcedure, this, CREATE_SUSPENDED, &threadId_);
    if (!made) {
        started_ = false;
        return false;
    }
    handle_ = reinterpret_cast<HANDLE>(made);
    addRef();  // the threader's own, given up when the procedure returns
    running_ = true;
    if (ResumeThread(handle_) == static_cast<DWORD>(-1)) {
        // The thread never runs, so the reference is ours to give back.
        running_ = false;
        release();
        return false;
    }
    return true;
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
    t->running_ = false;
    t->release();  // may destroy the object: nothing of it is touched after
    return static_cast<unsigned>(result);
}

bool thread::stop() {
    requestStop();
    if (!handle_)
        return true;
    if (GetCurrentThreadId() == threadId_)
        return false;  // a thread cannot wait for itself
    DWORD waited = WaitForSingleObject(handle_, stopWaitMs);
    if (waited == WAIT_OBJECT_0)
        return true;
    log("threader: thread \"" + name_ + "\" did not stop within 10 s");
    return false;
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
