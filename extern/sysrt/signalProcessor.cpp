#include "extern/sysrt/signalProcessor.h"

#include <new>

namespace vesk::sysrt {

signalProcessor::signalProcessor() : latch_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    registerInterfaceOf<IsignalProcessor>(this);
    registerInterfaceOf<IsignalAccessor>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
}

signalProcessor::~signalProcessor() {
    if (latch_)
        CloseHandle(latch_);
}

unsigned long signalProcessor::registerSignalPath(const char* path, IentityToken*, int) {
    if (!path)
        return 0;
    std::lock_guard<std::mutex> hold(pathsLock_);
    unsigned long handle = nextPath_++;
    paths_[handle] = path;
    return handle;
}

int signalProcessor::postSignal(unsigned long, IentityToken*, IglobalShutdownSignal* signal, int) {
    if (!signal)
        return 0;
    // The path does not matter: a shutdown posted before the host's path
    // exists must still end the loop.
    ref<IglobalShutdownSignal> consumed(signal);
    return SetEvent(latch_) ? 1 : 0;
}

int signalProcessor::run() {
    if (!latch_)
        return 0;
    for (;;) {
        DWORD woke = MsgWaitForMultipleObjectsEx(1, &latch_, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0)
            return 1;
        if (woke == WAIT_OBJECT_0 + 1) {
            pumpMessages();
            continue;
        }
        // The wait itself failed: keep watching the latch, more slowly.
        if (WaitForSingleObject(latch_, 100) == WAIT_OBJECT_0)
            return 1;
    }
}

void signalProcessor::pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        // Only the shutdown signal ends the loop, not a stray WM_QUIT.
        if (message.message == WM_QUIT)
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

globalShutdownSignal::globalShutdownSignal(Igeneric* sender) : sender_(sender) {
    if (sender_)
        sender_->addRef();
    registerInterfaceOf<IglobalShutdownSignal>(this);
    registerInterfaceOf<Igeneric>(this);
}

globalShutdownSignal::~globalShutdownSignal() {
    if (sender_)
        sender_->release();
}

_constructGlobalShutdownSignal::_constructGlobalShutdownSignal() : constructBase("vesk::globalShutdownSignal") {}

Igeneric* _constructGlobalShutdownSignal::create() {
    auto* made = new (std::nothrow) capsule<globalShutdownSignal>(nullptr);
    return made ? static_cast<IglobalShutdownSignal*>(made) : nullptr;
}

Igeneric* _constructGlobalShutdownSignal::create1(value sender) {
    auto* made = new (std::nothrow) capsule<globalShutdownSignal>(sender.anyObject());
    return made ? static_cast<IglobalShutdownSignal*>(made) : nullptr;
}

}  // namespace vesk::sysrt
