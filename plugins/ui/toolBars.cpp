#include "plugins/ui/toolBars.h"

#include <new>
#include <string>
#include <vector>

#include "plugins/ui/dockConnectTB.h"
#include "plugins/ui/dockTransferWnd.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/searchTB.h"
#include "plugins/ui/transferTB.h"
#include "plugins/ui/viewTB.h"

namespace vesk::ui {

namespace {

// Made once and kept for the process, as the list windows are.
struct toolBarObjects {
    capsule_core<VDockConnectTB>* connect = nullptr;
    capsule<VSearchTB>* search = nullptr;      // one reference
    capsule<VTransferTB>* transfer = nullptr;  // one reference
    capsule<VViewTB>* view = nullptr;          // one reference
};

toolBarObjects& Made() {
    static toolBarObjects made;
    return made;
}

template <class T>
T* MakeHeld(T*& object) {
    if (!object && (object = new (std::nothrow) T()))
        object->addRef();
    return object;
}

void UseControl(IUIControl* control) {
    if (control && !ListServices().control)
        ListServices().control = control;
}

IDockWnd* DockOf(IDockToolBarWnd* bar) { return interfaceCast<IDockWnd>(bar); }

}  // namespace

VDockConnectTB* ConnectToolBarObject() {
    toolBarObjects& made = Made();
    if (!made.connect)
        made.connect = new (std::nothrow) capsule_core<VDockConnectTB>();
    ListServices().connectToolbar = made.connect;
    return made.connect;
}

IDockWnd* MakeVDockConnectTB(IUIControl* control, const char* caption, RECT* rect) {
    UseControl(control);
    VDockConnectTB* bar = ConnectToolBarObject();
    return bar && bar->Create(caption, rect) == 1 ? DockOf(bar->ToolBar()) : nullptr;
}

IDockWnd* MakeVSearchTB(IUIControl* control, const char* caption, RECT* rect) {
    UseControl(control);
    VSearchTB* bar = MakeHeld(Made().search);
    return bar && bar->Create(caption, rect) == 1 ? DockOf(bar->ToolBar()) : nullptr;
}

IDockWnd* MakeVTransferTB(IUIControl* control, const char* caption, RECT* rect) {
    UseControl(control);
    VTransferTB* bar = MakeHeld(Made().transfer);
    return bar && bar->Create(caption, rect) == 1 ? DockOf(bar->ToolBar()) : nullptr;
}

IDockWnd* MakeVViewTB(IUIControl* control, const char* caption, RECT* rect) {
    UseControl(control);
    VViewTB* bar = MakeHeld(Made().view);
    return bar && bar->Create(caption, rect) == 1 ? DockOf(bar->ToolBar()) : nullptr;
}

void FireOnEveryDownload(unsigned actionText) {
    VDockTransferWnd* transfers = ListServices().transferWnd;
    if (!transfers)
        return;
    CAgentListView& downloads = transfers->Downloads();
    HWND list = downloads.GetHandle();
    int rows = list ? static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
    std::vector<ss::IAgent*> agents;
    for (int row = 0; row < rows; ++row)
        if (ss::IAgent* agent = downloads.AgentAt(row))
            agents.push_back(agent);
    std::string action = LanguageText(actionText);
    for (ss::IAgent* agent : agents) {
        agent->FireAction(action.c_str());
        agent->release();
    }
}

}  // namespace vesk::ui
