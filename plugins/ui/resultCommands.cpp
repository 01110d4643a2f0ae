// The main window's and the toolbars' commands on the result window: the
// shared list's selected rows and the current window's column filter.
#include "plugins/ui/agentListView.h"
#include "plugins/ui/layoutWindows.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/searchResultWnd.h"

namespace vesk::ui {

void FireOnResultSelection(const char* action) {
    CAgentListView* list = VSearchResultWnd::SharedList();
    if (!action || !list || !list->GetHandle())
        return;
    list->FireOnSelection(action);
}

void ClearResultFilter() {
    ss::ISSManager* manager = ListServices().manager;
    // The manager's window may come from another module: only ours has a
    // filter to clear.
    auto* results = dynamic_cast<VSearchResultWnd*>(manager ? manager->GetCurrentResultWindow() : nullptr);
    if (results)
        results->ClearFilter();
}

}  // namespace vesk::ui
