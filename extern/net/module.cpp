// Entry points of the network module "net".
#include <memory>
#include <new>

#include "core/module.h"
#include "extern/net/CNetDataBuffer.h"
#include "extern/net/communications.h"
#include "extern/net/engine.h"
#include "vesk/containers.h"
#include "vesk/directory.h"
#include "vesk/host.h"

using namespace vesk;

namespace {

Ifactory* g_factory = nullptr;           // not owned: a core service
IentityTable* g_entities = nullptr;      // not owned
IcoreAccessor* g_directory = nullptr;    // not owned
IentityToken* g_entity = nullptr;        // one reference
std::shared_ptr<net::engine> g_engine;
capsule_core<net::communications>* g_service = nullptr;  // published; ended in _unload

void stopEngine() {
    if (g_engine) {
        g_engine->stop();
        g_engine.reset();
    }
}

// Starts the network thread and publishes the service over it.
bool startService(IcoreAccessor* directory) {
    try {
        g_engine = std::make_shared<net::engine>();
        if (!g_engine->start()) {
            stopEngine();
            return false;
        }
        g_service = new capsule_core<net::communications>(g_engine);
    } catch (...) {
        stopEngine();
        return false;
    }
    if (!publishService<net::ICommunications>(directory, g_service)) {
        g_service = nullptr;  // ended by the helper
        stopEngine();
        return false;
    }
    return true;
}

void endService() {
    if (g_service) {
        g_service->releaseCore();
        g_service = nullptr;
    }
    stopEngine();
}

}  // namespace

VESK_ENTRY int _register(Icartridge* self, Icore* core) {
    if (self) {
        self->setName("net");
        self->setAuthor("pelloran");
        self->setDescription("vesk::net::");
        self->setMajorVersion(0);
        self->setMinorVersion(1);
    }
    auto* entities = lookupService<IentityTable>(core);
    auto* factory = lookupService<Ifactory>(core);
    auto* directory = interfaceCast<IcoreAccessor>(core);
    if (!entities || !factory || !directory)
        return 0;
    if (!g_service && !startService(directory))
        return 0;
    IentityToken* token = entities->createEntity("net", "vesk::net::*");
    if (token)
        token->addRef();
    g_factory = factory;
    g_entities = entities;
    g_directory = directory;
    g_entity = token;
    return 1;
}

VESK_ENTRY Ihash* _factory() {
    Ihash* table = createAs<Ihash>(g_factory, g_entity, "vesk::hash", addRefMode);
    if (!table)
        return nullptr;
    Igeneric* construct = new (std::nothrow) capsule<net::_constructNetDataBuffer>();
    if (!construct) {
        table->addRef();
        table->release();
        return nullptr;
    }
    table->set(value(1L), value(construct));
    return table;
}

VESK_ENTRY int _load() { return 1; }

VESK_ENTRY int _initialize() { return 1; }

// The service goes before the library does: nothing may call into it after.
VESK_ENTRY int _unload() {
    if (g_directory)
        g_directory->unregisterObject(nameOf<net::ICommunications>());
    endService();
    if (g_entity) {
        if (g_entities)
            g_entities->removeEntity(g_entity);
        g_entity->release();
        g_entity = nullptr;
    }
    return 1;
}
