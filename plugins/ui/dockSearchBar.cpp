#include "plugins/ui/dockSearchBar.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/comboEnter.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/searchHistoryDockWnd.h"
#include "plugins/ui/tabBarHost.h"
#include "vesk/data.h"

namespace vesk::ui {

namespace {

constexpr int buttonTextLimit = 20;
constexpr int queryBoxId = 1002;
constexpr const char* clearingAttribute = "SEARCH_CLEARING";
constexpr const char* searchAttribute = "ISearchInst";

ISearchResultWnd* heldEmptyWindow = nullptr;  // one reference (GUI thread)

ss::ISearchInst* SearchOf(ss::IAgent* agent) {
    return agent ? interfaceCast<ss::ISearchInst>(agent->GetAttribute(searchAttribute).asGeneric()) : nullptr;
}

HWND ChildWindowOf(ISearchResultWnd* window) {
    IWnd* child = window ? interfaceCast<IWnd>(window->GetChildWnd()) : nullptr;
    return child ? child->GetHandle() : nullptr;
}

void ShowResultWindow(ISearchResultWnd* window) {
    if (ss::ISSManager* manager = ListServices().manager)
        manager->SetCurrentResultWindow(window);
    window->Activate();
    if (IFrameChildWnd* child = window->GetChildWnd()) {
        child->Maximize();
        child->Activate();
    }
}

}  // namespace

VDockSearchBar::VDockSearchBar() {
    registerInterfaceOf<IDockSearchBar>(this);
    registerInterfaceOf<Igeneric>(this);
}

VDockSearchBar::~VDockSearchBar() {
    if (hook_) {
        IDockWnd* dock = interfaceCast<IDockWnd>(toolBar_);
        if (IWndEvents* events = interfaceCast<IWndEvents>(dock ? dock->GetContainer() : nullptr))
            events->RemoveMessageHook(hook_);
        hook_->release();
    }
    if (toolBar_)
        toolBar_->release();
}

int VDockSearchBar::Create(const char* name, RECT* rect) {
    listServices& s = ListServices();
    IUIControl* control = s.control;
    toolBar_ = control ? control->CreateDockToolBarWindow(name, rect) : nullptr;
    if (!toolBar_)
        return -1;
    toolBar_->addRef();
    HWND buttons = toolBar_->GetToolBarHandle();
    ::SetWindowLongPtrA(buttons, GWL_STYLE, toolBarStyle);
    ::SendMessageA(buttons, TB_SETEXTENDEDSTYLE, 0, toolBarExStyle);
    IDockWnd* dock = interfaceCast<IDockWnd>(toolBar_);
    if (dock) {
        dock->SetDockFullRow(1);
        dock->SetDockVertical(0);
        dock->SetClosable(0);
    }
    toolBar_->SetSizeableHorizontal(1);

    HINSTANCE defaults = control->GetDefaultResourceInstance();
    toolBar_->LoadToolBar(defaults, MAKEINTRESOURCEA(IDT_UIL_SEARCH_BAR), MAKEINTRESOURCEA(IDB_UIL_SEARCH_BAR));
    std::string caption = LanguageText(IDS_UIL_SEARCH, buttonTextLimit + 1);
    toolBar_->SetButtonText(0, caption.c_str());

    IDockContainer* container = dock ? dock->GetContainer() : nullptr;
    IWnd* containerWnd = interfaceCast<IWnd>(container);
    hook_ = NewMessageHook(&VDockSearchBar::Hook, this);
    if (IWndEvents* events = interfaceCast<IWndEvents>(container))
        if (hook_)
            events->AddMessageHook(hook_);
    if (container)
        container->SetAutoSizeChild(0);

    HWND parent = containerWnd ? containerWnd->GetHandle() : nullptr;
    queryBox_ = ::CreateWindowExA(0, WC_COMBOBOXEXA, "", queryBoxStyle, 0, 3, 199, 100, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(queryBoxId)), ::GetModuleHandleA(nullptr),
                                  nullptr);
    if (queryBox_) {
        ::SendMessageA(queryBox_, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        if (s.addTabStop)
            s.addTabStop(queryBox_);
        ::SendMessageA(queryBox_, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(control->GetSmallImageList()));
        ::ShowWindow(queryBox_, SW_SHOW);
    }

    ShowEmptyResultWindow({0, 0, 1000, 1000});

    if (queryBox_) {
        COMBOBOXEXITEMA edit = {};
        edit.mask = CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
        edit.iItem = -1;
        edit.iImage = edit.iSelectedImage = control->AddIcon(defaults, IDI_UIL_QUERY);
        ::SendMessageA(queryBox_, CBEM_SETITEMA, 0, reinterpret_cast<LPARAM>(&edit));
    }
    ::SetWindowLongPtrA(buttons, GWL_STYLE, ::GetWindowLongPtrA(buttons, GWL_STYLE) | CCS_NORESIZE);
    if (parent) {
        RECT client;
        ::GetClientRect(parent, &client);
        LayOut(client.right);
    }
    return 1;
}

void VDockSearchBar::HoldEmptyResultWindow(ISearchResultWnd* window) {
    if (window)
        window->addRef();
    ISearchResultWnd* previous = heldEmptyWindow;
    heldEmptyWindow = window;
    if (previous)
        previous->release();
}

ISearchResultWnd* VDockSearchBar::ShowEmptyResultWindow(const RECT& rect) {
    IUIControl* control = ListServices().control;
    RECT place = rect;
    ISearchResultWnd* window = control ? control->CreateSearchResultWnd("", &place) : nullptr;
    if (!window)
        return nullptr;
    window->addRef();
    ShowResultWindow(window);
    // Shown first, then the one before goes: the manager never points at a
    // window released here.
    HoldEmptyResultWindow(window);
    window->release();
    return window;
}

std::string VDockSearchBar::EditText() {
    char text[queryLimit + 1] = "";
    if (queryBox_)
        ::GetWindowTextA(queryBox_, text, sizeof text);
    return text;
}

std::vector<std::string> VDockSearchBar::Queries() { return ComboEntries(queryBox_, queryLimit + 1); }

int VDockSearchBar::Search(const char* query) {
    listServices& s = ListServices();
    if (!query || !*query || !s.manager)
        return 0;
    std::string text(query, ::strnlen(query, queryLimit));
    if (s.manager->GetAutoConnectOnSearch() && s.connectToolbar)
        s.connectToolbar->Connect();
    ss::ISearchInst* search = s.manager->CreateSearch(text.c_str());
    if (!search)
        return 0;
    search->addRef();
    pendingSearch_ = search;
    lastQuery_ = text;
    ISearchResultWnd* window = search->GetWindow();
    if (queryBox_) {
        IUIControl* control = s.control;
        COMBOBOXEXITEMA item = {};
        item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_LPARAM;
        item.iItem = 0;
        item.pszText = const_cast<char*>(text.c_str());
        item.iImage = item.iSelectedImage =
            control ? control->AddIcon(control->GetDefaultResourceInstance(), IDI_UIL_QUERY) : -1;
        item.lParam = reinterpret_cast<LPARAM>(ChildWindowOf(window));
        ::SendMessageA(queryBox_, CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        ::SendMessageA(queryBox_, CB_SETCURSEL, 0, 0);
    }
    search->SetQuery(text.c_str());
    if (ss::IAgent* agent = search->GetAgent()) {
        agent->AddAction(ListText(IDS_UIL_STOP_SEARCH), &VDockSearchBar::StopAction);
        agent->AddAction(ListText(IDS_UIL_CLEAR_SEARCH), &VDockSearchBar::ClearAction);
        agent->AddAction(ListText(IDS_UIL_CLEAR_ALL), &VDockSearchBar::ClearAllAction);
    }
    s.manager->StartSearch(search);
    if (window)
        ShowResultWindow(window);
    pendingSearch_ = nullptr;
    search->release();
    return 1;
}

int VDockSearchBar::StopAction(ss::IAgent* agent) {
    ss::ISearchInst* search = SearchOf(agent);
    if (!search)
        return 0;
    if (ss::ISSManager* manager = ListServices().manager)
        manager->StopSearch(search);
    agent->RemoveAction(ListText(IDS_UIL_STOP_SEARCH));
    return 1;
}

int VDockSearchBar::ClearAction(ss::IAgent* agent) {
    if (!agent)
        return 0;
    agent->SetAttribute(clearingAttribute, value(1UL));
    ::Sleep(1);
    if (ss::ISearchInst* search = SearchOf(agent)) {
        search->addRef();  // held through the stop and the new window
        if (ss::ISSManager* manager = ListServices().manager)
            manager->StopSearch(search);
        agent->RemoveAction(ListText(IDS_UIL_STOP_SEARCH));
        ShowEmptyResultWindow({0, 0, 100, 100});
        search->release();
    }
    agent->RemoveAttribute(searchAttribute);
    if (VSearchHistoryDockWnd* history = ListServices().historyWnd)
        history->RemoveSearch(agent);
    return 1;
}

int VDockSearchBar::ClearAllAction(ss::IAgent*) {
    VSearchHistoryDockWnd* history = ListServices().historyWnd;
    if (!history)
        return 0;
    CAgentListView& rows = history->History();
    int count = rows.RowCount();
    for (int i = 0; i < count; ++i) {
        ss::IAgent* first = rows.AgentAt(0);
        if (!first)
            break;
        ClearAction(first);
        first->release();
    }
    return 1;
}

LRESULT VDockSearchBar::Hook(void* self, HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    static_cast<VDockSearchBar*>(self)->OnMessage(message, wParam, lParam);
    return -1;
}

void VDockSearchBar::LayOut(int width) {
    HWND buttons = toolBar_ ? toolBar_->GetToolBarHandle() : nullptr;
    if (!buttons || !queryBox_)
        return;
    RECT button = {};
    ::SendMessageA(buttons, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&button));
    int buttonWidth = button.right - button.left;
    int boxWidth = std::max(width - buttonWidth, 0);
    ::SetWindowPos(queryBox_, nullptr, 0, 3, boxWidth, 100, SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(buttons, nullptr, boxWidth, 0, buttonWidth, button.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT VDockSearchBar::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        LayOut(LOWORD(lParam));
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCMD_UIL_SEARCH) {
            Search(EditText().c_str());
            if (queryBox_)
                ::SetFocus(reinterpret_cast<HWND>(::SendMessageA(queryBox_, CBEM_GETEDITCONTROL, 0, 0)));
        } else if (HIWORD(wParam) == CBN_SELCHANGE && reinterpret_cast<HWND>(lParam) == queryBox_) {
            int selected = static_cast<int>(::SendMessageA(queryBox_, CB_GETCURSEL, 0, 0));
            auto child = reinterpret_cast<HWND>(::SendMessageA(queryBox_, CB_GETITEMDATA, selected, 0));
            if (selected >= 0 && ::IsWindow(child))
                ::SendMessageA(::GetParent(child), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0);
        }
        break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (!header)
            break;
        std::string entered;
        if (header->hwndFrom == queryBox_ && EnterPressed(header, &entered)) {
            HWND edit = reinterpret_cast<HWND>(::SendMessageA(queryBox_, CBEM_GETEDITCONTROL, 0, 0));
            ::SendMessageA(edit, EM_SETSEL, 0, -1);
            Search(entered.c_str());
        } else if (header->code == TTN_GETDISPINFOA && header->idFrom == IDCMD_UIL_SEARCH) {
            auto* tip = reinterpret_cast<NMTTDISPINFOA*>(header);
            std::string text = LanguageText(IDS_UIL_SEARCH, sizeof tip->szText);
            std::strcpy(tip->szText, text.c_str());
            tip->lpszText = tip->szText;
        }
        break;
    }
    default:
        break;
    }
    return -1;
}

}  // namespace vesk::ui
