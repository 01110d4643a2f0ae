// Services of the platform layer the client relies on: named threads, the
// signal loop of the host and functions by name.
#pragma once

#include "vesk/object.h"
#include "vesk/value.h"

namespace vesk {

struct IentityToken;
struct Ithread;

// A thread procedure gets its thread object and calls ended() just before it
// returns.
using threadProc = int (*)(Ithread* thread);

// Made by createWithArgs of "vesk::thread" with five values:
// [0] long 4, [1] C string name (copied), [2] pointer user value,
// [3] pointerInt address of the threadProc, [4] object: the creator's token.
// The threader holds its own reference from start until the procedure
// returns, so a creator may release early. A procedure that leaves by an
// exception counts as ended.
struct Ithread : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::Ithread *";
    virtual void* getParameter() = 0;
    // Runs the procedure on a new thread; false while the procedure runs
    // and has not reported ended, or when no thread could be made. An
    // ended procedure's object may be started again, also from within that
    // procedure; a stop asked before it returned holds for the new run.
    virtual bool start() = 0;
    virtual int shouldRun() = 0;      // nonzero until a stop is requested
    virtual bool isRunning() = 0;     // true from start until the procedure returns
    virtual void requestStop() = 0;   // no wait
    // Requests and waits about 10 s (logged when exceeded; the thread is
    // never killed); true when it ended. From the thread itself: no wait.
    virtual bool stop() = 0;
    virtual void ended() = 0;
    virtual const char* getName() = 0;
};

struct Ithreader : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::Ithreader *";
    // Thread objects made and not yet destroyed (0 once every thread has
    // ended and been released: nothing leaked).
    virtual unsigned liveThreads() = 0;
};

struct IglobalShutdownSignal : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::IglobalShutdownSignal *";
};

struct IsignalProcessor : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::IsignalProcessor *";
    virtual unsigned long registerSignalPath(const char* path, IentityToken* owner, int flag) = 0;
    // Takes the signal over. A shutdown signal ends the loop, also when it
    // comes before run() is entered.
    virtual int postSignal(unsigned long path, IentityToken* owner, IglobalShutdownSignal* signal, int flags) = 0;
};

struct IsignalAccessor : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::IsignalAccessor *";
    // Blocks in the signal loop (pumping the thread's messages) until a
    // shutdown signal was posted.
    virtual int run() = 0;
};

struct Ifunction : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::Ifunction *";
    virtual value call(value argument) = 0;
    virtual const char* getName() = 0;
};

// Known functions: "vesk::net::valid_ip": a C-string value in, short 1 when
// the text is a dotted IPv4 address (four decimal parts of 1 to 3 digits,
// each at most 255, nothing else), short 0 otherwise.
struct IfunctionIndex : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::IfunctionIndex *";
    // The function's id, 0 when no function has that name.
    virtual unsigned long findFunction(const char* name, IentityToken* owner) = 0;
    virtual Ifunction* getFunction(unsigned long id) = 0;  // no reference added
};

}  // namespace vesk
