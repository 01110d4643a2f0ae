// Entry points of the user interface module. Registration makes the
// module's window objects and its controller and publishes the services
// other modules fill; loading starts the GUI thread, on which the
// controller makes the main frame and runs its message loop.
#include <windows.h>

#include <new>

#include "core/capsule.h"
#include "core/module.h"
#include "plugins/ui/controlServices.h"
#include "plugins/ui/dockConnectTB.h"
#include "plugins/ui/generalPage.h"
#include "plugins/ui/layoutWindows.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/toolBars.h"
#include "plugins/ui/uiControl.h"
#include "vesk/host.h"
#include "vesk/threading.h"

using namespace vesk;
using namespace vesk::ui;

namespace {

struct moduleState {
    Icore* core = nullptr;
    IentityTable* entities = nullptr;  // core objects: not owned
    Ifactory* factory = nullptr;
    IcoreAccessor* accessor = nullptr;
    IentityToken* owner = nullptr;  // one reference
    capsule_core<UIControl>* control = nullptr;  // a core object, ended by the directory once published
    listWindowObjects windows;
    VDockConnectTB* connectToolBar = nullptr;
    IOptions* options = nullptr;
    ITrayCtrl* tray = nullptr;
    Igeneric* debugWindow = nullptr;
    Ithread* guiThread = nullptr;  // one reference
    unsigned published = 0;        // services published so far, in order
    bool resourcesLoaded = false;
};

moduleState state;

HINSTANCE OwnModule() {
    HMODULE self = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&OwnModule), &self);
    return self;
}

void AddTabStop(HWND window) {
    if (UIControl* control = TheControl())
        control->AddTabStop(window);
}

int GuiThreadMain(Ithread* thread) {
    if (UIControl* control = state.control) {
        control->addRef();
        if (control->Create())
            control->Run();
        if (share2::IShareEngine* engine = control->Links().shareEngine)
            engine->setState(-1);
        control->Shutdown();
        control->release();
    }
    if (thread)
        thread->ended();
    return 0;
}

// Publishes the services in order, each once, across retries; false while
// one is refused.
bool PublishServices(IFrameWnd* frame) {
    moduleState& s = state;
    struct service {
        const char* name;
        Igeneric* object;
    };
    const service services[] = {
        {nameOf<IUIControl>(), static_cast<IUIControl*>(s.control)},
        {"vesk::ui::IDockDebugWnd *", s.debugWindow},
        {nameOf<IGnutellaHostDockWnd>(), s.windows.host},
        {nameOf<IGnutellaStatDockWnd>(), s.windows.statistics},
        {nameOf<IDockTransferWnd>(), s.windows.transfer},
        {nameOf<IOptions>(), s.options},
        {nameOf<ISearchHistoryDockWnd>(), s.windows.history},
        {nameOf<ITrayCtrl>(), s.tray},
        {nameOf<IStatusBar>(), frame->GetStatusBar()},
        {nameOf<IDockConnectTB>(), static_cast<IDockConnectTB*>(s.connectToolBar)},
        {nameOf<IAgentExplorerCtrl>(), s.windows.explorer},
    };
    for (; s.published < sizeof services / sizeof services[0]; ++s.published) {
        const service& next = services[s.published];
        // Parts not built into the module yet are left out (see
        // controlServices.h).
        if (next.object && !s.accessor->registerObject(next.name, next.object))
            return false;
    }
    return true;
}

// The General page works on the controller's flags.
windowFlags ControllerFlags() {
    windowFlags flags;
    if (UIControl* control = TheControl()) {
        flags.minimizeToTray = control->MinimizeToTray();
        flags.minimizeOnStart = control->MinimizeOnStart();
        flags.showInTray = control->ShowInTray();
        flags.saveOnExit = control->SaveOnExit();
        flags.languageId = control->LanguageID();
    }
    return flags;
}

void SetControllerFlags(const windowFlags& flags) {
    if (UIControl* control = TheControl()) {
        control->SetMinimizeToTray(flags.minimizeToTray);
        control->SetMinimizeOnStart(flags.minimizeOnStart);
        control->SetShowInTray(flags.showInTray);
        control->SetSaveOnExit(flags.saveOnExit);
        control->SetLanguageID(flags.languageId);
    }
}

void MarkControllerSaveOnExit(bool) {
    if (UIControl* control = TheControl())
        control->MarkSaveOnExitItem();
}

void BindGeneralPage(ITrayCtrl* tray) {
    generalPageServices& page = GeneralPageServices();
    page.readFlags = &ControllerFlags;
    page.writeFlags = &SetControllerFlags;
    page.tray = tray;
    page.markSaveOnExit = &MarkControllerSaveOnExit;
}

}  // namespace

