// Entry points of the XML module: it publishes one parser and one builder
// for the whole process and offers no classes through the factory.
#include <new>

#include "core/capsule.h"
#include "core/module.h"
#include "plugins/Quillet/xmlBuilder.h"
#include "plugins/Quillet/xmlParser.h"
#include "vesk/containers.h"
#include "vesk/host.h"

using namespace vesk;

namespace {

Ifactory* factory = nullptr;       // not owned: a core object
IentityToken* token = nullptr;     // one reference, from _register to _unload
bool published = false;

// Makes and publishes both services; a core object that could not be
// published is ended again.
template <class T, class I>
bool publish(IcoreAccessor* accessor) {
    auto* service = new (std::nothrow) capsule_core<T>(factory, token);
    if (service && !service->ready()) {
        service->releaseCore();
        return false;
    }
    return publishService<I>(accessor, service);
}

}  // namespace

VESK_ENTRY int _register(Icartridge* self, Icore* core) {
    Ifactory* f = lookupService<Ifactory>(core);
    IentityTable* entities = lookupService<IentityTable>(core);
    if (!f || !entities)
        return 0;
    factory = f;
    if (self) {
        self->setAuthor("pelloran");
        self->setDescription("vesk::xml::*");
        self->setName("xml parser");
        self->setMajorVersion(0);
        self->setMinorVersion(1);
    }
    if (!token) {
        token = entities->createEntity("vesk::xml::*", "xml parser");
        if (!token)
            return 0;
        token->addRef();
    }
    IcoreAccessor* accessor = interfaceCast<IcoreAccessor>(core);
    if (!accessor)
        return 0;
    if (!published) {
        bool parser = publish<xml::xmlParser, xml::IxmlParser>(accessor);
        bool builder = publish<xml::xmlBuilder, xml::IxmlBuilder>(accessor);
        published = parser && builder;
    }
    return 1;
}

VESK_ENTRY Ihash* _factory() {
    if (!factory || !token)
        return nullptr;
    return createAs<Ihash>(factory, token, "vesk::hash");
}

VESK_ENTRY int _load() { return 1; }

VESK_ENTRY int _initialize() { return 1; }

VESK_ENTRY int _unload() {
    if (token) {
        token->release();
        token = nullptr;
    }
    return 1;
}
