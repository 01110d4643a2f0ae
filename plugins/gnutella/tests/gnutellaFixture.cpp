#include "plugins/gnutella/tests/gnutellaFixture.h"

#include "core/constructs.h"
#include "core/coreDirectory.h"
#include "core/entityTable.h"
#include "core/factory.h"
#include "extern/sysrt/functionIndex.h"
#include "extern/sysrt/thread.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/tests/fakeUiServices.h"
#include "testing/testPaths.h"

namespace vesk::gnutella::test {

namespace {

// One set of core objects for the process, as in the host: services live
// until the process ends.
struct coreObjects {
    core* directory = new capsule_core<core>();
    factory* classes = new capsule_core<vesk::factory>();
    entityTable* entities = new capsule_core<entityTable>();
    sysrt::functionIndex* functions = new capsule_core<sysrt::functionIndex>();
    capsule<vesk::testing::recordingLog>* log = new capsule<vesk::testing::recordingLog>();
    IentityToken* token = nullptr;

    coreObjects() {
        IcoreAccessor* accessor = directory;
        registerCoreClasses(classes);
        ref<Iconstruct> threads(new capsule<sysrt::_constructThread>(static_cast<Icore*>(directory)));
        classes->registerClass(threads.get(), 0, 0);
        static_cast<Itarget*>(log)->addRef();
        accessor->registerObject(nameOf<Ifactory>(), static_cast<Ifactory*>(classes));
        accessor->registerObject(nameOf<IentityTable>(), static_cast<IentityTable*>(entities));
        accessor->registerObject(nameOf<Itarget>(), static_cast<Itarget*>(log));
        accessor->registerObject(nameOf<IfunctionIndex>(), static_cast<IfunctionIndex*>(functions));
        token = entities->createEntity("zUdoradur", "Gnutella File Searching/Sharing Protocol");
        token->addRef();
    }
};

coreObjects& objects() {
    static coreObjects o;
    return o;
}

}  // namespace

void gnutellaFixture::SetUp() {
    coreObjects& o = objects();
    directory = o.directory;
    factory = o.classes;
    entities = o.entities;
    log = o.log;
    log->clear();
    if (!factory->findClass("vesk::ui::VWndProc")) {
        ASSERT_TRUE(ui.registerClasses(factory));
    }
    resources = LoadLibraryA((vesk::testing::stageDir() + "\\plugins\\rsrc.vkm").c_str());
    ASSERT_NE(resources, nullptr) << "the resource module is staged with the build";
    ui.setResourceModules(resources, resources);
    store = new capsule<fakeSettings>();
    static_cast<persist::Isettings*>(store)->addRef();

    g_Services = moduleServices();
    g_Services.core = directory;
    g_Services.entityTable = entities;
    g_Services.functionIndex = o.functions;
    g_Services.settings = store;
    UseFakeUserInterface(ui);
    g_State.token = o.token;
    g_State.threadClass = factory->findClass("vesk::thread");
    ui.calls().clear();
}

void gnutellaFixture::TearDown() {
    g_Services = moduleServices();
    g_State.token = nullptr;
    g_State.threadClass = 0;
    g_Settings.Clear();
    static_cast<persist::Isettings*>(store)->release();
    FreeLibrary(resources);
}

}  // namespace vesk::gnutella::test
