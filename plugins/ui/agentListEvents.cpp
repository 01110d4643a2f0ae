// The list view's part of its parent's messages: cell texts and images,
// custom drawing, sorting, keys, double clicks and the action menu.
#include <algorithm>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/agentListView.h"
#include "plugins/ui/cellText.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/progressCell.h"
#include "vesk/containers.h"
#include "vesk/data.h"

namespace vesk::ui {

namespace {

constexpr DWORD noColour = 0xFFFFFFFF;

// A "TC" colour from a property value; noColour when absent or -1.
DWORD colourOf(const value& v) {
    if (v.code != vt::longV && v.code != vt::ulongV)
        return noColour;
    return static_cast<DWORD>(v.payload.ul);
}

DWORD rowColour(ss::IAgent* agent) {
    return agent ? colourOf(agent->GetAttributeProperty(ListText(IDS_UIL_FILE_NAME), "TC")) : noColour;
}

DWORD cellColour(ss::IAgent* agent) { return agent ? colourOf(agent->GetProperty("TC")) : noColour; }

const char* eventCodeOfKey(WORD key) {
    switch (key) {
    case 13:
        return "KR";
    case 19:
        return "KP";
    case 43:
        return "KE";
    case 45:
        return "KI";
    case 46:
        return "KD";
    default:
        return nullptr;
    }
}

struct sortContext {
    std::string field;
    LPARAM mark;
};

std::string groupOf(ss::IAgent* agent, const char* action) {
    return CellText(agent->GetActionProperty(action, "MC"));
}

}  // namespace

LRESULT CAgentListView::WindowProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NOTIFY:
        return lParam ? OnNotify(reinterpret_cast<NMHDR*>(lParam)) : -1;
    case WM_CONTEXTMENU:
        if (!listWnd_ || reinterpret_cast<HWND>(wParam) != listWnd_)
            return -1;
        OnContextMenu(reinterpret_cast<HWND>(wParam), lParam);
        return 0;
    case WM_COMMAND:
        if (OnActionMenuCommand(LOWORD(wParam)) || OnColumnMenuCommand(LOWORD(wParam)))
            return 0;
        return -1;
    case WM_DESTROY:
        EmptyOnDestroy();
        return -1;
    case WM_MEASUREITEM: {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (!measure || !listWnd_ || measure->CtlID != static_cast<UINT>(::GetDlgCtrlID(listWnd_)))
            return -1;
        measure->itemWidth = 100;
        return 1;
    }
    case WM_DRAWITEM: {
        const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return draw && listWnd_ && draw->hwndItem == listWnd_ ? 1 : -1;
    }
    case WM_SKINCHANGED:
        ApplySkinColours();
        return -1;
    default:
        return -1;
    }
}

LRESULT CAgentListView::OnNotify(NMHDR* header) {
    if (!listWnd_ || header->hwndFrom != listWnd_)
        return -1;
    switch (header->code) {
    case LVN_GETDISPINFOA:
        return OnDisplayInfo(reinterpret_cast<NMLVDISPINFOA*>(header));
    case NM_CUSTOMDRAW:
        return OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
    case LVN_COLUMNCLICK:
        SortByColumn(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
        return 0;
    case LVN_KEYDOWN:
        return OnKeyDown(reinterpret_cast<NMLVKEYDOWN*>(header)) ? 0 : -1;
    case NM_DBLCLK:
        FireEvent("DC");
        return 0;
    case LVN_BEGINDRAG:
        if (::SendMessageA(listWnd_, LVM_GETSELECTEDCOUNT, 0, 0) > 0)
            BeginDragOut(listWnd_);
        return 0;
    default:
        return -1;
    }
}

LRESULT CAgentListView::OnDisplayInfo(NMLVDISPINFOA* info) {
    LVITEMA& item = info->item;
    std::string field = ColumnField(item.iSubItem);
    ss::IAgent* agent = nullptr;
    if (rowSource_) {
        agent = AgentAt(item.iItem);
    } else if (item.lParam) {
        agent = reinterpret_cast<ss::IAgent*>(item.lParam);  // the row's, alive while the row is
        agent->addRef();
    }
    if (item.mask & LVIF_IMAGE) {
        int image = AgentImage(agent, field.c_str());
        item.iImage = image == -1 ? I_IMAGENONE : image;
    }
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        if (agent && !field.empty())
            CellText(agent->GetAttribute(field.c_str()), item.pszText, static_cast<std::size_t>(item.cchTextMax));
        else
            item.pszText[0] = '\0';
    }
    if (agent)
        agent->release();
    return 0;
}

