// The list view's window, its rows and the hand-over of row changes to the
// GUI thread.
#include "plugins/ui/agentListView.h"

#include <cstring>

#include "core/module.h"
#include "core/string.h"
#include "plugins/ui/listServices.h"
#include "vesk/data.h"

namespace vesk::ui {

namespace {

constexpr UINT_PTR listSubclassId = 0x7665736B;  // one subclass per list, whoever owns it

UINT WorkMessage() {
    static const UINT message = ::RegisterWindowMessageA("vesk::ui::CAgentListView work");
    return message;
}

UINT ShellDragImageMessage() {
    static const UINT message = ::RegisterWindowMessageA("ShellGetDragImage");
    return message;
}

}  // namespace

CAgentListView::CAgentListView() {
    listServices& s = ListServices();
    lock_ = createAs<Ilock>(s.factory, s.owner, "vesk::spinLock");
    if (lock_)
        lock_->addRef();
}

CAgentListView::~CAgentListView() {
    HWND list = listWnd_;
    if (list && ::IsWindow(list))
        RunOnGuiThread([list]() -> LRESULT {
            return ::RemoveWindowSubclass(list, &CAgentListView::ListSubclass, listSubclassId);
        });
    if (prefix_)
        prefix_->release();
    if (listType_)
        listType_->release();
    if (lock_)
        lock_->release();
    if (dragImage_)
        ::ImageList_Destroy(dragImage_);
}

HWND CAgentListView::Create(HWND parent, DWORD style, DWORD exStyle) {
    if (listWnd_ && !parent)
        return nullptr;
    if (style == 0)
        style = defaultStyle;
    style &= ~(WS_HSCROLL | WS_VSCROLL);
    RECT area = {0, 0, 0, 0};
    if (parent)
        ::GetClientRect(parent, &area);
    HWND list = ::CreateWindowExA(WS_EX_ACCEPTFILES, WC_LISTVIEWA, "", style, 0, 0, area.right, area.bottom,
                                  parent, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    if (!list || !Adopt(list))
        return nullptr;
    ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, exStyle ? exStyle : defaultExStyle);
    ApplySkinColours();
    listServices& s = ListServices();
    if (s.addTabStop)
        s.addTabStop(list);
    if (useImageLists && s.control) {
        ::SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(s.control->GetSmallImageList()));
        ::SendMessageA(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(s.control->GetLargeImageList()));
    }
    if (HWND tips = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETTOOLTIPS, 0, 0)))
        ::SetWindowLongPtrA(tips, GWL_STYLE, ::GetWindowLongPtrA(tips, GWL_STYLE) | TTS_ALWAYSTIP);
    ::SendMessageA(list, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
    return list;
}

int CAgentListView::Attach(HWND list) {
    if (!::IsWindow(list))
        return 0;
    return Adopt(list) ? 1 : 0;
}

