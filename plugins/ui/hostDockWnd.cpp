#include "plugins/ui/hostDockWnd.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/comboEnter.h"
#include "plugins/ui/listServices.h"

namespace vesk::ui {

namespace {

constexpr int addressBoxId = 1001;

// The window a page belongs to, kept from WM_INITDIALOG on; null before.
ZUdoradurHostDockWnd* PageOwner(HWND page, UINT message, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrA(page, DWLP_USER, lParam);
        return nullptr;
    }
    return reinterpret_cast<ZUdoradurHostDockWnd*>(::GetWindowLongPtrA(page, DWLP_USER));
}

// A dialog hands a notification's answer back through its result slot.
INT_PTR DialogAnswer(HWND page, LRESULT answer) {
    ::SetWindowLongPtrA(page, DWLP_MSGRESULT, answer);
    return TRUE;
}

void SizeList(HWND page, int listId, int width, int height) {
    HWND list = ::GetDlgItem(page, listId);
    if (list)
        ::SetWindowPos(list, nullptr, 0, 0, std::max(width, 0), std::max(height, 0),
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

ZUdoradurHostDockWnd::ZUdoradurHostDockWnd() {
    registerInterfaceOf<IGnutellaHostDockWnd>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
}

HWND ZUdoradurHostDockWnd::MakePage(int dialogId, DLGPROC procedure, int listId, CAgentListView& list) {
    IUIControl* control = ListServices().control;
    HINSTANCE language = control ? control->GetResourceInstance() : nullptr;
    HWND page = language ? ::CreateDialogParamA(language, MAKEINTRESOURCEA(dialogId), tabs_.ContentParent(),
                                                procedure, reinterpret_cast<LPARAM>(this))
                         : nullptr;
    if (!page)
        return nullptr;
    HWND listWindow = ::GetDlgItem(page, listId);
    if (listWindow) {
        ::SendMessageA(listWindow, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, pageListExStyle);
        list.Attach(listWindow);
    }
    return page;
}

int ZUdoradurHostDockWnd::Create(const char* name, RECT* rect) {
    if (!tabs_.Make(name, rect, &ZUdoradurHostDockWnd::Hook, this))
        return 0;
    connectPage_ = MakePage(IDD_UIL_CONNECTIONS, &ZUdoradurHostDockWnd::ConnectPageProc, IDC_UIL_CONNECT_LIST, connectList_);
    cachePage_ = MakePage(IDD_UIL_HOST_CACHE, &ZUdoradurHostDockWnd::CachePageProc, IDC_UIL_CACHE_LIST, cacheList_);
    if (connectPage_) {
        addressBox_ = ::CreateWindowExA(0, WC_COMBOBOXEXA, "", addressBoxStyle, 0, 3, 133, 250, connectPage_,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(addressBoxId)),
                                        ::GetModuleHandleA(nullptr), nullptr);
        if (addressBox_)
            ::SendMessageA(addressBox_, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    }
    connectList_.SetColumns("HostConnectLV.", ListText(IDS_UIL_LIST_CONNECTIONS));
    cacheList_.SetColumns("HostCatchLV.", ListText(IDS_UIL_LIST_HOST_CACHE));
    connectList_.SetPrimaryColumn(ListText(IDS_UIL_ADDRESS));
    cacheList_.SetPrimaryColumn(ListText(IDS_UIL_ADDRESS));
    tabs_.AddTab(ListText(IDS_UIL_PAGE_CONNECTIONS), connectPage_, IDI_UIL_CONNECTIONS);
    tabs_.AddTab(ListText(IDS_UIL_PAGE_HOST_CACHE), cachePage_, IDI_UIL_HOST_CACHE);
    // The rows' own actions: dropping a link, connecting to a cached host.
    connectList_.AddEventAction("KD", ListText(IDS_UIL_DISCONNECT));
    connectList_.AddEventAction("KP", ListText(IDS_UIL_DISCONNECT));
    cacheList_.AddEventAction("KR", ListText(IDS_UIL_CONNECT));
    cacheList_.AddEventAction("LC", ListText(IDS_UIL_CONNECT));
    return 1;
}

INT_PTR CALLBACK ZUdoradurHostDockWnd::ConnectPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    ZUdoradurHostDockWnd* self = PageOwner(page, message, lParam);
    if (!self)
        return FALSE;
    LRESULT answer = self->connectList_.WindowProc(page, message, wParam, lParam);
    switch (message) {
    case WM_SIZE:
        SizeList(page, IDC_UIL_CONNECT_LIST, LOWORD(lParam) - 4, HIWORD(lParam) - 28);
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == self->addressBox_ && EnterPressed(header)) {
            ::SendMessageA(::GetParent(page), WM_COMMAND, IDCMD_UIL_CONNECT_ADDRESS, 0);
            return DialogAnswer(page, 0);
        }
        return answer != -1 ? DialogAnswer(page, answer) : FALSE;
    }
    case WM_COMMAND:
        ::SendMessageA(::GetParent(page), WM_COMMAND, wParam, lParam);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK ZUdoradurHostDockWnd::CachePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    ZUdoradurHostDockWnd* self = PageOwner(page, message, lParam);
    if (!self)
        return FALSE;
    LRESULT answer = self->cacheList_.WindowProc(page, message, wParam, lParam);
    switch (message) {
    case WM_SIZE:
        SizeList(page, IDC_UIL_CACHE_LIST, LOWORD(lParam) - 2, HIWORD(lParam) - 50);
        return TRUE;
    case WM_COMMAND:
        ::SendMessageA(::GetParent(page), WM_COMMAND, wParam, lParam);
        return TRUE;
    default:
        return answer != -1 ? DialogAnswer(page, answer) : FALSE;
    }
}

LRESULT ZUdoradurHostDockWnd::Hook(void* self, HWND, UINT message, WPARAM wParam, LPARAM) {
    // Never handled: the Gnutella module's own hook on the container dials
    // the address.
    if (message == WM_COMMAND && LOWORD(wParam) == IDCMD_UIL_CONNECT_ADDRESS)
        static_cast<ZUdoradurHostDockWnd*>(self)->RememberAddress();
    return -1;
}

void ZUdoradurHostDockWnd::RememberAddress() {
    if (!addressBox_)
        return;
    char text[addressLimit + 1] = "";
    ::GetWindowTextA(addressBox_, text, sizeof text);
    if (!text[0])
        return;
    std::vector<std::string> known = Addresses();
    if (std::find(known.begin(), known.end(), text) != known.end())
        return;
    COMBOBOXEXITEMA item = {};
    item.mask = CBEIF_TEXT;
    item.iItem = 0;
    item.pszText = text;
    ::SendMessageA(addressBox_, CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

std::vector<std::string> ZUdoradurHostDockWnd::Addresses() { return ComboEntries(addressBox_, 260); }

void ZUdoradurHostDockWnd::AddConnect(ss::IAgent* row) { connectList_.AddItem(row); }
bool ZUdoradurHostDockWnd::UpdateConnect(ss::IAgent* row) { return connectList_.UpdateItem(row); }
int ZUdoradurHostDockWnd::RemoveConnect(ss::IAgent* row) {
    connectList_.RemoveItem(row);
    return 1;
}

int ZUdoradurHostDockWnd::RemoveAllConnect() {
    connectList_.RunOnGuiThread([this]() -> LRESULT {
        int count = connectList_.RowCount();
        for (int i = 0; i < count; ++i) {
            ss::IAgent* agent = connectList_.AgentAt(0);
            if (!agent)
                break;
            RemoveConnect(agent);
            agent->release();
        }
        return 1;
    });
    return 1;
}

void ZUdoradurHostDockWnd::AddCatch(ss::IAgent* row) { cacheList_.AddItem(row); }
bool ZUdoradurHostDockWnd::UpdateCatch(ss::IAgent* row) { return cacheList_.UpdateItem(row); }
int ZUdoradurHostDockWnd::ClearCatch() {
    cacheList_.Clear();
    return 1;
}
int ZUdoradurHostDockWnd::RemoveCatch(ss::IAgent* row) { return cacheList_.RemoveItem(row); }

IDockContainer* ZUdoradurHostDockWnd::WaitCreated() {
    // The clock starts at the first call of the process, whoever makes it.
    static volatile LONG firstCall = 0;  // 0 until then; a tick count made odd
    ::InterlockedCompareExchange(&firstCall, static_cast<LONG>(::GetTickCount() | 1), 0);
    // Once the main window is gone its windows are not coming back.
    while (!tabs_.Bar() && !MainWindowClosed() && ::GetTickCount() - static_cast<DWORD>(firstCall) < waitLimitMs)
        ::Sleep(1);
    return tabs_.Bar() && !MainWindowClosed() ? tabs_.Container() : nullptr;
}

int ZUdoradurHostDockWnd::SaveHistory() {
    cacheList_.SaveColumns();
    connectList_.SaveColumns();
    listServices& s = ListServices();
    if (!s.settings)
        return 1;
    std::vector<std::string> entries = Addresses();
    int n = static_cast<int>(entries.size());
    int number = 0;
    for (int i = n - 1; i >= std::max(0, n - historyMax_); --i) {
        std::string key = "HostIPConHistory." + std::to_string(number++);
        s.settings->setValue(key.c_str(), value(entries[i].c_str()), s.owner);
    }
    s.settings->setValue("HostIPInput.Max", value(static_cast<long>(historyMax_)), s.owner);
    return 1;
}

}  // namespace vesk::ui
