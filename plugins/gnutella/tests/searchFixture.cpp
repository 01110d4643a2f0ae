#include "plugins/gnutella/tests/searchFixture.h"

#include <mutex>

#include "core/module.h"
#include "core/string.h"
#include "extern/rsrc/rsrcIds.h"
#include "extern/sysrt/thread.h"
#include "plugins/Ombrel/agent.h"
#include "plugins/Ombrel/moduleServices.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/resources.h"
#include "plugins/gnutella/workerThreads.h"

namespace vesk::gnutella::test {

namespace {

// The threader's thread class under a name of its own, keeping a reference
// to every thread it makes so that a test can look at a thread after its
// owner has let go of it.
class spiedThreads : public constructBase {
public:
    explicit spiedThreads(Icore* core)
        : constructBase("test::spiedThread"), real_(new capsule<sysrt::_constructThread>(core)) {}

    Igeneric* createWithArgs(value* args) override {
        Igeneric* made = real_->createWithArgs(args);
        if (Ithread* t = interfaceCast<Ithread>(made)) {
            t->addRef();
            std::lock_guard<std::mutex> hold(lock_);
            made_.push_back(t);
        }
        return made;
    }

    Ithread* named(const std::string& name) {
        std::lock_guard<std::mutex> hold(lock_);
        for (auto it = made_.rbegin(); it != made_.rend(); ++it)
            if (name == (*it)->getName())
                return *it;
        return nullptr;
    }

    void forget() {
        std::vector<Ithread*> all;
        {
            std::lock_guard<std::mutex> hold(lock_);
            all.swap(made_);
        }
        for (Ithread* t : all)
            t->release();
    }

private:
    ref<Iconstruct> real_;
    std::mutex lock_;
    std::vector<Ithread*> made_;  // one reference held each
};

spiedThreads* spy = nullptr;  // registered once for the process

void registerOnce(Ifactory* factory, Icore* directory) {
    if (!factory->findClass("vesk::ss::CAgent")) {
        ref<Iconstruct> agents(new capsule<ss::_constructAgent>());
        factory->registerClass(agents.get(), 0, 0);
    }
    if (!spy) {
        spy = new capsule<spiedThreads>(directory);
        static_cast<Iconstruct*>(spy)->addRef();
        factory->registerClass(spy, 0, 0);
    }
}

}  // namespace

int recordingManager::RegisterProtocol(ss::ProtocolRegistration r) {
    registrations.push_back(r);
    return CSSManager::RegisterProtocol(r);
}

bool recordingManager::AddField(Istring* name, Istring* list, unsigned valueType, int level) {
    fields.push_back({name ? name->c_str() : "", list ? list->c_str() : "", valueType, level});
    return CSSManager::AddField(name, list, valueType, level);
}

bool eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 20000; ++i) {
        if (condition())
            return true;
        Sleep(1);
    }
    return condition();
}

void searchFixture::SetUp() {
    gnutellaFixture::SetUp();
    registerOnce(factory, directory);

    ss::moduleServices& s = ss::services();
    s.factory = factory;
    s.entityTable = entities;
    s.token = g_State.token;
    s.uiControl = ui.control();
    s.searchHistory = ui.searchHistory();
    s.options = ui.options();
    s.searchTextName = ss::languageText(IDS_SS_SEARCH_TEXT, 260);
    s.resultCountName = ss::languageText(IDS_SS_RESULT_COUNT, 260);
    managerObject = new capsule_core<recordingManager>();
    s.manager = managerObject;
    manager = managerObject;
    ui.setManager(manager);

    g_Services.manager = manager;
    g_State.agentClass = factory->findClass("vesk::ss::CAgent");
    g_State.threadClass = factory->findClass("test::spiedThread");
    g_Settings.m_LocalTTL = 5;
    g_Settings.m_MinResponseSpeed = 0;
    g_Settings.m_ShowFirewalledResults = true;
    InitResources();
    ui.calls().clear();
}

void searchFixture::TearDown() {
    if (activeHostThread) {
        activeHostThread->stop();
        activeHostThread->release();
        activeHostThread = nullptr;
    }
    StopAllSearches();
    JoinWorkerThreads();
    ForgetSearches();
    DestroyHosts(g_ActiveHostList);
    spy->forget();
    g_State.protocol = nullptr;
    g_State.agentClass = 0;
    ReleaseResources();
    ui.setManager(nullptr);
    ss::services() = ss::moduleServices();
    static_cast<IcoreObject*>(managerObject)->releaseCore();
    gnutellaFixture::TearDown();
}

ref<ss::ISearchInst> searchFixture::newSearch(const char* query) {
    ref<ss::ISearchInst> s(manager->CreateSearch(query));
    if (s)
        s->SetQuery(query);
    return s;
}

Ithread* searchFixture::threadNamed(const std::string& name) {
    return spy->named(name);
}

void searchFixture::startActiveHostThread() {
    activeHostThread =
        CreateModuleThread("Gnutella Active Host Update Thread", &active_host_update_thread, nullptr);
    ASSERT_NE(activeHostThread, nullptr);
    ASSERT_TRUE(activeHostThread->start());
}

std::string searchFixture::textOf(ss::IAgent* agent, unsigned fieldId) {
    Istring* text = agent ? agent->GetAttribute(ResourceText(fieldId)).asString() : nullptr;
    return text && text->c_str() ? text->c_str() : "";
}

}  // namespace vesk::gnutella::test
