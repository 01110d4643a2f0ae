// The platform-layer module: publishes the threader, the signal processor
// and the function index, and registers "vesk::thread" and
// "vesk::globalShutdownSignal" already in _register, so that a module may
// start a thread during its own _register.
#include "core/module.h"
#include "extern/sysrt/functionIndex.h"
#include "extern/sysrt/signalProcessor.h"
#include "extern/sysrt/thread.h"
#include "vesk/host.h"

namespace {

using namespace vesk;

IentityTable* entities = nullptr;     // a host object: outlives the module
IentityToken* moduleToken = nullptr;  // one reference held while registered

// Nothing may be thrown across an entry point: a failed make gives null.
template <class W, class... A>
W* make(A&&... args) {
    try {
        return new W(std::forward<A>(args)...);
    } catch (...) {
        return nullptr;
    }
}

bool registerConstruct(Ifactory* factory, Iconstruct* construct) {
    if (!construct)
        return false;
    ref<Iconstruct> held(construct);
    return factory->registerClass(construct, 0, 0) != 0;
}

}  // namespace

VESK_ENTRY int _register(Icartridge* self, Icore* core) {
    auto* factory = lookupService<Ifactory>(core);
    auto* table = lookupService<IentityTable>(core);
    auto* accessor = interfaceCast<IcoreAccessor>(core);
    if (!factory || !table || !accessor)
        return 0;

    self->setName("sysrt");
    self->setAuthor("pelloran");
    self->setDescription("threads, signal loop and function index");
    self->setMajorVersion(0);
    self->setMinorVersion(1);

    auto* signals = make<capsule_core<sysrt::signalProcessor>>();
    if (signals && !signals->ready()) {
        signals->releaseCore();
        signals = nullptr;
    }
    auto* functions = make<capsule_core<sysrt::functionIndex>>();
    if (functions && !functions->ready()) {
        functions->releaseCore();
        functions = nullptr;
    }
    registerConstruct(factory, make<capsule<sysrt::_constructThread>>(core));
    registerConstruct(factory, make<capsule<sysrt::_constructGlobalShutdownSignal>>());
    publishService<Ithreader>(accessor, make<capsule_core<sysrt::threader>>());
    publishService<IsignalProcessor>(accessor, signals);
    publishService<IfunctionIndex>(accessor, functions);

    entities = table;
    moduleToken = table->createEntity("sysrt", "vesk::sysrt::*");
    if (moduleToken)
        moduleToken->addRef();
    return 1;
}

VESK_ENTRY int _load() { return 1; }

VESK_ENTRY int _initialize() { return 1; }

VESK_ENTRY int _unload() {
    if (moduleToken) {
        entities->removeEntity(moduleToken);
        moduleToken->release();
        moduleToken = nullptr;
    }
    return 1;
}
