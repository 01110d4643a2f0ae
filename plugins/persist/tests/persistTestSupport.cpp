#include "plugins/persist/tests/persistTestSupport.h"

#include <map>
#include <stdexcept>

#include "core/module.h"
#include "vesk/data.h"

namespace vesk::svctest {

void loadServiceModules() {
    static bool loaded = false;
    if (loaded)
        return;
    moduleHost& host = moduleHost::instance();
    host.publishPlatformServices();
    host.publishLog();
    if (host.registerModule("fs") != 1 || host.factoryModule("fs") != 2 || host.registerModule("Quillet") != 1 ||
        host.registerModule("persist") != 1 || host.factoryModule("persist") != 2)
        throw std::runtime_error("the service modules did not register");
    loaded = true;
}

persist::Isettings* store() {
    loadServiceModules();
    return lookupService<persist::Isettings>(moduleHost::instance().core());
}

persist::IinstallSettings* installValues() {
    loadServiceModules();
    return lookupService<persist::IinstallSettings>(moduleHost::instance().core());
}

IentityToken* ownerNamed(const std::string& name) {
    static std::map<std::string, IentityToken*> owners;
    IentityToken*& token = owners[name];
    if (!token) {
        token = moduleHost::instance().entities()->createEntity(name.c_str(), "test owner");
        token->addRef();
    }
    return token;
}

ref<persist::IpersistTarget> targetFor(const std::string& path) {
    loadServiceModules();
    return ref<persist::IpersistTarget>(
        make<persist::IpersistTarget>("vesk::persist::persistTargetFile", value(path.c_str())));
}

persist::Isettings* storeOn(const std::string& path) {
    persist::Isettings* s = store();
    ref<persist::IpersistTarget> target = targetFor(path);
    if (s->setTarget(target.get()) != target.get())
        throw std::runtime_error("target not taken");
    return s;
}

void detachStore() {
    loadServiceModules();
    Ifactory* f = moduleHost::instance().factory();
    ref<persist::IpersistTarget> pathless(interfaceCast<persist::IpersistTarget>(
        f->create(f->findClass("vesk::persist::persistTargetFile"), moduleHost::instance().owner())));
    store()->setTarget(pathless.get());
}

std::string textOf(const value& v) {
    Istring* s = v.asString();
    return s && s->c_str() ? s->c_str() : "<not a string>";
}

}  // namespace vesk::svctest
