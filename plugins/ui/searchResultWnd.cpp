#include "plugins/ui/searchResultWnd.h"

#include <commctrl.h>

#include "extern/rsrc/rsrcIds.h"
#include "vesk/containers.h"
#include "plugins/ui/agentListView.h"
#include "plugins/ui/cellText.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/tabBarHost.h"

namespace vesk::ui {

namespace {

constexpr int filterButton = 40040;
constexpr int filterTextLimit = 260;

// What every result window of the process shares.
struct sharedParts {
    IFrameChildWnd* child = nullptr;  // one reference
    CAgentListView* list = nullptr;   // lives for the process
    VSearchResultWnd* active = nullptr;
};

sharedParts& Shared() {
    static sharedParts parts;
    return parts;
}

ss::IAgent* AgentOf(const value& v) { return interfaceCast<ss::IAgent>(v.asGeneric()); }

// The active window's result at a row, referenced.
ss::IAgent* ActiveRow(int row) {
    VSearchResultWnd* active = Shared().active;
    if (!active || row < 0)
        return nullptr;
    std::vector<ss::IAgent*> rows = active->Rows();
    ss::IAgent* agent = nullptr;
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        if (i == row)
            agent = rows[i];
        else
            rows[i]->release();
    }
    return agent;
}

void RegisterResultEvents(CAgentListView& list) {
    const std::pair<const char*, unsigned> events[] = {
        {"DC", IDS_UIL_START}, {"DC", IDS_UIL_FILE_PATH}, {"KP", IDS_UIL_STOP},      {"KD", IDS_UIL_STOP},
        {"KD", IDS_UIL_REMOVE}, {"LC", IDS_UIL_FILE_PATH}, {"LC", IDS_UIL_START},    {"KR", IDS_UIL_FILE_PATH},
        {"KR", IDS_UIL_START},
    };
    for (const auto& [code, action] : events)
        list.AddEventAction(code, ListText(action));
}

// The shared list in the child window, made once and again after the
// child window was closed.
CAgentListView* MakeSharedList(HWND childWindow) {
    sharedParts& shared = Shared();
    if (shared.list && ::IsWindow(shared.list->GetHandle()))
        return shared.list;
    if (!shared.list) {
        shared.list = new CAgentListView();
        shared.list->SetRowSource(&ActiveRow);
        shared.list->SetPrimaryColumn(ListText(IDS_UIL_FILE_NAME));
        shared.list->SetColumnMenuBase(VSearchResultWnd::columnMenuBase);
        shared.list->SetDrawsProgress(false);
        shared.list->SetWindowBackground(true);
        RegisterResultEvents(*shared.list);
    }
    HWND list = shared.list->Create(childWindow, VSearchResultWnd::listStyle, 0);
    if (!list)
        return nullptr;
    ::SetWindowLongPtrA(list, GWL_STYLE, ::GetWindowLongPtrA(list, GWL_STYLE) & ~static_cast<LONG_PTR>(LVS_AUTOARRANGE));
    shared.list->SetColumns("ResultLV.", ListText(IDS_UIL_LIST_RESULTS));
    RECT client;
    if (::GetClientRect(childWindow, &client))
        ::MoveWindow(list, 0, 0, client.right, client.bottom, TRUE);
    return shared.list;
}

// The list's view bits for the view menu's commands; -1 for another command.
LONG_PTR ViewOfCommand(int command) {
    switch (command) {
    case IDCMD_UIL_VIEW_ICONS:
        return LVS_ICON;
    case IDCMD_UIL_VIEW_SMALL_ICONS:
        return LVS_SMALLICON;
    case IDCMD_UIL_VIEW_LIST:
        return LVS_LIST;
    case IDCMD_UIL_VIEW_DETAILS:
        return LVS_REPORT;
    default:
        return -1;
    }
}

std::string NarrowText(const wchar_t* text) {
    if (!text)
        return std::string();
    char narrow[filterTextLimit] = "";
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
    narrow[sizeof narrow - 1] = '\0';
    return narrow;
}

void PressFilterButton(bool pressed) {
    if (HWND toolBar = ListServices().searchToolBar)
        ::SendMessageA(toolBar, TB_CHECKBUTTON, filterButton, MAKELPARAM(pressed ? TRUE : FALSE, 0));
}

}  // namespace

VSearchResultWnd::VSearchResultWnd() {
    registerInterfaceOf<ISearchResultWnd>(this);
    registerInterfaceOf<Igeneric>(this);
}

