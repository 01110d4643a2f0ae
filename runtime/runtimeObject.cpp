#include "runtime/runtimeObject.h"

#include <new>

#include "core/hash.h"
#include "core/module.h"
#include "core/string.h"
#include "runtime/commandLine.h"
#include "runtime/heldContainer.h"

namespace vesk {

runtime::runtime() : parameters_(newHeld<hash, Ihash>(addRefMode)) {
    registerInterfaceOf<Iruntime>(this);
    registerInterfaceOf<IexitStatus>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
}

runtime::~runtime() {
    if (parameters_)
        parameters_->release();
}

int runtime::setInstance(HINSTANCE instance) {
    instance_ = instance;
    return 1;
}

void runtime::readCommandLine(const char* commandLine) {
    if (!parameters_)
        return;
    for (const auto& item : splitCommandLine(commandLine)) {
        // Counted from 0: the table's add-ref mode takes the references.
        Istring* name = new (std::nothrow) string(item.first.c_str());
        Istring* text = new (std::nothrow) string(item.second.c_str());
        if (name && text) {
            parameters_->set(value(name), value(text));
            continue;
        }
        ref<Istring> dropName(name), dropText(text);
    }
}

void runtime::setShowCommand(int show) {
    if (parameters_)
        parameters_->set(value("win32_show"), value(static_cast<long>(show)));
}

void runtime::routeShutdown(Ifactory* factory, IentityToken* sender, IsignalProcessor* signals) {
    std::lock_guard<std::mutex> hold(routeLock_);
    factory_ = factory;
    sender_ = sender;
    signals_ = signals;
}

void runtime::setSignalPath(unsigned long handle) {
    std::lock_guard<std::mutex> hold(routeLock_);
    signalPath_ = handle;
}

void runtime::reportFailure(int exitCode) {
    int none = 0;
    // A zero would read as success: it cannot be a failure's code.
    exitCode_.compare_exchange_strong(none, exitCode != 0 ? exitCode : 1);
}

bool runtime::shutdown() {
    // Cleared first: the signal ends the host's loop, and the host may then
    // destroy this object, so the post is the last thing a shutdown does.
    running_ = false;
    postShutdownSignal();
    return false;
}

void runtime::postShutdownSignal() {
    std::lock_guard<std::mutex> hold(routeLock_);
    // A missing host token must not lose the request: the loop would run on.
    if (!signals_ || !factory_)
        return;
    Igeneric* senderEntity = sender_ ? sender_->getEntity() : nullptr;
    auto* signal = createAs<IglobalShutdownSignal>(factory_, sender_, "vesk::globalShutdownSignal", senderEntity);
    if (signal)
        signals_->postSignal(signalPath_, sender_, signal, 0);
}

}  // namespace vesk
