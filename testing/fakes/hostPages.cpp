#include "testing/fakes/hostPages.h"

#include <commctrl.h>

namespace vesk::testing {

namespace {

int rowOf(HWND list, ss::IAgent* row) {
    LVFINDINFOA find = {};
    find.flags = LVFI_PARAM;
    find.lParam = reinterpret_cast<LPARAM>(row);
    return static_cast<int>(SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

ss::IAgent* agentAt(HWND list, int index) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return nullptr;
    return reinterpret_cast<ss::IAgent*>(item.lParam);
}

}  // namespace

void ListRow(HWND list, ss::IAgent* row) {
    if (!list || !row || rowOf(list, row) >= 0)
        return;
    LVITEMA item = {};
    item.mask = LVIF_PARAM | LVIF_TEXT;
    item.iItem = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<char*>("row");
    item.lParam = reinterpret_cast<LPARAM>(row);
    if (SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)) >= 0)
        row->addRef();
}

void UnlistRow(HWND list, ss::IAgent* row) {
    int index = list && row ? rowOf(list, row) : -1;
    if (index < 0)
        return;
    SendMessageA(list, LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
    row->release();
}

void UnlistAll(HWND list) {
    if (!list)
        return;
    while (SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) > 0) {
        ss::IAgent* row = agentAt(list, 0);
        SendMessageA(list, LVM_DELETEITEM, 0, 0);
        if (row)
            row->release();
    }
}

}  // namespace vesk::testing
