// The host window's commands through the hook on its container: the test's
// own host pages (the resource module's templates) with the fake host
// window keeping its rows in their lists. Links are dialled on 127.0.0.1
// only.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaHostCatch.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/broadcasts.h"
#include "plugins/gnutella/downloadQueue.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/hostCache.h"
#include "plugins/gnutella/hostWindow.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/resources.h"
#include "plugins/gnutella/transferThread.h"
#include "plugins/gnutella/tests/linkFixture.h"
#include "testing/fakes/wndProc.h"

namespace vesk::gnutella::test {

namespace {

INT_PTR CALLBACK inertPage(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

class HostWindowHook : public linkFixture {
protected:
    void SetUp() override {
        linkFixture::SetUp();
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_USEREX_CLASSES};
        InitCommonControlsEx(&controls);
        ui.gui().run([&] {
            frame = CreateWindowExA(0, "STATIC", "host window", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr,
                                    nullptr, nullptr);
            pages.connectPage = CreateDialogParamA(resources, MAKEINTRESOURCEA(IDD_UIL_CONNECTIONS), frame, inertPage, 0);
            pages.catchPage = CreateDialogParamA(resources, MAKEINTRESOURCEA(IDD_UIL_HOST_CACHE), frame, inertPage, 0);
            pages.addressCombo = CreateWindowExA(0, WC_COMBOBOXEXA, "", WS_CHILD | CBS_DROPDOWN, 0, 0, 200, 100,
                                                 frame, nullptr, nullptr, nullptr);
        });
        ASSERT_NE(pages.connectPage, nullptr);
        ASSERT_NE(pages.catchPage, nullptr);
        ASSERT_NE(pages.addressCombo, nullptr);
        ui.setHostPages(pages);
        g_Settings.m_ReplaceHostCache = true;
        if (hookAtSetUp)
            InitGui();
    }
    void TearDown() override {
        ui.setHostPages(vesk::testing::hostPages());
        ui.gui().run([&] { DestroyWindow(frame); });
        g_State.trimHostCacheRequest = 0;
        linkFixture::TearDown();
    }

    // A message as the host window's container gets it.
    LRESULT deliver(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ui.deliverToHostContainer(message, wParam, lParam);
    }
    LRESULT command(WPARAM id) { return deliver(WM_COMMAND, id, 0); }
    HWND list(HWND page, int id) { return GetDlgItem(page, id); }
    int rows(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }
    void selectRows(HWND list, const std::vector<int>& selected) {
        for (int i : selected) {
            LVITEMA state = {};
            state.stateMask = LVIS_SELECTED;
            state.state = LVIS_SELECTED;
            SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&state));
        }
    }
    // Caches hosts as pongs do, rows shown; their ports in cache order.
    void catchHosts(const std::vector<std::uint16_t>& ports) {
        for (std::uint16_t port : ports)
            ASSERT_TRUE(CatchHost(new CGnutellaHostCatch("127.0.0.1", port)));
    }
    std::set<unsigned> dialledPorts() {
        std::set<unsigned> ports;
        std::lock_guard<std::recursive_mutex> hold(g_InactiveHostList.guard);
        for (const auto& link : g_InactiveHostList.items)
            ports.insert(link.second->m_Port);
        return ports;
    }
    std::set<unsigned> cachedPorts() {
        std::set<unsigned> ports;
        for (const auto& entry : g_HostCatcher)
            ports.insert(entry.second->m_Port);
        return ports;
    }

    HWND frame = nullptr;
    vesk::testing::hostPages pages;
    bool hookAtSetUp = true;
};

// The module starts before the user interface has made its host window.
class LateHostWindow : public HostWindowHook {
protected:
    LateHostWindow() { hookAtSetUp = false; }
};

TEST_F(HostWindowHook, EveryMessageGoesOnToTheWindowAndBox414FollowsTheFlag) {
    EXPECT_EQ(deliver(WM_NULL), -1);
    EXPECT_EQ(IsDlgButtonChecked(pages.catchPage, IDC_UIL_CACHE_REPLACE), BST_CHECKED) << "found and set";
    struct step {
        bool box;
        bool flag;
    };
    for (const step& s : {step{false, false}, step{true, true}, step{false, false}}) {
        CheckDlgButton(pages.catchPage, IDC_UIL_CACHE_REPLACE, s.box ? BST_CHECKED : BST_UNCHECKED);
        EXPECT_EQ(command(IDC_UIL_CACHE_REPLACE), -1);
        EXPECT_EQ(g_Settings.m_ReplaceHostCache.load(), s.flag);
    }
    for (WPARAM other : {WPARAM(1), WPARAM(2), WPARAM(12345)})
        EXPECT_EQ(command(other), -1);
}

