#include "plugins/gnutella/hostWindow.h"

#include <commctrl.h>

#include <atomic>
#include <string>
#include <vector>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/addresses.h"
#include "plugins/gnutella/dialling.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/hostCache.h"
#include "plugins/gnutella/intervalGate.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/optionPages.h"
#include "plugins/gnutella/pingAnswers.h"
#include "plugins/gnutella/resources.h"
#include "plugins/gnutella/transferThread.h"

namespace vesk::gnutella {

namespace {

constexpr int addressTextSize = 30;  // 29 characters
constexpr int actionNameLimit = 260;
constexpr unsigned short defaultPort = 6346;

// The host window's controls the commands read, looked up until found (and
// again once a window is gone). GUI thread only.
struct hostWindowParts {
    HWND catchPage = nullptr;
    HWND connectList = nullptr;
    HWND catchList = nullptr;
    HWND addressEdit = nullptr;
};
hostWindowParts parts;

bool missing(HWND window) {
    return !window || !IsWindow(window);
}

void findParts() {
    ui::IGnutellaHostDockWnd* host = g_Services.hostWindow;
    if (!host)
        return;
    if (missing(parts.connectList)) {
        HWND page = host->GetConnectPage();
        parts.connectList = page ? GetDlgItem(page, IDC_UIL_CONNECT_LIST) : nullptr;
    }
    if (missing(parts.catchList)) {
        HWND page = host->GetCatchPage();
        parts.catchPage = page;
        parts.catchList = page ? GetDlgItem(page, IDC_UIL_CACHE_LIST) : nullptr;
        if (parts.catchList)
            CheckDlgButton(page, IDC_UIL_CACHE_REPLACE, g_Settings.m_ReplaceHostCache.load() ? BST_CHECKED : BST_UNCHECKED);
    }
    if (missing(parts.addressEdit)) {
        HWND combo = host->GetAddressCombo();
        parts.addressEdit = combo ? reinterpret_cast<HWND>(SendMessageA(combo, CBEM_GETEDITCONTROL, 0, 0)) : nullptr;
    }
}

// The agents of the selected rows, each with a reference for the caller,
// taken before anything acts on them: acting removes rows, and an index
// walk would then skip some.
std::vector<ss::IAgent*> selectedAgents(HWND list) {
    std::vector<ss::IAgent*> agents;
    if (missing(list))
        return agents;
    int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        if (!(SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_SELECTED) & LVIS_SELECTED))
            continue;
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = i;
        if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) || !item.lParam)
            continue;  // a row that cannot be read is skipped
        auto* agent = reinterpret_cast<ss::IAgent*>(item.lParam);
        agent->addRef();
        agents.push_back(agent);
    }
    return agents;
}

void connectSelectedCachedHosts() {
    for (ss::IAgent* agent : selectedAgents(parts.catchList)) {
        connect_to_catch_host(agent);
        agent->release();
    }
}

void dropSelectedLinks() {
    std::string drop = LanguageText(IDS_GNU_LINK_CLOSED, actionNameLimit);
    for (ss::IAgent* agent : selectedAgents(parts.connectList)) {
        agent->FireAction(drop.c_str());
        agent->release();
    }
}

void connectTypedAddress() {
    char text[addressTextSize] = {};
    if (missing(parts.addressEdit) || GetWindowTextA(parts.addressEdit, text, addressTextSize) <= 0)
        return;
    char host[addressTextSize] = {};
    unsigned short port = 0;
    SplitHostPort(text, host, sizeof host, &port);
    ConnectToHost(host, port ? port : defaultPort);
}

}  // namespace

LRESULT host_window_hook(HWND, UINT message, WPARAM wParam, LPARAM) {
    findParts();
    if (message != WM_COMMAND)
        return -1;
    switch (wParam) {
    case IDC_UIL_CACHE_REPLACE:
        if (!missing(parts.catchPage))
            g_Settings.m_ReplaceHostCache =
                IsDlgButtonChecked(parts.catchPage, IDC_UIL_CACHE_REPLACE) == BST_CHECKED;
        break;
    case IDC_UIL_PING_ALL:
        PingAllHosts();
        RequestHostCacheTrim();
        break;
    case IDC_UIL_TRIM_CACHE:
        RequestHostCacheTrim();
        break;
    case IDC_UIL_CONNECT_SELECTED:
        connectSelectedCachedHosts();
        break;
    case IDCMD_GNU_CLEAR_QUEUE:
        RequestClearQueue();
        break;
    case IDCMD_UIL_CONNECT_ADDRESS:
        DumpQueues();
        connectTypedAddress();
        break;
    case IDC_UIL_DISCONNECT_SELECTED:
        dropSelectedLinks();
        break;
    }
    return -1;
}

namespace {

// 0: not tried yet; 1: hooked; 2: the window was not there in time, the
// active host thread tries again.
std::atomic<int> hookState{0};

// The active host thread turns about a thousand times a second: a window
// that is late is looked for once a second.
constexpr unsigned long lateWindowLookGapMs = 1000;
intervalGate lateWindowLook(lateWindowLookGapMs);

// The hook object is made only once there is a window to hook.
bool hookHostWindow() {
    ui::IDockContainer* container = g_Services.hostWindow ? g_Services.hostWindow->WaitCreated() : nullptr;
    ui::IWndEvents* events = interfaceCast<ui::IWndEvents>(container);
    if (!events)
        return false;
    ui::IWndProc* hook = createAs<ui::IWndProc>(moduleFactory(), g_State.token, "vesk::ui::VWndProc",
                                                addressValue(&host_window_hook), static_cast<pointerInt>(0));
    ref<ui::IWndProc> held(hook);  // the container takes its own reference
    return hook && events->AddMessageHook(hook);
}

}  // namespace

int InitGui() {
    parts = hostWindowParts();
    lateWindowLook.Reset();
    bool hooked = hookHostWindow();
    if (!hooked)
        LogLine("GNUTELLA INIT: <Error> no host window: its commands are not hooked\r\n");
    hookState = hooked ? 1 : 2;
    init_options();  // the pages need no host window
    return 0;
}

bool HookLateHostWindow() {
    if (hookState != 2)
        return hookState == 1;
    // The window's wait is over by now: this asks once and does not block.
    if (!lateWindowLook.Pass() || !hookHostWindow())
        return false;
    hookState = 1;
    LogLine("GNUTELLA: the host window came late: its commands are hooked now\r\n");
    return true;
}

}  // namespace vesk::gnutella