LRESULT CAgentListView::OnCustomDraw(NMLVCUSTOMDRAW* draw) {
    NMCUSTOMDRAW& paint = draw->nmcd;
    switch (paint.dwDrawStage) {
    case CDDS_PREPAINT:
        ::SetBkColor(paint.hdc, ::GetSysColor(COLOR_WINDOW));
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        COLORREF background = windowBackground_ ? ::GetSysColor(COLOR_WINDOW)
                                                : static_cast<COLORREF>(::SendMessageA(listWnd_, LVM_GETBKCOLOR, 0, 0));
        if (background != CLR_NONE) {
            HBRUSH brush = ::CreateSolidBrush(background);
            if (brush) {
                ::FillRect(paint.hdc, &paint.rc, brush);
                ::DeleteObject(brush);
            }
        }
        ss::IAgent* agent = AgentAt(static_cast<int>(paint.dwItemSpec));
        DWORD colour = rowColour(agent);
        if (colour != noColour)
            draw->clrText = colour;
        if (agent)
            agent->release();
        return CDRF_NOTIFYSUBITEMDRAW;
    }
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        int row = static_cast<int>(paint.dwItemSpec);
        ss::IAgent* agent = AgentAt(row);
        // The row's colour first: a cell's stage starts from the defaults.
        DWORD colour = cellColour(agent);
        if (colour == noColour)
            colour = rowColour(agent);
        if (colour != noColour)
            draw->clrText = colour;
        LRESULT result = CDRF_DODEFAULT;
        if (drawsProgress_ && agent && ColumnField(draw->iSubItem) == ListText(IDS_UIL_PROGRESS)) {
            // The cell's own rectangle, as the control has scrolled it.
            RECT cell = {};
            cell.top = draw->iSubItem;
            cell.left = draw->iSubItem == 0 ? LVIR_LABEL : LVIR_BOUNDS;
            if (::SendMessageA(listWnd_, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell))) {
                DrawProgressCell(paint.hdc, cell, static_cast<int>(AttributeNumber(agent, ListText(IDS_UIL_PROGRESS), -1)));
                result = CDRF_SKIPDEFAULT;
            }
        }
        if (agent)
            agent->release();
        return result;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

bool CAgentListView::OnKeyDown(NMLVKEYDOWN* key) {
    bool selectAll = (key->wVKey == VK_CONTROL && ::GetKeyState('A') < 0) ||
                     (key->wVKey == 'A' && ::GetKeyState(VK_CONTROL) < 0);
    if (selectAll) {
        int count = RowCount();
        for (int row = 0; row < count; ++row) {
            ListView_SetItemState(listWnd_, row, LVIS_SELECTED, LVIS_SELECTED);
            ::SendMessageA(listWnd_, LVM_SETSELECTIONMARK, 0, row);
        }
        return true;
    }
    const char* code = eventCodeOfKey(key->wVKey);
    return code && FireEvent(code);
}

// ---- sorting

int CAgentListView::CompareRows(ss::IAgent* a, ss::IAgent* b, const char* field, LPARAM mark) {
    if (!a || !b)
        return 0;
    bool less = valueLess(a->GetAttribute(field), b->GetAttribute(field));
    if (mark == -1)
        return less ? 1 : -1;
    return less ? -1 : 1;
}

int CALLBACK CAgentListView::CompareItems(LPARAM first, LPARAM second, LPARAM context) {
    const auto* sort = reinterpret_cast<const sortContext*>(context);
    return CompareRows(reinterpret_cast<ss::IAgent*>(first), reinterpret_cast<ss::IAgent*>(second),
                       sort->field.c_str(), sort->mark);
}

