// The entry points of the manager module. It publishes the manager on its
// first registration attempt, because the user interface needs it, and
// finishes registering once the user interface's services exist.
#include <windows.h>

#include <new>

#include "core/capsule.h"
#include "core/module.h"
#include "extern/rsrc/rsrcIds.h"
#include "plugins/Ombrel/agent.h"
#include "plugins/Ombrel/filterOperators.h"
#include "plugins/Ombrel/manager.h"
#include "plugins/Ombrel/moduleServices.h"
#include "plugins/Ombrel/optionPages.h"
#include "plugins/Ombrel/shareListFile.h"
#include "plugins/Ombrel/shareManager.h"
#include "plugins/Ombrel/statusDisplay.h"
#include "vesk/containers.h"
#include "vesk/share2.h"

using namespace vesk;
using namespace vesk::ss;

namespace {

constexpr int attributeNameLimit = 260;

bool loadOnceDone = false;

bool OnManagerSettingsSave() {
    moduleServices& s = services();
    if (s.shareManager)
        s.shareManager->Save();
    if (s.manager)
        s.manager->Save();
    return true;
}

// Looks up what the module cannot work without; false when one is missing.
bool lookUpRequired(Icore* core) {
    moduleServices& s = services();
    s.core = core;
    s.factory = lookupService<Ifactory>(core);
    s.entityTable = lookupService<IentityTable>(core);
    s.signalProcessor = lookupService<IsignalProcessor>(core);
    s.settings = lookupService<persist::Isettings>(core);
    if (!s.settings)
        return false;
    s.settings->addCallback(OnManagerSettingsSave);  // kept once however often
    s.installSettings = lookupService<persist::IinstallSettings>(core);
    s.log = lookupService<Itarget>(core);
    return s.installSettings && s.log && lookupService<share2::IShareEngine>(core);
}

// Makes and publishes the manager and the share list, once.
bool publishServices(Icore* core) {
    moduleServices& s = services();
    if (s.manager)
        return true;
    if (!s.factory || !s.entityTable || !s.signalProcessor)
        return true;  // not yet: the attempt fails below and comes again
    s.coreAccessor = interfaceCast<IcoreAccessor>(core);
    if (!s.coreAccessor)
        return false;
    if (!s.token) {
        s.token = s.entityTable->createEntity("ss_manager", "sink or swim manager");
        if (!s.token)
            return false;
        s.token->addRef();
    }
    shareListFile::FixDefaultPath();
    auto* manager = new (std::nothrow) capsule_core<CSSManager>();
    auto* shares = new (std::nothrow) capsule_core<CShareManager>();
    unsigned long managerId =
        manager && shares ? s.coreAccessor->registerObject(nameOf<ISSManager>(), static_cast<ISSManager*>(manager)) : 0;
    unsigned long sharesId =
        managerId ? s.coreAccessor->registerObject(nameOf<IShareManager>(), static_cast<IShareManager*>(shares)) : 0;
    if (!sharesId) {
        // A name already taken: another manager is there and this module stays out.
        if (managerId)
            s.coreAccessor->unregisterObjectById(managerId);
        delete manager;
        delete shares;
        return false;
    }
    s.manager = manager;
    s.shareManager = shares;
    RegisterStandardOperators(manager);
    manager->AddResultCallback(FilterResults);
    return true;
}

void lookUpUserInterface(Icore* core) {
    moduleServices& s = services();
    s.uiControl = lookupService<ui::IUIControl>(core);
    s.searchHistory = lookupService<ui::ISearchHistoryDockWnd>(core);
    s.options = lookupService<ui::IOptions>(core);
    s.statusBar = lookupService<ui::IStatusBar>(core);
    s.connectToolbar = lookupService<ui::IDockConnectTB>(core);
}

// Auto-connect on start; 0 asks the host to try again later.
int connectOnStart() {
    moduleServices& s = services();
    if (!s.manager->GetAutoConnectOnStart())
        return 1;
    if (!s.connectToolbar)
        s.connectToolbar = lookupService<ui::IDockConnectTB>(s.core);
    if (!s.connectToolbar) {
        logText(" !!ERROR!! SSMANAGER: g_pConnectTB DONT EXIST YET...\r\n");
        return 0;
    }
    try {
        s.connectToolbar->Connect();
    } catch (...) {
        logText(" !!ERROR!! SSMANAGER: Exception thrown while Calling \tg_pConnectTB->Connect();\r\n");
        throw;
    }
    return 1;
}

}  // namespace

VESK_ENTRY int _register(Icartridge* cartridge, Icore* core) {
    if (!cartridge || !core)
        return 0;
    if (!lookUpRequired(core) || !publishServices(core))
        return 0;
    lookUpUserInterface(core);
    moduleServices& s = services();
    if (!s.factory || !s.entityTable || !s.uiControl || !s.options || !s.searchHistory)
        return 0;
    cartridge->setName("SS Manager");
    cartridge->setDescription("Search and Share Manager");
    cartridge->setAuthor("pelloran");
    cartridge->setMajorVersion(0);
    cartridge->setMinorVersion(1);
    statusDisplay::LoadIcons();
    return 1;
}

VESK_ENTRY Ihash* _factory() {
    moduleServices& s = services();
    Ihash* table = createAs<Ihash>(s.factory, s.token, "vesk::hash", addRefMode);
    if (!table)
        return nullptr;
    Iconstruct* agents = new (std::nothrow) capsule<_constructAgent>();
    if (agents)
        table->set(value(1L), value(static_cast<Igeneric*>(agents)));
    return table;
}

VESK_ENTRY int _load() {
    moduleServices& s = services();
    if (!s.manager || !s.shareManager)
        return 0;
    if (!loadOnceDone) {
        try {
            s.shareManager->LoadShares();
        } catch (...) {
            logText("!!! Exception Thrown in SSProtocolManager - _load() - g_pShareManager->LoadShares();\r\n");
            return 0;
        }
        loadOnceDone = true;
    }
    try {
        s.manager->Load();
    } catch (...) {
        logText("!!! Exception Thrown in SSProtocolManager - _load() - g_SSManager->Load();\r\n");
        return 0;
    }
    return 1;
}

VESK_ENTRY int _initialize() {
    moduleServices& s = services();
    if (!s.signalProcessor || !s.entityTable || !s.token || !s.manager)
        return 0;
    s.resultCountName = languageText(IDS_SS_RESULT_COUNT, attributeNameLimit);
    s.searchTextName = languageText(IDS_SS_SEARCH_TEXT, attributeNameLimit);
    AddManagerPages();
    statusDisplay::Attach();  // the factory knows the hook class by now
    return connectOnStart();
}

VESK_ENTRY int _unload() {
    moduleServices& s = services();
    statusDisplay::Detach();
    if (s.token) {
        s.token->release();
        s.token = nullptr;
    }
    return 1;
}
