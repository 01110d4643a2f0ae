// A host for the service modules' tests: the real core objects (factory with
// the core classes, entity table, core directory), stand-ins for the
// platform services the modules require, and the modules themselves loaded
// from stage\plugins and driven through _register and _factory as the
// console does. One per test process: modules keep their state once loaded.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "vesk/directory.h"
#include "vesk/factory.h"
#include "vesk/host.h"

namespace vesk::svctest {

// Class names of a module's factory table by key.
using classTable = std::map<long, std::string>;

// What a module wrote into its registration record.
struct registration {
    std::string name, author, description;
    int major = -1, minor = -1;

    bool operator==(const registration& o) const {
        return name == o.name && author == o.author && description == o.description && major == o.major &&
               minor == o.minor;
    }
};

// How a record shows in a failed expectation.
inline std::ostream& operator<<(std::ostream& out, const registration& r) {
    return out << '"' << r.name << "\" by \"" << r.author << "\" (\"" << r.description << "\") " << r.major << '.'
               << r.minor;
}

class logCapture;

class moduleHost {
public:
    static moduleHost& instance();

    Icore* core() { return core_; }
    IcoreAccessor* accessor() { return accessor_; }
    Ifactory* factory() { return factory_; }
    IentityTable* entities() { return entities_; }
    // A token for the test itself, entity name "test".
    IentityToken* owner() { return owner_; }

    // Publishes the threader, signal processor and function index stand-ins.
    void publishPlatformServices();
    // Publishes a log target that keeps every line written to it.
    void publishLog();
    std::vector<std::string> loggedLines();

    // Loads the file as the module <name> (before anything else loads that
    // name); false when it cannot be loaded or the name is loaded already.
    bool loadModuleFile(const char* name, const std::string& path);
    // Loads stage\plugins\<name>.vkm once and calls _register with this
    // host's directory, or with another one; returns its result (the module
    // stays loaded either way).
    int registerModule(const char* name, registration* record = nullptr, Icore* directory = nullptr);
    // Calls _factory and registers every construct object of its table.
    // Returns the number of classes registered, -1 without a table.
    int factoryModule(const char* name);
    // The class names of the table _factory gives, by key; nothing without
    // a table. Registers nothing.
    std::optional<classTable> factoryClasses(const char* name);
    // An entry point of a loaded module, null when absent.
    FARPROC entry(const char* name, const char* exportName);

private:
    moduleHost();
    HMODULE moduleOf(const char* name);
    // Calls _factory and hands each construct object of its table with its
    // key to use; false without a table.
    bool eachFactoryConstruct(const char* name, const std::function<void(long, Iconstruct*)>& use);

    Icore* core_ = nullptr;
    IcoreAccessor* accessor_ = nullptr;
    Ifactory* factory_ = nullptr;
    IentityTable* entities_ = nullptr;
    IentityToken* owner_ = nullptr;
    bool platformPublished_ = false;
    logCapture* log_ = nullptr;  // once published
};

// A new object of the class made from one value, as T (count 0 unless the
// caller takes it); null when the class or the interface is missing.
template <class T>
T* make(const char* className, value a) {
    Ifactory* f = moduleHost::instance().factory();
    Igeneric* made = f->create1(f->findClass(className), moduleHost::instance().owner(), a);
    return interfaceCast<T>(made);
}

}  // namespace vesk::svctest
