#include "plugins/fs/tests/moduleHost.h"

#include <map>
#include <stdexcept>

#include "core/capsule.h"
#include "core/constructs.h"
#include "core/coreDirectory.h"
#include "core/entityTable.h"
#include "core/factory.h"
#include "testing/recordingLog.h"
#include "testing/testPaths.h"
#include "vesk/containers.h"
#include "vesk/data.h"
#include "vesk/threading.h"

namespace vesk::svctest {

// A log target that keeps its lines for the tests to read.
class logCapture : public vesk::testing::recordingLog, public IcoreObject {
public:
    logCapture() { registerInterfaceOf<IcoreObject>(this); }
};

namespace {

// The platform services the modules look up at registration and never
// call in these tests.
class platformStandIn : public objectBase, public IsignalProcessor, public Ithreader, public IfunctionIndex,
                        public IcoreObject {
public:
    platformStandIn() {
        registerInterfaceOf<IsignalProcessor>(this);
        registerInterfaceOf<Ithreader>(this);
        registerInterfaceOf<IfunctionIndex>(this);
        registerInterfaceOf<IcoreObject>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    unsigned long registerSignalPath(const char*, IentityToken*, int) override { return 2; }
    int postSignal(unsigned long, IentityToken*, IglobalShutdownSignal*, int) override { return 1; }
    unsigned liveThreads() override { return 0; }
    unsigned long findFunction(const char*, IentityToken*) override { return 0; }
    Ifunction* getFunction(unsigned long) override { return nullptr; }
};

class record : public objectBase, public Icartridge {
public:
    record() {
        registerInterfaceOf<Icartridge>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    int setName(const char* t) override { return keep(data.name, t); }
    int setAuthor(const char* t) override { return keep(data.author, t); }
    int setDescription(const char* t) override { return keep(data.description, t); }
    int setMajorVersion(int v) override { data.major = v; return 1; }
    int setMinorVersion(int v) override { data.minor = v; return 1; }
    const char* getAuthor() override { return data.author.c_str(); }
    const char* getName() override { return data.name.c_str(); }
    const char* getDescription() override { return data.description.c_str(); }
    int getMajorVersion() override { return data.major; }
    int getMinorVersion() override { return data.minor; }
    const char* getMajorVersionText() override { return ""; }
    const char* getMinorVersionText() override { return ""; }

    registration data;

private:
    static int keep(std::string& field, const char* t) {
        field = t ? t : "";
        return 1;
    }
};

std::map<std::string, HMODULE>& loadedModules() {
    static std::map<std::string, HMODULE> modules;
    return modules;
}

}  // namespace

moduleHost& moduleHost::instance() {
    static moduleHost host;
    return host;
}

moduleHost::moduleHost() {
    auto* directory = new capsule_core<vesk::core>();
    core_ = directory;
    accessor_ = directory;
    factory_ = new capsule_core<vesk::factory>();
    entities_ = new capsule_core<entityTable>();
    if (!registerCoreClasses(factory_))
        throw std::runtime_error("core classes not registered");
    accessor_->registerObject(nameOf<Ifactory>(), factory_);
    accessor_->registerObject(nameOf<IentityTable>(), entities_);
    owner_ = entities_->createEntity("test", "service module tests");
    owner_->addRef();
    // The core objects live until the process ends, as in the host.
}

void moduleHost::publishPlatformServices() {
    if (platformPublished_)
        return;
    auto* standIn = new capsule_core<platformStandIn>();
    accessor_->registerObject(nameOf<IsignalProcessor>(), static_cast<IsignalProcessor*>(standIn));
    accessor_->registerObject(nameOf<Ithreader>(), static_cast<Ithreader*>(standIn));
    accessor_->registerObject(nameOf<IfunctionIndex>(), static_cast<IfunctionIndex*>(standIn));
    platformPublished_ = true;
}

void moduleHost::publishLog() {
    if (log_)
        return;
    auto* capture = new capsule_core<logCapture>();
    accessor_->registerObject(nameOf<Itarget>(), static_cast<Itarget*>(capture));
    log_ = capture;
}

std::vector<std::string> moduleHost::loggedLines() {
    return log_ ? log_->lines() : std::vector<std::string>();
}

HMODULE moduleHost::moduleOf(const char* name) {
    auto& modules = loadedModules();
    auto found = modules.find(name);
    if (found != modules.end())
        return found->second;
    std::string path = vesk::testing::stageDir() + "\\plugins\\" + name + ".vkm";
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module)
        throw std::runtime_error("cannot load " + path);
    modules[name] = module;
    return module;
}

bool moduleHost::loadModuleFile(const char* name, const std::string& path) {
    auto& modules = loadedModules();
    if (modules.count(name))
        return false;
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module)
        return false;
    modules[name] = module;
    return true;
}

FARPROC moduleHost::entry(const char* name, const char* exportName) {
    return GetProcAddress(moduleOf(name), exportName);
}

int moduleHost::registerModule(const char* name, registration* out, Icore* directory) {
    auto enter = reinterpret_cast<registerEntry>(reinterpret_cast<void*>(entry(name, "_register")));
    if (!enter)
        return -1;
    auto* self = new capsule<record>();
    self->addRef();
    int result = enter(self, directory ? directory : core_);
    if (out)
        *out = self->data;
    self->release();
    return result;
}

bool moduleHost::eachFactoryConstruct(const char* name, const std::function<void(long, Iconstruct*)>& use) {
    auto produce = reinterpret_cast<factoryEntry>(reinterpret_cast<void*>(entry(name, "_factory")));
    Ihash* table = produce ? produce() : nullptr;
    if (!table)
        return false;
    table->addRef();
    for (value v = table->first(); table->size() && v.hasObject(); v = table->next())
        use(table->currentKey().asLong(), interfaceCast<Iconstruct>(table->currentValue().asGeneric()));
    table->release();
    return true;
}

int moduleHost::factoryModule(const char* name) {
    int registered = 0;
    bool tabled = eachFactoryConstruct(name, [&](long, Iconstruct* c) {
        if (c)
            registered += factory_->registerClass(c, 0, 0) != 0;
    });
    return tabled ? registered : -1;
}

std::optional<classTable> moduleHost::factoryClasses(const char* name) {
    classTable classes;
    bool tabled = eachFactoryConstruct(name, [&](long key, Iconstruct* c) {
        classes[key] = c ? c->getClassName() : "<none>";
    });
    if (!tabled)
        return std::nullopt;
    return classes;
}

}  // namespace vesk::svctest