TEST_F(HostWindowHook, PingAndTrimAskTheActiveHostThreadToTrimOldestFirst) {
    for (WPARAM id : {WPARAM(IDC_UIL_PING_ALL), WPARAM(IDC_UIL_TRIM_CACHE)}) {
        ClearHostCatcher();
        g_HostCatchKeyQueue.clear();
        g_Settings.m_MaxHostCatcher = 4;
        catchHosts({20004, 20001, 20003, 20002});
        EXPECT_EQ(rows(list(pages.catchPage, IDC_UIL_CACHE_LIST)), 4);
        g_Settings.m_MaxHostCatcher = 2;  // lowered on the option page
        ASSERT_TRUE(g_PendingBroadcastList.IsEmpty());
        command(id);
        EXPECT_EQ(!g_PendingBroadcastList.IsEmpty(), id == IDC_UIL_PING_ALL) << id << ": a ping for every link";
        ExpireBroadcasts();
        ExpireBroadcasts();
        EXPECT_EQ(cachedPorts().size(), 4u) << id << ": the thread trims, at its next turn";
        ServeHostCacheRequests();
        EXPECT_EQ(cachedPorts(), (std::set<unsigned>{20003, 20002})) << id << ": the oldest went";
        EXPECT_EQ(rows(list(pages.catchPage, IDC_UIL_CACHE_LIST)), 2) << id;
        ServeHostCacheRequests();
        EXPECT_EQ(cachedPorts().size(), 2u) << "once per request";
    }
}

TEST_F(HostWindowHook, ConnectDialsEverySelectedCachedHost) {
    catchHosts({20001, 20002, 20003, 20004, 20005});
    HWND cache = list(pages.catchPage, IDC_UIL_CACHE_LIST);
    ASSERT_EQ(rows(cache), 5);
    selectRows(cache, {1, 2, 4});  // two next to each other: a walk by index would skip the second
    command(IDC_UIL_CONNECT_SELECTED);
    EXPECT_EQ(dialledPorts(), (std::set<unsigned>{20002, 20003, 20005})) << "dialling removes rows";
    EXPECT_EQ(cachedPorts(), (std::set<unsigned>{20001, 20004}));
    EXPECT_EQ(rows(cache), 2);
}

int drops = 0;
int countDrop(ss::IAgent*) {
    ++drops;
    return 0;
}

TEST_F(HostWindowHook, DisconnectFiresTheDropActionOfEverySelectedLink) {
    drops = 0;
    std::vector<ref<ss::IAgent>> links;
    for (int i = 0; i < 3; ++i) {
        links.emplace_back(NewAgent());
        links.back()->release();  // NewAgent's reference; the ref keeps one
        links.back()->AddAction(ResourceText(IDS_GNU_LINK_CLOSED), &countDrop);
        ui.hostWindow()->AddConnect(links.back().get());
    }
    HWND connections = list(pages.connectPage, IDC_UIL_CONNECT_LIST);
    ASSERT_EQ(rows(connections), 3);
    selectRows(connections, {0, 2});
    command(IDC_UIL_DISCONNECT_SELECTED);
    EXPECT_EQ(drops, 2);
}

TEST_F(HostWindowHook, ClearQueueEmptiesTheDownloadQueueAtTheTransferThreadsNextTurn) {
    g_Settings.m_MaxDownloads = 0;  // nothing starts
    std::vector<ref<ss::IAgent>> queued;
    for (int i = 0; i < 2; ++i) {
        queued.emplace_back(NewAgent());
        queued.back()->release();
        ASSERT_EQ(QueueDownload(queued.back().get()), 0);
    }
    TransferStep();
    ss::IAgent* first = PopQueuedDownload();
    ASSERT_NE(first, nullptr) << "without the command the queue stays";
    ASSERT_EQ(QueueDownload(first), 0);
    first->release();
    command(IDCMD_GNU_CLEAR_QUEUE);
    TransferStep();
    EXPECT_EQ(PopQueuedDownload(), nullptr);
}

