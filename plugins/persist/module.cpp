// Entry points of the persist module: it publishes the settings store and
// the install settings, and offers the storage-target classes.
#include <new>

#include "core/capsule.h"
#include "core/module.h"
#include "plugins/persist/constructs.h"
#include "plugins/persist/installSettings.h"
#include "plugins/persist/services.h"
#include "plugins/persist/settings.h"
#include "vesk/containers.h"
#include "vesk/host.h"
#include "vesk/threading.h"

using namespace vesk;

namespace {

bool published = false;

template <class T, class I>
bool publish(IcoreAccessor* accessor) {
    auto* service = new (std::nothrow) capsule_core<T>();
    if (service && !service->ready()) {
        service->releaseCore();
        return false;
    }
    return publishService<I>(accessor, service);
}

template <class C>
void addClass(Ihash* table, long key) {
    if (Iconstruct* c = new (std::nothrow) capsule<C>())
        table->set(value(key), value(static_cast<Igeneric*>(c)));
}

}  // namespace

VESK_ENTRY int _register(Icartridge* self, Icore* core) {
    persist::moduleServices& s = persist::services();
    Ifactory* factory = lookupService<Ifactory>(core);
    IentityTable* entities = lookupService<IentityTable>(core);
    xml::IxmlParser* parser = lookupService<xml::IxmlParser>(core);
    xml::IxmlBuilder* builder = lookupService<xml::IxmlBuilder>(core);
    // The signal processor is required but not called.
    if (!factory || !entities || !lookupService<IsignalProcessor>(core) || !parser || !builder)
        return 0;
    s.factory = factory;
    s.parser = parser;
    s.builder = builder;
    s.log = lookupService<Itarget>(core);
    if (self) {
        self->setName("persist objects");
        self->setAuthor("pelloran");
        self->setDescription("vesk::persist::*");
        self->setMajorVersion(0);
        self->setMinorVersion(1);
    }
    if (!s.owner) {
        s.owner = entities->createEntity("vesk::persist::*", "persist objects");
        if (!s.owner)
            return 0;
        s.owner->addRef();
    }
    IcoreAccessor* accessor = interfaceCast<IcoreAccessor>(core);
    if (!accessor)
        return 0;
    if (!published) {
        bool store = publish<persist::settings, persist::Isettings>(accessor);
        bool install = publish<persist::installSettings, persist::IinstallSettings>(accessor);
        published = store && install;
    }
    return 1;
}

VESK_ENTRY Ihash* _factory() {
    persist::moduleServices& s = persist::services();
    Ihash* table = createAs<Ihash>(s.factory, s.owner, "vesk::hash", addRefMode);
    if (!table)
        return nullptr;
    addClass<persist::_constructPersistTargetFile>(table, 3);
    addClass<persist::_constructPersistTargetSQL>(table, 4);
    return table;
}

VESK_ENTRY int _load() { return 1; }

VESK_ENTRY int _initialize() { return 1; }

VESK_ENTRY int _unload() {
    persist::moduleServices& s = persist::services();
    if (s.owner) {
        s.owner->release();
        s.owner = nullptr;
    }
    return 1;
}