bool CAgentListView::Adopt(HWND list) {
    if (!::SetWindowSubclass(list, &CAgentListView::ListSubclass, listSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    listWnd_ = list;
    headerWnd_ = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
    clearing_ = false;
    return true;
}

void CAgentListView::ApplySkinColours() {
    if (!listWnd_)
        return;
    const struct {
        unsigned id;
        UINT message;
    } colours[] = {{24, LVM_SETBKCOLOR}, {26, LVM_SETTEXTBKCOLOR}, {27, LVM_SETTEXTCOLOR}};
    for (const auto& c : colours)
        if (unsigned colour = SkinValue(c.id))
            ::SendMessageA(listWnd_, c.message, 0, static_cast<LPARAM>(colour));
    ::InvalidateRect(listWnd_, nullptr, TRUE);
}

void CAgentListView::SetPrimaryColumn(const char* field) { primaryColumn_ = field ? std::string(field, ::strnlen(field, 259)) : ""; }

// ---- the GUI thread

LRESULT CAgentListView::RunOnGuiThread(const std::function<LRESULT()>& work) {
    HWND list = listWnd_;
    if (!list)
        return 0;
    if (OnWindowThread(list))
        return work();
    // A list gone meanwhile answers nothing: the send fails and gives 0.
    return SendToGuiThread(list, WorkMessage(), reinterpret_cast<LPARAM>(&work));
}

LRESULT CALLBACK CAgentListView::ListSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR self) {
    auto* view = reinterpret_cast<CAgentListView*>(self);
    if (message == WorkMessage() && lParam)
        return (*reinterpret_cast<const std::function<LRESULT()>*>(lParam))();
    if (message == ShellDragImageMessage())
        return view->OnShellDragImage(lParam);
    switch (message) {
    case WM_NOTIFY: {
        // The header tells its list, not the list's parent.
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header && header->hwndFrom == view->headerWnd_ && header->code == static_cast<UINT>(NM_RCLICK)) {
            view->OnHeaderRightClick();
            return 1;
        }
        break;
    }
    case WM_DESTROY:
        // Whoever forgot to forward the parent's WM_DESTROY: the rows'
        // agents still go back.
        view->EmptyOnDestroy();
        break;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(window, &CAgentListView::ListSubclass, listSubclassId);
        if (view->listWnd_ == window) {
            view->listWnd_ = nullptr;
            view->headerWnd_ = nullptr;
        }
        break;
    default:
        break;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

// ---- rows

bool CAgentListView::UpdateItem(ss::IAgent* agent, const newRowHook& onNewRow) {
    if (!listWnd_ || !agent)
        return false;
    ref<ss::IAgent> held(agent);
    return RunOnGuiThread([&]() -> LRESULT { return UpdateHere(agent, onNewRow) ? 1 : 0; }) != 0;
}

int CAgentListView::RemoveItem(ss::IAgent* agent) {
    if (!listWnd_ || !agent || clearing_)
        return 0;
    return static_cast<int>(RunOnGuiThread([&]() -> LRESULT { return RemoveHere(agent); }));
}

void CAgentListView::Clear() {
    RunOnGuiThread([&]() -> LRESULT {
        ClearHere();
        return 1;
    });
}

bool CAgentListView::InsertTextRow(const char* text) {
    std::string line = text ? std::string(text, ::strnlen(text, 260)) : std::string();
    return RunOnGuiThread([&]() -> LRESULT {
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.pszText = const_cast<char*>(line.c_str());
        item.lParam = 0;
        return ::SendMessageA(listWnd_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)) >= 0 ? 1 : 0;
    }) != 0;
}

int CAgentListView::RowOf(ss::IAgent* agent) {
    if (!agent)
        return -1;
    // One more than the row, so that a failed hand-over (0) reads as none.
    return static_cast<int>(RunOnGuiThread([&]() -> LRESULT { return FindRow(agent) + 1; })) - 1;
}

int CAgentListView::FindRow(ss::IAgent* agent) {
    if (!listWnd_ || rowSource_)
        return -1;
    LVFINDINFOA find = {};
    find.flags = LVFI_PARAM;
    find.lParam = reinterpret_cast<LPARAM>(agent);
    return static_cast<int>(::SendMessageA(listWnd_, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(&find)));
}

int CAgentListView::AgentImage(ss::IAgent* agent, const char* field) {
    if (!agent || !field || !*field)
        return -1;
    value v = agent->GetAttributeProperty(field, "II");
    if (v.code != vt::longV && v.code != vt::ulongV)
        return -1;
    return static_cast<short>(LOWORD(v.payload.ul));
}

bool CAgentListView::UpdateHere(ss::IAgent* agent, const newRowHook& onNewRow) {
    if (!listWnd_)
        return false;
    int row = FindRow(agent);
    if (row < 0) {
        auto first = nameByColumn_.find(0);
        if (first == nameByColumn_.end())
            return false;
        if (onNewRow)
            onNewRow(agent);
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = RowCount();
        item.pszText = LPSTR_TEXTCALLBACKA;
        item.lParam = reinterpret_cast<LPARAM>(agent);
        int image = AgentImage(agent, first->second.c_str());
        if (image != -1) {
            item.mask |= LVIF_IMAGE;
            item.iImage = image;
        }
        agent->addRef();  // the row's
        row = static_cast<int>(::SendMessageA(listWnd_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        if (row < 0) {
            agent->release();
            return false;
        }
    }
    RefreshCells(row, agent);
    return true;
}

void CAgentListView::RefreshCells(int row, ss::IAgent* agent) {
    for (const auto& column : nameByColumn_) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.iSubItem = column.first;
        item.pszText = LPSTR_TEXTCALLBACKA;
        int image = AgentImage(agent, column.second.c_str());
        if (image != -1) {
            item.mask |= LVIF_IMAGE;
            item.iImage = image;
        }
        ::SendMessageA(listWnd_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

int CAgentListView::RemoveHere(ss::IAgent* agent) {
    if (!listWnd_ || clearing_)
        return 0;
    {
        lockGuard hold(lock_);
        int row = FindRow(agent);
        if (row < 0 || !::SendMessageA(listWnd_, LVM_DELETEITEM, row, 0))
            return 0;
    }
    agent->release();  // the row's, now that no paint can read it
    return 1;
}

void CAgentListView::ClearHere() {
    if (!listWnd_)
        return;
    std::vector<ss::IAgent*> agents;
    if (!rowSource_) {
        int count = RowCount();
        for (int row = 0; row < count; ++row) {
            LVITEMA item = {};
            item.mask = LVIF_PARAM;
            item.iItem = row;
            if (::SendMessageA(listWnd_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) && item.lParam)
                agents.push_back(reinterpret_cast<ss::IAgent*>(item.lParam));
        }
    }
    {
        lockGuard hold(lock_);
        ::SendMessageA(listWnd_, LVM_DELETEALLITEMS, 0, 0);
    }
    for (ss::IAgent* agent : agents)
        agent->release();
}

void CAgentListView::EmptyOnDestroy() {
    clearing_ = true;
    ClearHere();
}

// ---- reading

int CAgentListView::RowCount() {
    return listWnd_ ? static_cast<int>(::SendMessageA(listWnd_, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

ss::IAgent* CAgentListView::AgentAt(int row) {
    if (!listWnd_ || row < 0)
        return nullptr;
    if (rowSource_)
        return rowSource_(row);
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!::SendMessageA(listWnd_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) || !item.lParam)
        return nullptr;
    auto* agent = reinterpret_cast<ss::IAgent*>(item.lParam);
    agent->addRef();
    return agent;
}

std::vector<ss::IAgent*> CAgentListView::SelectedAgents() {
    std::vector<ss::IAgent*> agents;
    if (!listWnd_)
        return agents;
    int row = -1;
    while ((row = static_cast<int>(::SendMessageA(listWnd_, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0) {
        if (ss::IAgent* agent = AgentAt(row))
            agents.push_back(agent);
    }
    return agents;
}

// ---- events

void CAgentListView::AddEventAction(const char* code, const char* action) {
    if (!code || !action)
        return;
    actionsByCode_[code].push_back(action);
}

const std::vector<std::string>* CAgentListView::EventActions(const char* code) const {
    auto found = code ? actionsByCode_.find(code) : actionsByCode_.end();
    return found == actionsByCode_.end() ? nullptr : &found->second;
}

bool CAgentListView::FireEvent(const char* code) {
    const std::vector<std::string>* actions = EventActions(code);
    if (!actions)
        return false;
    // A copy: an action may register or fire others.
    std::vector<std::string> names = *actions;
    for (const std::string& name : names)
        FireOnSelection(name.c_str());
    return true;
}

void CAgentListView::FireOnSelection(const char* action) {
    // Referenced first: an action may remove rows.
    std::vector<ss::IAgent*> agents = SelectedAgents();
    for (ss::IAgent* agent : agents) {
        agent->FireAction(action);
        agent->release();
    }
}

}  // namespace vesk::ui
