#include "plugins/ui/searchTB.h"

#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/layoutWindows.h"
#include "plugins/ui/listServices.h"

namespace vesk::ui {

namespace {

const toolTip tips[] = {
    {IDCMD_UIM_CLEAR_FILTER, IDS_UIM_TIP_CLEAR_FILTER},
    {IDCMD_UIM_FILTER_BAR_TB, IDS_UIM_TIP_FILTER_BAR},
};

ISearchResultWnd* CurrentResults() {
    ss::ISSManager* manager = ListServices().manager;
    return manager ? manager->GetCurrentResultWindow() : nullptr;
}

}  // namespace

VSearchTB::VSearchTB() {
    registerInterfaceOf<ISearchTB>(this);
    registerInterfaceOf<Igeneric>(this);
}

int VSearchTB::Create(const char* caption, RECT* rect) {
    if (!bar_.Make(caption, rect, singleRowToolBarStyle, IDT_UIM_SEARCH, IDB_UIM_SEARCH, &VSearchTB::Hook, this))
        return -1;
    ListServices().searchToolBar = bar_.Buttons();
    return 1;
}

LRESULT VSearchTB::Hook(void*, HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    if (toolBarHost::AnswerToolTip(message, lParam, tips, sizeof tips / sizeof tips[0]))
        return -1;
    if (message == WM_SHOWWINDOW) {
        toolBarHost::MarkViewItem(IDCMD_UIM_SEARCH_TB, wParam != 0);
    } else if (message == WM_COMMAND) {
        ISearchResultWnd* results = CurrentResults();
        if (!results)
            return -1;
        if (LOWORD(wParam) == IDCMD_UIM_CLEAR_FILTER)
            ClearResultFilter();
        else if (LOWORD(wParam) == IDCMD_UIM_FILTER_BAR_TB && !results->HideFilter())
            results->ShowFilter();
    }
    return -1;
}

}  // namespace vesk::ui
