// Entry points of the share engine module. The engine is published in
// _register and lives until the core is released; its threads start in
// _load and are ended by a stop (setState(-1)) or at _unload.
#include "core/module.h"
#include "plugins/share2/shareEngine.h"
#include "vesk/host.h"

namespace {

vesk::share2::CShareEngine* g_engine = nullptr;  // a core object, owned by the core directory
vesk::IentityToken* g_entity = nullptr;          // one reference held

}  // namespace

VESK_ENTRY int _register(vesk::Icartridge* self, vesk::Icore* core) {
    using namespace vesk;
    if (!self || !core)
        return 0;
    Ifactory* factory = lookupService<Ifactory>(core);
    IentityTable* entities = lookupService<IentityTable>(core);
    IsignalProcessor* signals = lookupService<IsignalProcessor>(core);
    IcoreAccessor* accessor = interfaceCast<IcoreAccessor>(core);
    if (!factory || !entities || !signals || !accessor)
        return 0;

    self->setName("Share2");
    self->setAuthor("Pelloran team");
    self->setDescription("Pelloran Share Engine");
    self->setMajorVersion(0);
    self->setMinorVersion(1);

    if (!g_engine) {
        auto* engine = new capsule_core<share2::CShareEngine>(factory);
        engine->setLog(lookupService<Itarget>(core));  // may be absent
        if (!publishService<share2::IShareEngine>(accessor, engine))
            return 0;
        g_engine = engine;
    }
    if (!g_entity) {
        g_entity = entities->createEntity("Share2", "Pelloran Share Engine");
        if (g_entity) {
            g_entity->addRef();
            g_engine->setOwner(g_entity);
        }
    }
    return 1;
}

VESK_ENTRY int _load() { return g_engine && g_engine->startWatcher() ? 1 : 0; }

VESK_ENTRY int _initialize() { return 1; }

VESK_ENTRY int _unload() {
    if (g_engine)
        g_engine->stopThreads();
    if (g_entity) {
        g_entity->release();
        g_entity = nullptr;
    }
    return 1;
}
