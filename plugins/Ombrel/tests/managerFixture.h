// The manager's parts in the test's own process: the real core factory and
// entity table, the recording fake user interface with the staged resource
// module, and a log target that keeps its lines.
#pragma once

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "core/capsule.h"
#include "core/constructs.h"
#include "core/entityTable.h"
#include "core/factory.h"
#include "core/module.h"
#include "extern/rsrc/rsrcIds.h"
#include "plugins/Ombrel/agent.h"
#include "plugins/Ombrel/filterOperators.h"
#include "plugins/Ombrel/manager.h"
#include "plugins/Ombrel/moduleServices.h"
#include "plugins/Ombrel/statusDisplay.h"
#include "testing/fakes/fakeUi.h"
#include "testing/recordingLog.h"
#include "testing/testPaths.h"
#include "vesk/containers.h"
#include "vesk/data.h"
#include "vesk/host.h"

namespace vesk::ss::test {

using keptLog = vesk::testing::recordingLog;

// The module's services, as _register would set them, without the module.
class managerFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(registerCoreClasses(factory));
        ASSERT_TRUE(ui.registerClasses(factory));
        ref<Iconstruct> agents(new capsule<_constructAgent>());
        ASSERT_NE(factory->registerClass(agents.get(), 0, 0), 0u);
        token = entities->createEntity("ss_manager", "test");
        ASSERT_NE(token, nullptr);
        resources = LoadLibraryA((vesk::testing::stageDir() + "\\plugins\\rsrc.vkm").c_str());
        ASSERT_NE(resources, nullptr) << "the resource module is staged with the build";
        ui.setResourceModules(resources, resources);

        moduleServices& s = services();
        s.factory = factory;
        s.entityTable = entities;
        s.token = token;
        s.log = log.get();
        s.uiControl = ui.control();
        s.searchHistory = ui.searchHistory();
        s.options = ui.options();
        s.statusBar = ui.statusBar();
        s.connectToolbar = ui.connectToolbar();
        s.searchTextName = languageText(IDS_SS_SEARCH_TEXT, 260);
        s.resultCountName = languageText(IDS_SS_RESULT_COUNT, 260);
        statusDisplay::LoadIcons();
        statusDisplay::Attach();

        managerObject = new capsule_core<CSSManager>();
        s.manager = managerObject;
        manager = managerObject;
        ui.setManager(manager);
        ASSERT_TRUE(RegisterStandardOperators(manager));
        manager->AddResultCallback(FilterResults);
        ASSERT_FALSE(s.searchTextName.empty());
        ASSERT_FALSE(s.resultCountName.empty());
        ui.calls().clear();
    }

    void TearDown() override {
        statusDisplay::Detach();
        services() = moduleServices();
        static_cast<IcoreObject*>(managerObject)->releaseCore();
        entityObject->releaseCore();
        factoryObject->releaseCore();
        FreeLibrary(resources);
    }

    // A new agent with one reference held by the caller.
    IAgent* newAgent() {
        IAgent* a = createAs<IAgent>(factory, token, "vesk::ss::CAgent");
        if (a)
            a->addRef();
        return a;
    }

    // A new vector in add-ref mode, one reference held by the caller.
    Ivector* newVector() {
        Ivector* v = createAs<Ivector>(factory, token, "vesk::vector", addRefMode);
        if (v)
            v->addRef();
        return v;
    }

    // The recorded lines beginning with prefix.
    std::vector<std::string> recorded(const std::string& prefix) {
        return ui.calls().linesStartingWith(prefix);
    }

    capsule_core<vesk::factory>* factoryObject = new capsule_core<vesk::factory>();
    capsule_core<entityTable>* entityObject = new capsule_core<entityTable>();
    Ifactory* factory = factoryObject;
    IentityTable* entities = entityObject;
    capsule<keptLog>* logObject = new capsule<keptLog>();
    ref<Itarget> log{logObject};
    IentityToken* token = nullptr;
    HMODULE resources = nullptr;
    vesk::testing::fakeUi ui;
    CSSManager* managerObject = nullptr;
    ISSManager* manager = nullptr;
};

// Text of a string-object value, or "" for anything else.
inline std::string textOf(const value& v) {
    Istring* s = v.asString();
    return s && s->c_str() ? s->c_str() : "";
}

}  // namespace vesk::ss::test
