// Entry points of the file-system module. It publishes no service: other
// modules make its objects through the factory.
#include <new>

#include "core/capsule.h"
#include "core/module.h"
#include "plugins/fs/constructs.h"
#include "plugins/fs/services.h"
#include "vesk/containers.h"
#include "vesk/host.h"
#include "vesk/threading.h"

using namespace vesk;

namespace {

IentityTable* entityTable = nullptr;  // not owned: a core object

bool requiredServicesPresent(Icore* core) {
    // The signal processor, threader and function index are not called;
    // they are required so that the module starts only in a full host.
    return lookupService<IentityTable>(core) && lookupService<IsignalProcessor>(core) &&
           lookupService<Ifactory>(core) && lookupService<Ithreader>(core) &&
           lookupService<IfunctionIndex>(core);
}

}  // namespace

VESK_ENTRY int _register(Icartridge* self, Icore* core) {
    if (self) {
        self->setAuthor("pelloran");
        self->setDescription("vesk::fs::");
        self->setName("filesystem");
        self->setMajorVersion(0);
        self->setMinorVersion(1);
    }
    if (!requiredServicesPresent(core))
        return 0;
    fs::moduleServices& s = fs::services();
    if (s.owner)
        return 1;
    entityTable = lookupService<IentityTable>(core);
    s.factory = lookupService<Ifactory>(core);
    s.owner = entityTable->createEntity("filesystem", "vesk::fs::*");
    if (!s.owner)
        return 0;
    s.owner->addRef();
    return 1;
}

VESK_ENTRY Ihash* _factory() {
    fs::moduleServices& s = fs::services();
    Ihash* table = createAs<Ihash>(s.factory, s.owner, "vesk::hash");
    if (!table)
        return nullptr;
    Iconstruct* fileClass = new (std::nothrow) capsule<fs::_constructFile>();
    Iconstruct* folderClass = new (std::nothrow) capsule<fs::_constructDirectory>();
    if (fileClass)
        table->set(value(1L), value(static_cast<Igeneric*>(fileClass)));
    if (folderClass)
        table->set(value(3L), value(static_cast<Igeneric*>(folderClass)));
    return table;
}

VESK_ENTRY int _load() { return 1; }

VESK_ENTRY int _initialize() { return 1; }

VESK_ENTRY int _unload() {
    fs::moduleServices& s = fs::services();
    if (s.owner) {
        if (entityTable)
            entityTable->removeEntity(s.owner);
        s.owner->release();
        s.owner = nullptr;
    }
    return 1;
}