VESK_ENTRY int _register(Icartridge* record, Icore* core) {
    moduleState& s = state;
    if (!record || !core)
        return 0;
    s.core = core;
    s.entities = lookupService<IentityTable>(core);
    s.factory = lookupService<Ifactory>(core);
    auto* signals = lookupService<IsignalProcessor>(core);
    auto* frame = lookupService<IFrameWnd>(core);
    auto* manager = lookupService<ss::ISSManager>(core);
    auto* runtime = lookupService<Iruntime>(core);
    s.accessor = interfaceCast<IcoreAccessor>(core);
    auto* settings = lookupService<persist::Isettings>(core);
    auto* target = lookupService<Itarget>(core);
    if (!s.entities || !s.factory || !signals || !frame || !manager || !runtime || !s.accessor || !settings ||
        !target)
        return 0;

    if (!MakeListWindowObjects(s.windows))
        return 0;
    s.connectToolBar = ConnectToolBarObject();
    s.options = MakeVOptions();
    s.tray = MakeVTrayCtrl();
    s.debugWindow = MakeVDockDebugWnd();
    if (!s.control)
        s.control = new (std::nothrow) capsule_core<UIControl>();
    if (!s.connectToolBar || !s.control)
        return 0;

    record->setName("UI");
    record->setAuthor("pelloran");
    record->setDescription("Pelloran UI");
    record->setMajorVersion(0);
    record->setMinorVersion(1);
    if (!s.owner) {
        s.owner = s.entities->createEntity("UI", "Pelloran UI");
        if (!s.owner)
            return 0;
        s.owner->addRef();
    }

    controlLinks links;
    links.frame = frame;
    links.settings = settings;
    links.owner = s.owner;
    links.manager = manager;
    links.runtime = runtime;
    links.log = target;
    links.splash = lookupService<splash::ISplashScreen>(core);
    links.options = s.options;
    links.tray = s.tray;
    links.module = OwnModule();
    links.shareEngine = s.control->Links().shareEngine;
    s.control->SetLinks(links);
    SetTheControl(s.control);
    BindGeneralPage(s.tray);

    listServices& list = ListServices();
    list.factory = s.factory;
    list.owner = s.owner;
    list.settings = settings;
    list.manager = manager;
    list.control = s.control;
    list.frame = frame;
    list.statusBar = frame->GetStatusBar();
    list.connectToolbar = s.connectToolBar;
    list.addTabStop = &AddTabStop;

    if (!s.resourcesLoaded) {
        s.control->LoadResources();
        s.resourcesLoaded = true;
    }
    return PublishServices(frame) ? 1 : 0;
}

VESK_ENTRY int _load() {
    moduleState& s = state;
    if (!s.control)
        return 0;
    LoadListTexts(s.control->GetResourceInstance());
    auto* engine = lookupService<share2::IShareEngine>(s.core);
    if (!engine)
        return 0;
    controlLinks links = s.control->Links();
    links.shareEngine = engine;
    s.control->SetLinks(links);
    if (links.settings)
        links.settings->addCallback(&OnSettingsSave);
    if (s.windows.explorer)
        s.windows.explorer->Init();
    if (!s.guiThread)
        s.guiThread = startThread(s.factory, s.owner, "vesk::gui::loop()", nullptr, &GuiThreadMain);
    return s.guiThread ? 1 : 0;
}

VESK_ENTRY int _initialize() {
    if (state.control)
        state.control->ShowMainWindow();
    return 1;
}

VESK_ENTRY int _unload() {
    moduleState& s = state;
    if (s.control && s.control->Links().settings)
        s.control->Links().settings->removeCallback(&OnSettingsSave);
    if (s.guiThread) {
        // The GUI thread ends before the module's objects can go: a main
        // window still open (the runtime was stopped by another module) is
        // closed as the user would close it.
        if (s.guiThread->isRunning() && s.control && !s.control->IsClosed())
            ::PostMessageA(s.control->FrameWindow(), WM_CLOSE, 0, 0);
        s.guiThread->stop();
        s.guiThread->release();
        s.guiThread = nullptr;
    }
    if (s.owner) {
        if (s.entities)
            s.entities->removeEntity(s.owner);
        s.owner->release();
        s.owner = nullptr;
    }
    LoadListTexts(nullptr);
    return 1;
}

// The frame's status bar, once the controller has made the frame.
VESK_ENTRY IStatusBar* GetS() {
    return state.control ? state.control->StatusBar() : nullptr;
}