VSearchResultWnd::~VSearchResultWnd() {
    sharedParts& shared = Shared();
    if (shared.active == this)
        shared.active = nullptr;
    if (hook_) {
        if (IWndEvents* events = interfaceCast<IWndEvents>(child_))
            events->RemoveMessageHook(hook_);
        hook_->release();
    }
    if (child_)
        child_->release();
    ReleaseSearch();
    for (ss::IAgent* agent : filteredOut_)
        agent->release();
}

CAgentListView* VSearchResultWnd::SharedList() { return Shared().list; }

int VSearchResultWnd::Create(const char* name, RECT* rect) {
    listServices& s = ListServices();
    sharedParts& shared = Shared();
    if (!s.control || !s.frame || child_)
        return 0;
    if (shared.child && !::IsWindow(HandleOf(shared.child))) {
        shared.child->release();
        shared.child = nullptr;
    }
    if (!shared.child) {
        shared.child = s.control->CreateChildWnd(name, rect);
        if (!shared.child)
            return 0;
        shared.child->addRef();
    }
    child_ = shared.child;
    child_->addRef();
    hook_ = NewMessageHook(&VSearchResultWnd::Hook, this);
    if (IWndEvents* events = interfaceCast<IWndEvents>(child_); events && hook_)
        events->AddMessageHook(hook_);
    HWND childWindow = HandleOf(child_);
    CAgentListView* list = MakeSharedList(childWindow);
    if (!list)
        return 0;
    child_->Activate();
    if (filterShown_)
        ShowFilter();
    Activate();
    list->ApplySkinColours();
    return 1;
}

HWND VSearchResultWnd::GetListWnd() { return Shared().list ? Shared().list->GetHandle() : nullptr; }

IFrameChildWnd* VSearchResultWnd::GetChildWnd() { return child_; }

int VSearchResultWnd::ShowFilter() {
    HWND list = GetListWnd();
    HWND header = list ? reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0)) : nullptr;
    if (header) {
        ::SetWindowLongPtrA(header, GWL_STYLE, ::GetWindowLongPtrA(header, GWL_STYLE) | HDS_FILTERBAR);
        ::SetWindowPos(list, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    }
    PressFilterButton(true);
    filterShown_ = true;
    return 1;
}

int VSearchResultWnd::HideFilter() {
    if (!filterShown_)
        return 0;
    HWND list = GetListWnd();
    HWND header = list ? reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0)) : nullptr;
    if (header) {
        ::SetWindowLongPtrA(header, GWL_STYLE, ::GetWindowLongPtrA(header, GWL_STYLE) & ~static_cast<LONG_PTR>(HDS_FILTERBAR));
        ::SetWindowPos(list, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
        ::InvalidateRect(list, nullptr, TRUE);
    }
    PressFilterButton(false);
    filterShown_ = false;
    return 1;
}

int VSearchResultWnd::RefreshList(int) {
    CAgentListView* list = Shared().list;
    if (!list || !list->GetHandle()) {
        ApplyFilter();
        return 1;
    }
    list->RunOnGuiThread([this]() -> LRESULT {
        ApplyFilter();
        SetRowCount();
        return 1;
    });
    return 1;
}

void VSearchResultWnd::Remove(ss::IAgent* row) {
    if (CAgentListView* list = Shared().list)
        list->RemoveItem(row);
}

void VSearchResultWnd::Attach(ss::IAgent* search) {
    ReleaseSearch();
    if (!search)
        return;
    search->addRef();
    searchAgent_ = search;
    auto* instance = interfaceCast<ss::ISearchInst>(search->GetAttribute("ISearchInst").asGeneric());
    if (Ivector* results = instance ? instance->GetResults() : nullptr) {
        results->addRef();
        results_ = results;
    }
}

void VSearchResultWnd::SaveColumns() {
    if (CAgentListView* list = Shared().list)
        list->SaveColumns();
}

void VSearchResultWnd::Close() {
    if (HWND window = HandleOf(child_))
        ::DestroyWindow(window);
}

void VSearchResultWnd::Activate() {
    sharedParts& shared = Shared();
    if (shared.active && shared.active != this)
        shared.active->active_ = false;
    active_ = true;
    shared.active = this;
    ApplyFilter();
    SetRowCount();
    if (HWND list = GetListWnd())
        ::InvalidateRect(list, nullptr, TRUE);
}

