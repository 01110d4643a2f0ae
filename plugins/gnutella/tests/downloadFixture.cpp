#include "plugins/gnutella/tests/downloadFixture.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <stdexcept>

#include "core/module.h"
#include "extern/rsrc/rsrcIds.h"
#include "plugins/fs/tests/moduleHost.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/clock.h"
#include "plugins/gnutella/downloadActions.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/resources.h"
#include "plugins/gnutella/tests/fakeUiServices.h"
#include "plugins/gnutella/tests/loadedModules.h"
#include "plugins/gnutella/transferRows.h"
#include "plugins/gnutella/transferThread.h"
#include "plugins/gnutella/workerThreads.h"
#include "vesk/net.h"
#include "vesk/persist.h"
#include "vesk/share2.h"

namespace vesk::gnutella::test {

namespace {

using svctest::moduleHost;

// The modules, the network module, and the module's services as its
// _register would find them, made once for the process.
struct environment : loadedModules {
    environment() {
        moduleHost& host = moduleHost::instance();
        if (host.registerModule("net") != 1 || host.factoryModule("net") != 1)
            throw std::runtime_error("the network module did not register");
        Icore* core = host.core();
        g_Services.core = core;
        g_Services.entityTable = host.entities();
        g_Services.functionIndex = lookupService<IfunctionIndex>(core);
        g_Services.manager = lookupService<ss::ISSManager>(core);
        g_Services.settings = lookupService<persist::Isettings>(core);
        UseFakeUserInterface(ui);
        g_Services.communications = lookupService<net::ICommunications>(core);
        g_Services.shareEngine = lookupService<share2::IShareEngine>(core);
        IentityToken* token =
            host.entities()->createEntity("zUdoradur", "Gnutella File Searching/Sharing Protocol");
        token->addRef();
        g_State.token = token;
        Ifactory* factory = host.factory();
        g_State.agentClass = factory->findClass("vesk::ss::CAgent");
        g_State.dataBufferClass = factory->findClass("vesk::net::CNetDataBuffer");
        g_State.threadClass = factory->findClass("vesk::thread");
        if (!g_Services.manager || !g_Services.communications || !g_State.agentClass || !g_State.threadClass)
            throw std::runtime_error("a service the transfer side needs is missing");
        InitResources();
    }
};

environment& env() {
    static environment e;
    return e;
}

std::atomic<unsigned long> testNow{1000000};
unsigned long testTicks() {
    return testNow;
}

}  // namespace

vesk::testing::fakeUi& FakeUi() {
    return env().ui;
}

void DownloadTest::SetUp() {
    env();
    manager = g_Services.manager;
    testNow = 1000000;
    SetTickSource(&testTicks);
    ASSERT_TRUE(manager->SetTempDir(temp.path().c_str()));
    ASSERT_TRUE(manager->SetDownloadDir(downloads.path().c_str()));
    for (int i = 0; i < 4; ++i)
        manager->SetAutoClear(i, false);
    g_Settings.m_MaxDownloads = 7;
    g_Settings.m_AutoRetry = true;
    g_Settings.m_AutoRetryCount = 10;
    env().ui.calls().clear();
}

void DownloadTest::TearDown() {
    JoinWorkerThreads();
    DestroyHosts(g_TransferHostList);
    ClearTransferLists();
    for (ss::IAgent* row : env().ui.downloadRows())
        g_Services.transferWindow->RemoveDownload(row);
    g_Settings.Clear();
    SetTickSource(nullptr);
}

ref<ss::IAgent> DownloadTest::resultRow(const std::string& name, std::uint32_t size, unsigned short port) {
    ss::IAgent* made = NewAgent();
    ref<ss::IAgent> row(made);
    if (made)
        made->release();
    if (!row)
        return row;
    row->SetAttribute(ResourceText(IDS_GNU_FIELD_ADDRESS), value("127.0.0.1"));
    row->SetAttribute(ResourceText(IDS_GNU_FIELD_PORT), value(port));
    row->SetAttribute(ResourceText(IDS_GNU_FIELD_INDEX), value(7UL));
    row->SetAttribute(ResourceText(IDS_GNU_FIELD_SIZE), value(static_cast<unsigned long>(size)));
    row->SetAttribute(ResourceText(IDS_GNU_FIELD_NAME), value(name.c_str()));
    row->AddAction(ResourceText(IDS_GNU_ACTION_DOWNLOAD), &add_download);
    return row;
}

bool DownloadTest::fire(ss::IAgent* row, unsigned id) {
    bool fired = false;
    env().ui.gui().run([&] { fired = row->FireAction(ResourceText(id)); });
    return fired;
}

bool DownloadTest::stepUntil(const std::function<bool()>& condition) {
    ULONGLONG end = GetTickCount64() + 20000;
    while (!condition()) {
        if (GetTickCount64() > end)
            return false;
        TransferStep();
        Sleep(1);
    }
    return true;
}

CGnutellaHost* DownloadTest::hostOf(ss::IAgent* row) {
    guid16 id;
    if (!RowBytes(row, transferIdName, id.bytes, sizeof id.bytes))
        return nullptr;
    std::lock_guard<std::recursive_mutex> hold(g_TransferHostList.guard);
    auto entry = g_TransferHostList.items.find(id);
    return entry == g_TransferHostList.items.end() ? nullptr : entry->second;
}

std::string DownloadTest::column(ss::IAgent* row, unsigned id) {
    return RowText(row, ResourceText(id));
}

long DownloadTest::number(ss::IAgent* row, const char* name) {
    return row->GetAttribute(name).asLong();
}

unsigned long DownloadTest::colour(ss::IAgent* row) {
    return row->GetProperty("TC").asUlong();
}

bool DownloadTest::offers(ss::IAgent* row, unsigned id) {
    return row->HasAction(ResourceText(id));
}

bool DownloadTest::listed(ss::IAgent* row) {
    std::vector<ss::IAgent*> rows = env().ui.downloadRows();
    return std::find(rows.begin(), rows.end(), row) != rows.end();
}

bool DownloadTest::queued(ss::IAgent* row) {
    std::lock_guard<std::recursive_mutex> hold(g_QueuedDownloadList.guard);
    auto& items = g_QueuedDownloadList.items;
    return std::find(items.begin(), items.end(), row) != items.end();
}

unsigned DownloadTest::running() {
    return g_Settings.Counts().downloads;
}

void DownloadTest::advance(unsigned long milliseconds) {
    testNow += milliseconds;
}

}  // namespace vesk::gnutella::test
