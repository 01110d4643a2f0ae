#include "plugins/ui/statDockWnd.h"

#include <cstring>
#include <string>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/cellText.h"
#include "plugins/ui/dockSearchBar.h"
#include "plugins/ui/listServices.h"

namespace vesk::ui {

ZUdoradurStatDockWnd::ZUdoradurStatDockWnd() {
    registerInterfaceOf<IGnutellaStatDockWnd>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
}

int ZUdoradurStatDockWnd::Create(const char* name, RECT* rect) {
    if (!tabs_.Make(name, rect, &ZUdoradurStatDockWnd::Hook, this))
        return 0;
    lines_.Create(tabs_.ContentParent(), 0, 0);
    const char* type = ListText(IDS_UIL_LIST_STATISTICS);
    lines_.SetColumns(type, type);
    tabs_.AddTab(type, lines_.GetHandle(), IDI_UIL_STATISTICS);
    return 1;
}

bool ZUdoradurStatDockWnd::AddLine(const char* text) {
    HWND list = lines_.GetHandle();
    if (!list || !::IsWindowVisible(list))
        return false;
    std::string line = text ? std::string(text, ::strnlen(text, 260)) : std::string();
    return lines_.RunOnGuiThread([&]() -> LRESULT {
        if (!lines_.InsertTextRow(line.c_str()))
            return 0;
        int keep = static_cast<int>(::SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0)) + extraRows;
        while (lines_.RowCount() > keep)
            ::SendMessageA(list, LVM_DELETEITEM, lines_.RowCount() - 1, 0);
        return 1;
    }) != 0;
}

LRESULT ZUdoradurStatDockWnd::Hook(void* self, HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    return static_cast<ZUdoradurStatDockWnd*>(self)->OnMessage(message, wParam, lParam);
}

LRESULT ZUdoradurStatDockWnd::OnMessage(UINT message, WPARAM, LPARAM lParam) {
    HWND list = lines_.GetHandle();
    if (!list)
        return -1;
    if (message == WM_SIZE) {
        // The container's new width: the list itself may not be laid out
        // yet when its container hears of the change.
        ::SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, LOWORD(lParam) - ::GetSystemMetrics(SM_CXVSCROLL));
        return -1;
    }
    if (message != WM_NOTIFY || !lParam)
        return -1;
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code == TTN_GETDISPINFOA) {
        auto* tip = reinterpret_cast<NMTTDISPINFOA*>(header);
        ::SendMessageA(header->hwndFrom, TTM_SETMAXTIPWIDTH, 0, tipWidth);
        std::string text = std::string(ListText(IDS_UIL_STAT_TIP)) + "\r\n" + ListText(IDS_UIL_COUNT) + ": " +
                           std::to_string(tipCount_);
        // The tip's own buffer: 80 characters at most.
        CopyCut(text, tip->szText, sizeof tip->szText);
        tip->lpszText = tip->szText;
        tip->hinst = nullptr;
        return 0;
    }
    if (header->hwndFrom == list && header->code == static_cast<UINT>(NM_DBLCLK)) {
        int row = reinterpret_cast<NMITEMACTIVATE*>(header)->iItem;
        char text[261] = "";
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        if (row >= 0 && ::SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item)) > 0) {
            if (VDockSearchBar* bar = ListServices().searchBar)
                bar->Search(text);
        }
        return 0;
    }
    return -1;
}

}  // namespace vesk::ui