void VSearchResultWnd::ClearFilter() {
    filters_.clear();
    if (HWND list = GetListWnd(); list && active_) {
        HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
        ::SendMessageA(header, HDM_CLEARFILTER, static_cast<WPARAM>(-1), 0);
    }
    ApplyFilter();
    SetRowCount();
    if (HWND list = GetListWnd(); list && active_)
        ::InvalidateRect(list, nullptr, TRUE);
}

bool VSearchResultWnd::SetView(int command) {
    LONG_PTR view = ViewOfCommand(command);
    HWND list = Shared().list ? Shared().list->GetHandle() : nullptr;
    if (view == -1 || !list)
        return false;
    LONG_PTR style = ::GetWindowLongPtrA(list, GWL_STYLE);
    ::SetWindowLongPtrA(list, GWL_STYLE, (style & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | view);
    return true;
}

void VSearchResultWnd::TrackRowMenu(LPARAM point) {
    CAgentListView* list = Shared().list;
    POINT at = {};
    if (!list || !list->ActionMenuPoint(point, at))
        return;
    IUIControl* control = ListServices().control;
    HMENU views = control ? ::LoadMenuA(control->GetResourceInstance(), MAKEINTRESOURCEA(IDM_UIL_RESULT_VIEW))
                          : nullptr;
    // Without the views' menu the rows' actions are still offered.
    list->TrackActionMenu(at, views ? ::GetSubMenu(views, 0) : nullptr, ListText(IDS_UIL_VIEW),
                          [](int command) { SetView(command); });
    if (views)
        ::DestroyMenu(views);
}

std::vector<ss::IAgent*> VSearchResultWnd::Rows() {
    std::vector<ss::IAgent*> rows;
    if (!results_)
        return rows;
    unsigned count = results_->size();
    for (unsigned i = 0; i < count; ++i) {
        if (ss::IAgent* agent = AgentOf(results_->at(i))) {
            agent->addRef();
            rows.push_back(agent);
        }
    }
    return rows;
}

void VSearchResultWnd::SortByColumn(int column) {
    CAgentListView* list = Shared().list;
    std::string field = list ? list->ColumnField(column) : std::string();
    if (!results_ || field.empty())
        return;
    // Ascending first, then each click turns the order round.
    auto known = descending_.find(column);
    bool descending = known != descending_.end() && !known->second;
    descending_[column] = descending;
    std::vector<ss::IAgent*> rows = Rows();
    std::vector<ss::IAgent*> sorted = SortedByField(rows, field, descending);
    results_->clear();
    for (ss::IAgent* agent : sorted)
        results_->pushBack(value(static_cast<Igeneric*>(agent)));
    for (ss::IAgent* agent : rows)
        agent->release();
    if (active_ && list && list->GetHandle())
        ::InvalidateRect(list->GetHandle(), nullptr, TRUE);
}

void VSearchResultWnd::ApplyFilter() {
    if (!results_)
        return;
    if (AnyFilter(filters_)) {
        for (unsigned i = results_->size(); i-- > 0;) {
            ss::IAgent* agent = AgentOf(results_->at(i));
            if (!agent || PassesFilters(agent, filters_))
                continue;
            agent->addRef();
            filteredOut_.push_back(agent);
            results_->erase(i, 1);
        }
        return;
    }
    if (filteredOut_.empty())
        return;
    if (HWND list = GetListWnd(); list && active_) {
        HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
        ::SendMessageA(header, HDM_CLEARFILTER, static_cast<WPARAM>(-1), 0);
    }
    for (ss::IAgent* agent : filteredOut_) {
        results_->pushBack(value(static_cast<Igeneric*>(agent)));
        agent->release();
    }
    filteredOut_.clear();
}

void VSearchResultWnd::ReadHeaderFilters() {
    CAgentListView* list = Shared().list;
    HWND header = list ? list->GetHeader() : nullptr;
    if (!header)
        return;
    filters_.clear();
    int count = static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[filterTextLimit] = "";
        HD_TEXTFILTERA filter = {text, filterTextLimit - 1};
        HDITEMA item = {};
        item.mask = HDI_FILTER;
        item.type = HDFT_ISSTRING;
        item.pvFilter = &filter;
        if (::SendMessageA(header, HDM_GETITEMA, i, reinterpret_cast<LPARAM>(&item)) && text[0])
            filters_[list->ColumnField(i)] = text;
    }
}