TEST_F(HostWindowHook, TheTypedAddressIsDialledOnPort6346UnlessItNamesOne) {
    struct row {
        const char* typed;
        std::set<unsigned> dialled;
    };
    const row rows[] = {
        {"", {}},
        {"127.0.0.1:20077", {20077}},
        {"127.0.0.1", {6346}},
    };
    HWND edit = reinterpret_cast<HWND>(SendMessageA(pages.addressCombo, CBEM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    for (const row& r : rows) {
        DestroyHosts(g_InactiveHostList);
        SetWindowTextA(edit, r.typed);
        command(IDCMD_UIL_CONNECT_ADDRESS);
        EXPECT_EQ(dialledPorts(), r.dialled) << r.typed;
    }
    // The link reaches what was typed: a listener of the test's own on a
    // port the system chose (6346 itself may be any local client's).
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ASSERT_NE(listener, INVALID_SOCKET);
    sockaddr_in at = {};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof at;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&at), &length), 0);
    ASSERT_EQ(listen(listener, 4), 0);
    DestroyHosts(g_InactiveHostList);
    SetWindowTextA(edit, ("127.0.0.1:" + std::to_string(ntohs(at.sin_port))).c_str());
    command(IDCMD_UIL_CONNECT_ADDRESS);
    bool reached = stepUntil([&] {
        fd_set waiting;
        FD_ZERO(&waiting);
        FD_SET(listener, &waiting);
        timeval none = {0, 0};
        return select(0, &waiting, nullptr, nullptr, &none) == 1;
    });
    EXPECT_TRUE(reached);
    closesocket(listener);
}

TEST_F(HostWindowHook, WithoutTheHostWindowTheModuleStartsAndLogsIt) {
    log->clear();
    ui::IGnutellaHostDockWnd* host = g_Services.hostWindow;
    g_Services.hostWindow = nullptr;
    std::size_t pagesBefore = ui.optionsDialog().pages().size();
    EXPECT_EQ(InitGui(), 0);
    g_Services.hostWindow = host;
    std::vector<std::string> lines = log->lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "GNUTELLA INIT: <Error> no host window: its commands are not hooked\r\n");
    EXPECT_EQ(ui.optionsDialog().pages().size(), pagesBefore + 5) << "the pages come all the same";
}

TEST_F(LateHostWindow, AHostWindowMadeAfterTheStartIsHookedAtTheActiveHostThreadsTurn) {
    ui::IGnutellaHostDockWnd* host = g_Services.hostWindow;
    g_Services.hostWindow = nullptr;  // not made yet
    EXPECT_EQ(InitGui(), 0);
    HWND edit = reinterpret_cast<HWND>(SendMessageA(pages.addressCombo, CBEM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "127.0.0.1:20078");
    DestroyHosts(g_InactiveHostList);
    command(IDCMD_UIL_CONNECT_ADDRESS);
    EXPECT_TRUE(dialledPorts().empty()) << "nothing hooked while there is no window";
    EXPECT_FALSE(HookLateHostWindow());
    g_Services.hostWindow = host;  // made now
    advance(1000);
    EXPECT_TRUE(HookLateHostWindow());
    EXPECT_TRUE(HookLateHostWindow());
    command(IDCMD_UIL_CONNECT_ADDRESS);
    EXPECT_EQ(dialledPorts(), (std::set<unsigned>{20078}));
    std::lock_guard<std::recursive_mutex> hold(g_InactiveHostList.guard);
    EXPECT_EQ(g_InactiveHostList.items.size(), 1u) << "hooked once: one dial per command";
}

TEST_F(LateHostWindow, ALateWindowIsLookedForOnceASecondAndNoHookIsMadeWithoutIt) {
    ui::IGnutellaHostDockWnd* host = g_Services.hostWindow;
    g_Services.hostWindow = nullptr;  // not made yet
    EXPECT_EQ(InitGui(), 0);
    std::size_t madeBefore = vesk::testing::WndProcsMade();
    for (int turn = 0; turn < 1000; ++turn)  // about a second of the active host thread
        EXPECT_FALSE(HookLateHostWindow());
    EXPECT_EQ(vesk::testing::WndProcsMade(), madeBefore) << "no hook object without a window to hook";

    g_Services.hostWindow = host;  // made now
    ui.calls().clear();
    for (int turn = 0; turn < 1000; ++turn)
        if (HookLateHostWindow())
            break;
    EXPECT_TRUE(recorded("IGnutellaHostDockWnd::WaitCreated").empty()) << "not looked for again within the second";
    advance(999);
    EXPECT_FALSE(HookLateHostWindow());
    advance(1);
    EXPECT_TRUE(HookLateHostWindow());
    EXPECT_EQ(vesk::testing::WndProcsMade(), madeBefore + 1);
    EXPECT_EQ(recorded("IGnutellaHostDockWnd::WaitCreated").size(), 1u);
}

}  // namespace

}  // namespace vesk::gnutella::test
