// The list view's columns: built from the manager's field table and the
// settings, saved back, toggled from the column menu, listed in dialog 324.
#include <algorithm>
#include <cstring>

#include "core/string.h"
#include "core/text.h"
#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/agentListView.h"
#include "plugins/ui/listServices.h"
#include "vesk/containers.h"
#include "vesk/data.h"

namespace vesk::ui {

namespace {

constexpr long defaultWidth = 40;
constexpr long widthWithoutSettings = 50;
constexpr int longestField = 259;

// Column-menu id -> field, shared by every list: the ids of one menu are
// read back while it is the only one open.
std::map<int, std::string>& columnMenuFields() {
    static std::map<int, std::string> fields;
    return fields;
}

Istring* newText(const char* text) {
    auto* s = new vesk::string(text ? text : "");
    s->addRef();
    return s;
}

}  // namespace

long CAgentListView::ReadSetting(const std::string& key, long fallback) {
    listServices& s = ListServices();
    if (!s.settings)
        return fallback;
    value v = s.settings->getValue(key.c_str(), value(fallback), s.owner);
    if (v.code == vt::longV)
        return v.payload.l;
    if (v.code == vt::ulongV)
        return static_cast<long>(v.payload.ul);
    return fallback;
}

void CAgentListView::WriteSetting(const std::string& key, long v) {
    listServices& s = ListServices();
    if (s.settings)
        s.settings->setValue(key.c_str(), value(v), s.owner);
}

std::vector<std::string> CAgentListView::TakingPartFields() {
    std::vector<std::string> fields;
    ss::ISSManager* manager = ListServices().manager;
    Ihash* table = manager ? manager->GetFieldTypes() : nullptr;
    if (!table || !listType_)
        return fields;
    std::vector<Istring*> names;
    {
        lockGuard hold(table->getLock());
        unsigned count = table->size();
        table->first();
        for (unsigned i = 0; i < count; ++i, table->next()) {
            Istring* name = table->currentKey().asString();
            if (name) {
                name->addRef();
                names.push_back(name);
            }
        }
    }
    for (Istring* name : names) {
        if (manager->IsFieldShown(name, listType_))
            fields.emplace_back(textOrEmpty(name), ::strnlen(textOrEmpty(name), longestField));
        name->release();
    }
    return fields;
}

int CAgentListView::InsertColumn(const std::string& field, int order, int width) {
    int count = static_cast<int>(nameByColumn_.size());
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM | LVCF_ORDER;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<char*>(field.c_str());
    column.iSubItem = count;
    column.iOrder = order < 0 ? 0 : order > count ? count : order;
    int index = static_cast<int>(::SendMessageA(listWnd_, LVM_INSERTCOLUMNA, count, reinterpret_cast<LPARAM>(&column)));
    if (index >= 0) {
        columnByName_[field] = index;
        nameByColumn_[index] = field;
    }
    return index;
}

void CAgentListView::ApplyOrder(const std::vector<std::pair<int, int>>& columnOrders) {
    int count = static_cast<int>(columnOrders.size());
    if (count == 0 || !listWnd_)
        return;
    // Each column goes to its saved position; an order outside the columns
    // is ignored, and a column pushed out by a later one with the same
    // order (or never placed) takes the first free position: the header
    // always gets a permutation.
    std::vector<int> order(count, -1);
    for (const auto& co : columnOrders)
        if (co.second >= 0 && co.second < count)
            order[co.second] = co.first;
    std::vector<bool> placed(count, false);
    for (int column : order)
        if (column >= 0 && column < count)
            placed[column] = true;
    int next = 0;
    for (int& slot : order) {
        if (slot >= 0)
            continue;
        while (next < count && placed[next])
            ++next;
        if (next < count) {
            slot = next;
            placed[next] = true;
        }
    }
    // Through the list: set on the header alone, the list keeps drawing
    // its cells at the old places.
    ::SendMessageA(listWnd_, LVM_SETCOLUMNORDERARRAY, count, reinterpret_cast<LPARAM>(order.data()));
}

int CAgentListView::SetColumns(const char* prefix, const char* listType) {
    if (prefix_)
        prefix_->release();
    if (listType_)
        listType_->release();
    prefix_ = newText(prefix);
    listType_ = newText(listType);
    if (!listWnd_)
        return 1;
    while (::SendMessageA(listWnd_, LVM_DELETECOLUMN, 0, 0)) {
    }
    columnByName_.clear();
    nameByColumn_.clear();

    std::vector<std::string> fields = TakingPartFields();
    std::vector<std::string> inserting;
    bool hasPrimary = !primaryColumn_.empty() && std::find(fields.begin(), fields.end(), primaryColumn_) != fields.end();
    if (hasPrimary)
        inserting.push_back(primaryColumn_);
    bool withSettings = ListServices().settings != nullptr;
    std::string base = textOrEmpty(prefix_);
    for (const std::string& field : fields) {
        if (hasPrimary && field == primaryColumn_)
            continue;
        if (withSettings && ReadSetting(base + field + ".Visible", 1) != 0)
            inserting.push_back(field);
    }

    std::vector<std::pair<int, int>> columnOrders;
    for (const std::string& field : inserting) {
        long order = 0, width = widthWithoutSettings;
        if (withSettings) {
            // A column never saved goes after those before it: the same
            // place as its predecessor would push the primary column aside.
            order = ReadSetting(base + field + ".Order", static_cast<long>(columnOrders.size()));
            width = ReadSetting(base + field + ".Size", defaultWidth);
            ReadSetting(base + field + ".Visible", 1);
        }
        int index = InsertColumn(field, static_cast<int>(order), static_cast<int>(width));
        if (index < 0)
            continue;
        columnOrders.emplace_back(index, static_cast<int>(order));
    }
    ApplyOrder(columnOrders);
    return 1;
}

int CAgentListView::SaveColumns() {
    if (!listWnd_ || !headerWnd_ || !ListServices().settings)
        return 0;
    std::string base = textOrEmpty(prefix_);
    int count = static_cast<int>(::SendMessageA(headerWnd_, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[longestField + 1] = "";
        HDITEMA item = {};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_ORDER;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        if (!::SendMessageA(headerWnd_, HDM_GETITEMA, i, reinterpret_cast<LPARAM>(&item)))
            continue;
        std::string field = text;
        WriteSetting(base + field + ".Order", item.iOrder);
        WriteSetting(base + field + ".Size", item.cxy);
        WriteSetting(base + field + ".Visible", 1);
    }
    return 1;
}

void CAgentListView::RebuildColumnMaps() {
    columnByName_.clear();
    nameByColumn_.clear();
    if (!headerWnd_)
        return;
    int count = static_cast<int>(::SendMessageA(headerWnd_, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[longestField + 1] = "";
        HDITEMA item = {};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        if (::SendMessageA(headerWnd_, HDM_GETITEMA, i, reinterpret_cast<LPARAM>(&item))) {
            columnByName_[text] = i;
            nameByColumn_[i] = text;
        }
    }
}

std::string CAgentListView::ColumnField(int column) const {
    auto found = nameByColumn_.find(column);
    return found == nameByColumn_.end() ? std::string() : found->second;
}

int CAgentListView::ColumnIndex(const char* field) const {
    auto found = field ? columnByName_.find(field) : columnByName_.end();
    return found == columnByName_.end() ? -1 : found->second;
}

std::vector<std::string> CAgentListView::ColumnFields() {
    std::vector<std::string> fields;
    for (const auto& column : nameByColumn_)
        fields.push_back(column.second);
    return fields;
}

std::vector<int> CAgentListView::DisplayOrder() {
    int count = headerWnd_ ? static_cast<int>(::SendMessageA(headerWnd_, HDM_GETITEMCOUNT, 0, 0)) : 0;
    std::vector<int> order(count > 0 ? count : 0);
    if (count > 0)
        ::SendMessageA(headerWnd_, HDM_GETORDERARRAY, count, reinterpret_cast<LPARAM>(order.data()));
    return order;
}

// ---- the column menu

HMENU CAgentListView::BuildColumnMenu() {
    HMENU menu = ::CreatePopupMenu();
    if (!menu)
        return nullptr;
    std::vector<std::string> fields = TakingPartFields();
    std::vector<std::pair<std::string, bool>> items;  // field, disabled
    if (!primaryColumn_.empty() && std::find(fields.begin(), fields.end(), primaryColumn_) != fields.end())
        items.emplace_back(primaryColumn_, true);
    for (const std::string& field : fields)
        if (field != primaryColumn_)
            items.emplace_back(field, false);
    std::map<int, std::string>& table = columnMenuFields();
    // Ids past the toggles would run into the dialog's command.
    std::size_t shown = std::min<std::size_t>(items.size(), columnMenuToggles);
    for (std::size_t i = 0; i < shown; ++i) {
        int id = columnMenuBase_ + static_cast<int>(i);
        UINT flags = MF_STRING;
        if (ColumnIndex(items[i].first.c_str()) >= 0)
            flags |= MF_CHECKED;
        if (items[i].second)
            flags |= MF_GRAYED;
        ::AppendMenuA(menu, flags, id, items[i].first.c_str());
        table[id] = items[i].first;
    }
    return menu;
}

bool CAgentListView::OnColumnMenuCommand(int id) {
    if (id == columnMenuBase_ + columnDialogOffset) {
        ShowColumnDialog();
        return true;
    }
    if (id <= columnMenuBase_ || id >= columnMenuBase_ + columnMenuToggles || !listWnd_)
        return false;
    auto found = columnMenuFields().find(id);
    if (found == columnMenuFields().end())
        return false;
    std::string field = found->second;
    std::string base = textOrEmpty(prefix_);
    int index = ColumnIndex(field.c_str());
    if (index >= 0) {
        ::SendMessageA(listWnd_, LVM_DELETECOLUMN, index, 0);
        WriteSetting(base + field + ".Visible", 0);
    } else {
        int count = headerWnd_ ? static_cast<int>(::SendMessageA(headerWnd_, HDM_GETITEMCOUNT, 0, 0)) : 0;
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = static_cast<int>(ReadSetting(base + field + ".Size", defaultWidth));
        column.pszText = const_cast<char*>(field.c_str());
        column.iSubItem = count;
        ::SendMessageA(listWnd_, LVM_INSERTCOLUMNA, count, reinterpret_cast<LPARAM>(&column));
        WriteSetting(base + field + ".Visible", 1);
    }
    RebuildColumnMaps();
    ::InvalidateRect(listWnd_, nullptr, TRUE);
    return true;
}

void CAgentListView::TrackColumnMenu(POINT screen) {
    HMENU menu = BuildColumnMenu();
    if (!menu)
        return;
    int id = ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x, screen.y, 0,
                              ::GetParent(listWnd_), nullptr);
    ::DestroyMenu(menu);
    if (id)
        OnColumnMenuCommand(id);
}

void CAgentListView::OnHeaderRightClick() {
    if (RowCount() > 0 && ::SendMessageA(listWnd_, LVM_GETSELECTEDCOUNT, 0, 0) > 0)
        return;
    POINT at;
    ::GetCursorPos(&at);
    TrackColumnMenu(at);
}

// ---- dialog 324

namespace {

struct columnDialogRow {
    std::string field;
    bool shown;
    int width;
};

struct columnDialogData {
    std::vector<columnDialogRow> rows;
};

}  // namespace

INT_PTR CAgentListView::ShowColumnDialog() {
    listServices& s = ListServices();
    HINSTANCE language = s.control ? s.control->GetResourceInstance() : nullptr;
    if (!language || !listWnd_)
        return 0;
    columnDialogData data;
    std::string base = textOrEmpty(prefix_);
    for (const std::string& field : TakingPartFields()) {
        int index = ColumnIndex(field.c_str());
        int width = index >= 0 ? static_cast<int>(::SendMessageA(listWnd_, LVM_GETCOLUMNWIDTH, index, 0))
                               : static_cast<int>(ReadSetting(base + field + ".Size", defaultWidth));
        data.rows.push_back({field, index >= 0, width});
    }
    INT_PTR result = ::DialogBoxParamA(language, MAKEINTRESOURCEA(IDD_UIL_COLUMNS), ::GetParent(listWnd_),
                                       &CAgentListView::ColumnDialogProc, reinterpret_cast<LPARAM>(&data));
    return result == 1 ? 1 : 0;
}

INT_PTR CALLBACK CAgentListView::ColumnDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        auto* data = reinterpret_cast<columnDialogData*>(lParam);
        HWND list = ::GetDlgItem(dialog, IDC_UIL_COLUMN_LIST);
        ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
        RECT client;
        ::GetClientRect(list, &client);
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = client.right;
        column.pszText = const_cast<char*>("Column");
        ::SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
        for (std::size_t i = 0; i < data->rows.size(); ++i) {
            LVITEMA item = {};
            item.mask = LVIF_TEXT | LVIF_PARAM;
            item.iItem = static_cast<int>(i);
            item.pszText = const_cast<char*>(data->rows[i].field.c_str());
            item.lParam = data->rows[i].width;
            int row = static_cast<int>(::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
            if (row >= 0)
                ListView_SetCheckState(list, row, data->rows[i].shown ? TRUE : FALSE);
        }
        return TRUE;
    }
    case WM_NOTIFY: {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if (change->hdr.idFrom == IDC_UIL_COLUMN_LIST && change->hdr.code == LVN_ITEMCHANGED &&
            (change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED))
            ::SetDlgItemInt(dialog, IDC_UIL_COLUMN_WIDTH, static_cast<UINT>(change->lParam), FALSE);
        return FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(dialog, LOWORD(wParam) == IDOK ? 1 : 0);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace vesk::ui
