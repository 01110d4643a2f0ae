#include "plugins/gnutella/tests/loadedModules.h"

#include <stdexcept>
#include <string>

#include "core/module.h"
#include "plugins/fs/tests/moduleHost.h"
#include "testing/testPaths.h"
#include "vesk/ss.h"

namespace vesk::gnutella::test {

loadedModules::loadedModules() {
    svctest::moduleHost& host = svctest::moduleHost::instance();
    host.publishLog();
    for (const char* name : {"sysrt", "fs", "Quillet", "persist", "share2"})
        if (host.registerModule(name) != 1)
            throw std::runtime_error(std::string(name) + " did not register");
    for (const char* name : {"fs", "persist"})
        host.factoryModule(name);
    resources = LoadLibraryA((vesk::testing::stageDir() + "\\plugins\\rsrc.vkm").c_str());
    ui.setResourceModules(resources, resources);
    if (!resources || !ui.publish(host.accessor()) || !ui.registerClasses(host.factory()))
        throw std::runtime_error("the fake user interface is not there");
    host.registerModule("Ombrel");  // publishes the manager, then registers
    if (host.registerModule("Ombrel") != 1 || host.factoryModule("Ombrel") != 1)
        throw std::runtime_error("the manager did not register");
    ui.setManager(lookupService<ss::ISSManager>(host.core()));
}

}  // namespace vesk::gnutella::test