void VSearchResultWnd::SetRowCount() {
    HWND list = GetListWnd();
    if (!list || !active_ || !OnWindowThread(list))
        return;
    ::SendMessageA(list, LVM_SETITEMCOUNT, results_ ? results_->size() : 0, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

std::string VSearchResultWnd::RowTip(ss::IAgent* agent) {
    std::string tip = AttributeText(agent, ListText(IDS_UIL_FILE_NAME));
    long size = AttributeNumber(agent, ListText(IDS_UIL_FILE_SIZE), -1);
    if (size != -1)
        tip += " (" + std::to_string(size) + ")";
    std::string status = AttributeText(agent, ListText(IDS_UIL_STATUS));
    if (!status.empty())
        tip += "\r\n" + status;
    long progress = AttributeNumber(agent, ListText(IDS_UIL_PROGRESS), -1);
    if (progress != -1 && progress != 0)
        tip += "\r\n" + std::to_string(progress) + "%,";
    std::string left = AttributeText(agent, ListText(IDS_UIL_TIME_LEFT));
    if (!left.empty())
        tip += " " + left + " ";
    return tip;
}

LRESULT VSearchResultWnd::FindTypedRow(UINT flags, int start, const std::string& typed) {
    if (!(flags & (LVFI_STRING | LVFI_PARTIAL)))
        return -1;
    std::vector<std::string> names;
    for (ss::IAgent* agent : Rows()) {
        names.push_back(AttributeText(agent, ListText(IDS_UIL_FILE_NAME)));
        agent->release();
    }
    return FindTyped(names, start, typed);
}

void VSearchResultWnd::ReleaseSearch() {
    if (searchAgent_)
        searchAgent_->release();
    if (results_)
        results_->release();
    searchAgent_ = nullptr;
    results_ = nullptr;
}

LRESULT VSearchResultWnd::Hook(void* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return static_cast<VSearchResultWnd*>(self)->OnMessage(window, message, wParam, lParam);
}

LRESULT VSearchResultWnd::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CAgentListView* list = Shared().list;
    if (!active_ || !list || !list->GetHandle())
        return -1;
    if (message == WM_SIZE) {
        ::MoveWindow(list->GetHandle(), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return -1;
    }
    if (message == WM_MDIACTIVATE) {
        PressFilterButton(filterShown_);
        return -1;
    }
    if (message == WM_COMMAND && SetView(LOWORD(wParam)))
        return 0;
    if (message == WM_CONTEXTMENU && reinterpret_cast<HWND>(wParam) == list->GetHandle()) {
        TrackRowMenu(lParam);
        return 0;
    }
    if (message == WM_NOTIFY && lParam) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == list->GetHandle() && header->code == static_cast<UINT>(LVN_GETINFOTIPA)) {
            auto* tip = reinterpret_cast<NMLVGETINFOTIPA*>(lParam);
            ss::IAgent* agent = list->AgentAt(tip->iItem);
            CopyCut(RowTip(agent), tip->pszText, tip->cchTextMax > 0 ? static_cast<std::size_t>(tip->cchTextMax) : 0);
            if (agent)
                agent->release();
            return 0;
        }
        if (header->hwndFrom == list->GetHandle() && header->code == static_cast<UINT>(LVN_ODFINDITEMA)) {
            const auto* find = reinterpret_cast<const NMLVFINDITEMA*>(lParam);
            return FindTypedRow(find->lvfi.flags, find->iStart, find->lvfi.psz ? find->lvfi.psz : "");
        }
        if (header->hwndFrom == list->GetHandle() && header->code == static_cast<UINT>(LVN_ODFINDITEMW)) {
            // The list asks in the wide form when its parent settled on it.
            const auto* find = reinterpret_cast<const NMLVFINDITEMW*>(lParam);
            return FindTypedRow(find->lvfi.flags, find->iStart, NarrowText(find->lvfi.psz));
        }
        if (header->hwndFrom == list->GetHandle() && header->code == static_cast<UINT>(LVN_COLUMNCLICK)) {
            SortByColumn(reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem);
            return 0;
        }
        if (header->hwndFrom == list->GetHandle() && header->code == static_cast<UINT>(LVN_BEGINDRAG)) {
            list->FireOnSelection(ListText(IDS_UIL_FILE_PATH));
            return 0;
        }
        if (header->hwndFrom == list->GetHeader() &&
            (header->code == static_cast<UINT>(HDN_FILTERCHANGE) || header->code == static_cast<UINT>(HDN_FILTERBTNCLICK))) {
            if (!results_)
                return -1;
            ReadHeaderFilters();
            ApplyFilter();
            SetRowCount();
            return 0;
        }
    }
    return list->WindowProc(window, message, wParam, lParam);
}

}  // namespace vesk::ui
