#include "plugins/gnutella/lifecycle.h"

#include <initializer_list>

#include "core/module.h"
#include "plugins/gnutella/CGWebCache.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/connectionPolicy.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/hostCache.h"
#include "plugins/gnutella/hostWindow.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/network.h"
#include "plugins/gnutella/protocol.h"
#include "plugins/gnutella/resources.h"
#include "plugins/gnutella/workerThreads.h"

namespace vesk::gnutella {

namespace {

constexpr const char* entityName = "zUdoradur";
constexpr const char* description = "Gnutella File Searching/Sharing Protocol";

// Looks T up and stores it; false when it is missing.
template <class T>
bool need(T*& slot) {
    slot = lookupService<T>(g_Services.core);
    return slot != nullptr;
}

bool makeEntity() {
    if (g_State.token)
        return true;
    IentityToken* token =
        interfaceCast<IentityToken>(g_Services.entityTable->createEntity(entityName, description));
    if (!token)
        return false;
    token->addRef();
    g_State.token = token;
    return true;
}

// The services in the order they are looked up; the log target and the
// factory are only checked (they are looked up again at each use).
bool lookUpServices() {
    if (!lookupService<Itarget>(g_Services.core) || !need(g_Services.entityTable) || !makeEntity())
        return false;
    if (!need(g_Services.signalProcessor) || !lookupService<Ifactory>(g_Services.core) ||
        !need(g_Services.threader) || !need(g_Services.functionIndex) || !need(g_Services.manager) ||
        !need(g_Services.settings))
        return false;
    g_Services.settings->addCallback(&on_settings_changed);  // kept once however often
    if (!need(g_Services.frame))
        return false;
    g_Services.statusBar = g_Services.frame->GetStatusBar();
    g_Services.uiControl = lookupService<ui::IUIControl>(g_Services.core);
    g_Services.tray = lookupService<ui::ITrayCtrl>(g_Services.core);
    return need(g_Services.hostWindow) && need(g_Services.transferWindow) && need(g_Services.options) &&
           need(g_Services.statWindow) && need(g_Services.communications) && need(g_Services.shareEngine);
}

void CreateLocks() {
    if (!g_State.hostCacheLock)
        g_State.hostCacheLock = NewLock();
    if (!g_State.quickConnectLock)
        g_State.quickConnectLock = NewLock();
}

void ReleaseLocks() {
    for (Ilock** lock : {&g_State.hostCacheLock, &g_State.quickConnectLock}) {
        if (*lock)
            (*lock)->release();
        *lock = nullptr;
    }
}

unsigned long findClass(const char* name) {
    Ifactory* factory = moduleFactory();
    return factory ? factory->findClass(name) : 0;
}

Ithread** const workers[] = {&g_State.listenerThread, &g_State.activeHostThread, &g_State.transferThread};

void releaseWorkers() {
    for (Ithread** slot : workers) {
        if (*slot)
            (*slot)->release();
        *slot = nullptr;
    }
}

// Asks all three to stop first, so that they end side by side, then waits
// for each (bounded by the threader) and lets go of it.
void stopWorkers() {
    for (Ithread** slot : workers)
        if (*slot)
            (*slot)->requestStop();
    for (Ithread** slot : workers)
        if (*slot)
            (*slot)->stop();
    releaseWorkers();
}

// Makes the three workers, none started; false (none kept) when one cannot
// be made.
bool makeWorkers() {
    stopWorkers();
    g_State.listenerThread = CreateModuleThread("gnutella listener thread", &listener_thread, nullptr);
    g_State.activeHostThread =
        g_State.listenerThread
            ? CreateModuleThread("Gnutella Active Host Update Thread", &active_host_update_thread, nullptr)
            : nullptr;
    g_State.transferThread = g_State.activeHostThread ? CreateModuleThread("Gnutella File Transfer Thread",
                                                                           &file_transfer_thread, nullptr)
                                                      : nullptr;
    if (g_State.transferThread)
        return true;
    releaseWorkers();
    return false;
}

// Starts the three workers in order; when one does not start, those started
// are stopped again and none is kept.
bool startWorkers() {
    for (Ithread** slot : workers) {
        if (!(*slot)->start()) {
            stopWorkers();
            return false;
        }
    }
    return true;
}

void ShutdownCleanup() {
    DestroyHosts(g_ActiveRequestedConnectionQueue);
    DestroyHosts(g_InactiveRequestedConnectionQueue);
    SaveHostCatcher();
    ClearHostCatcher();
    SaveSuccessfulHosts();
    ClearSuccessfulHosts();
    DestroyHosts(g_ActiveHostList);
    DestroyHosts(g_InactiveHostList);
    DestroyHosts(g_TransferHostList);
    ClearTransferLists();
    g_Settings.Clear();
}

}  // namespace

int RegisterModule(Icartridge* self, Icore* core) {
    if (!self || !core)
        return -1;
    g_Services.cartridge = self;
    g_Services.core = core;
    if (!lookUpServices())
        return 0;
    self->setAuthor("Pelloran");
    self->setDescription(description);
    self->setName("Gnutella");
    self->setMajorVersion(0);
    self->setMinorVersion(99);
    return 1;
}

int LoadModule() {
    if (!g_Services.uiControl) {
        LogLine("GNUTELLA LOAD: <Error> g_IUIControl == NULL\r\n");
        return 0;
    }
    if (g_State.loaded)
        return 1;
    LogLine("GNUTELLA LOAD: beginning init resources\r\n");
    InitResources();
    LogLine("GNUTELLA LOAD: completed init resources\r\n");
    LogLine("GNUTELLA LOAD: beginning init protocol\r\n");
    InitProtocol();
    LogLine("GNUTELLA LOAD: completed init protocol\r\n");
    g_State.loaded = true;
    return 1;
}

int InitializeModule() {
    CreateLocks();
    g_State.agentClass = findClass("vesk::ss::CAgent");
    g_State.dataBufferClass = findClass("vesk::net::CNetDataBuffer");
    if (g_State.protocol)
        g_State.protocol->SetState(protocolState::offline);

    LogLine("GNUTELLA INIT: beginning init settings\r\n");
    InitSettings();
    LogLine("GNUTELLA INIT: completed init settings\r\n");

    LogLine("GNUTELLA INIT: beginning init network\r\n");
    if (InitNetwork() == -1) {
        LogLine("GNUTELLA INIT: FAILED init network\r\n");
        return 0;
    }
    LogLine("GNUTELLA INIT: completed init network successfully\r\n");

    LogLine("GNUTELLA INIT: beginning init gui\r\n");
    InitGui();
    LogLine("GNUTELLA INIT: completed init gui\r\n");

    LogLine("GNUTELLA INIT: loading successful hosts\r\n");
    g_State.hostListsRead = true;
    LoadSuccessfulHosts();
    LogLine("GNUTELLA INIT: loaded successful hosts\r\n");
    if (g_Settings.m_LoadHostCatcher == 1) {
        LogLine("GNUTELLA INIT: loading host catcher\r\n");
        LoadHostCatcher();
        LogLine("GNUTELLA INIT: loaded host catcher\r\n");
    }

    g_State.threadClass = findClass("vesk::thread");
    if (!makeWorkers())
        return 0;
    LogLine("GNUTELLA INIT: starting threads...\r\n");
    if (!startWorkers())
        return 0;
    LogLine("GNUTELLA INIT: sucessfully started threads\r\n");
    if (g_Settings.m_ConnectToQuickConnect != 0)
        ConnectQuickList();
    return 1;
}

int UnloadModule() {
    g_State.running = 0;
    g_State.shuttingDown = 1;
    // Nothing the threads use goes before they have all ended.
    stopWorkers();
    StopAllSearches();
    JoinWorkerThreads();
    ForgetSearches();
    CloseListener();
    CloseWebCacheClient();
    ReleaseResources();
    ShutdownCleanup();
    ReleaseLocks();
    g_State.hostListsRead = false;
    // The texts are gone: a later _load makes them again.
    g_State.loaded = false;
    g_State.shuttingDown = 0;
    return 1;
}

void ReleaseEntity() {
    if (g_State.token)
        g_State.token->release();
    g_State.token = nullptr;
}

}  // namespace vesk::gnutella