void CAgentListView::SortByColumn(int column) {
    if (!listWnd_ || !headerWnd_)
        return;
    char text[260] = "";
    HDITEMA item = {};
    item.mask = HDI_TEXT | HDI_LPARAM;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    if (!::SendMessageA(headerWnd_, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item)))
        return;
    sortContext context = {text, item.lParam};
    ::SendMessageA(listWnd_, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&context),
                   reinterpret_cast<LPARAM>(&CAgentListView::CompareItems));
    HDITEMA mark = {};
    mark.mask = HDI_LPARAM;
    mark.lParam = item.lParam == -1 ? 1 : -1;
    ::SendMessageA(headerWnd_, HDM_SETITEMA, column, reinterpret_cast<LPARAM>(&mark));
}

// ---- the action menu

HMENU CAgentListView::BuildActionMenu() {
    actionByMenuId_.clear();
    seenActions_.clear();
    std::vector<std::pair<std::string, std::string>> records;  // group, action
    std::vector<ss::IAgent*> agents = SelectedAgents();
    for (ss::IAgent* agent : agents) {
        Ivector* names = agent->GetActionNames();
        if (names) {
            names->addRef();
            unsigned count = names->size();
            for (unsigned i = 0; i < count; ++i) {
                std::string name = CellText(names->at(i));
                if (name.empty() || !seenActions_.insert(name).second)
                    continue;
                records.emplace_back(groupOf(agent, name.c_str()), name);
            }
            names->release();
        }
        agent->release();
    }
    std::stable_sort(records.begin(), records.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    HMENU menu = ::CreatePopupMenu();
    if (!menu)
        return nullptr;
    int count = std::min<int>(static_cast<int>(records.size()), actionMenuLimit);
    for (int i = 0; i < count; ++i) {
        if (i > 0 && records[i].first != records[i - 1].first)
            ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        int id = actionMenuBase + i;
        ::AppendMenuA(menu, MF_STRING, id, records[i].second.c_str());
        actionByMenuId_[id] = records[i].second;
    }
    return menu;
}

bool CAgentListView::OnActionMenuCommand(int id) {
    if (id < actionMenuBase || id >= actionMenuBase + actionMenuLimit)
        return false;
    auto found = actionByMenuId_.find(id);
    if (found == actionByMenuId_.end())
        return false;
    std::string action = found->second;
    FireOnSelection(action.c_str());
    return true;
}

void CAgentListView::TrackActionMenu(POINT screen, HMENU extra, const char* extraCaption,
                                     const std::function<void(int)>& onOtherCommand) {
    HMENU menu = BuildActionMenu();
    if (!menu)
        return;
    int extraPosition = -1;
    if (extra && ::AppendMenuA(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(extra), extraCaption ? extraCaption : ""))
        extraPosition = ::GetMenuItemCount(menu) - 1;
    int id = ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x, screen.y, 0,
                              ::GetParent(listWnd_), nullptr);
    // The borrowed popup leaves first: its owner destroys it.
    if (extraPosition >= 0)
        ::RemoveMenu(menu, extraPosition, MF_BYPOSITION);
    ::DestroyMenu(menu);
    if (id && !OnActionMenuCommand(id) && onOtherCommand)
        onOtherCommand(id);
}

bool CAgentListView::ActionMenuPoint(LPARAM point, POINT& at) {
    if (!listWnd_ || RowCount() == 0 || ::SendMessageA(listWnd_, LVM_GETSELECTEDCOUNT, 0, 0) == 0)
        return false;
    at = {static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
    if (at.x == -1 && at.y == -1) {
        int mark = static_cast<int>(::SendMessageA(listWnd_, LVM_GETSELECTIONMARK, 0, 0));
        RECT label = {};
        label.left = LVIR_LABEL;
        ::SendMessageA(listWnd_, LVM_GETITEMRECT, mark, reinterpret_cast<LPARAM>(&label));
        at = {label.left, label.top};
        ::ClientToScreen(listWnd_, &at);
    }
    return true;
}

void CAgentListView::OnContextMenu(HWND, LPARAM point) {
    POINT at = {};
    if (ActionMenuPoint(point, at))
        TrackActionMenu(at);
}

}  // namespace vesk::ui
