#include "plugins/ui/viewTB.h"

#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/dockMenu.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/uiControl.h"

namespace vesk::ui {

namespace {

const toolTip tips[] = {
    {IDCMD_UIM_TB_OPTIONS, IDS_UIM_TIP_OPTIONS},        {IDCMD_UIM_TB_HOST_WND, IDS_UIM_HOST_WND},
    {IDCMD_UIM_TB_HISTORY_WND, IDS_UIM_HISTORY_WND},    {IDCMD_UIM_TB_STAT_WND, IDS_UIM_STAT_WND},
    {IDCMD_UIM_TB_TRANSFER_WND, IDS_UIM_TRANSFER_WND},
};

struct watchEntry {
    layoutSlot slot;
    int item;
    int button;
};

const watchEntry watches[] = {
    {layoutSlot::statisticsWindow, IDCMD_UIM_STAT_WND, IDCMD_UIM_TB_STAT_WND},
    {layoutSlot::hostWindow, IDCMD_UIM_HOST_WND, IDCMD_UIM_TB_HOST_WND},
    {layoutSlot::transferWindow, IDCMD_UIM_TRANSFER_WND, IDCMD_UIM_TB_TRANSFER_WND},
    {layoutSlot::historyWindow, IDCMD_UIM_HISTORY_WND, IDCMD_UIM_TB_HISTORY_WND},
};

IWndEvents* ContainerEvents(IDockWnd* window) {
    return interfaceCast<IWndEvents>(window ? window->GetContainer() : nullptr);
}

void ToggleSlot(layoutSlot slot) {
    UIControl* control = TheControl();
    IDockWnd* window = control ? control->LayoutWindow(slot) : nullptr;
    if (!window)
        return;
    if (window->GetVisible())
        window->Hide();
    else
        window->Show();
}

}  // namespace

VViewTB::VViewTB() {
    registerInterfaceOf<IViewTB>(this);
    registerInterfaceOf<Igeneric>(this);
}

VViewTB::~VViewTB() {
    for (watched& entry : windows_)
        if (entry.hook) {
            if (IWndEvents* events = ContainerEvents(entry.window))
                events->RemoveMessageHook(entry.hook);
            entry.hook->release();
        }
}

int VViewTB::Create(const char* caption, RECT* rect) {
    if (!bar_.Make(caption, rect, singleRowToolBarStyle, IDT_UIM_VIEW, IDB_UIM_VIEW, &VViewTB::Hook, this))
        return -1;
    UIControl* control = TheControl();
    for (int i = 0; i < 4; ++i) {
        windows_[i].bar = this;
        windows_[i].item = watches[i].item;
        windows_[i].button = watches[i].button;
        windows_[i].window = control ? control->LayoutWindow(watches[i].slot) : nullptr;
        Watch(windows_[i]);
    }
    return 1;
}

// The hook goes on the window's container, and the window's present
// visibility is passed through it at once so that item and button start
// in step.
void VViewTB::Watch(watched& entry) {
    IWndEvents* events = ContainerEvents(entry.window);
    if (!events || entry.hook)
        return;
    entry.hook = NewMessageHook(&VViewTB::WindowHook, &entry);
    if (!entry.hook)
        return;
    events->AddMessageHook(entry.hook);
    events->WindowProc(WM_SHOWWINDOW, entry.window->GetVisible() ? TRUE : FALSE, 0);
}

LRESULT VViewTB::WindowHook(void* self, HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_SHOWWINDOW)
        return -1;
    auto* entry = static_cast<watched*>(self);
    toolBarHost::MarkViewItem(entry->item, wParam != 0);
    ::SendMessageA(entry->bar->Buttons(), TB_PRESSBUTTON, entry->button, wParam ? TRUE : FALSE);
    return -1;
}

LRESULT VViewTB::Hook(void*, HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    if (toolBarHost::AnswerToolTip(message, lParam, tips, sizeof tips / sizeof tips[0]))
        return -1;
    if (message == WM_SHOWWINDOW) {
        toolBarHost::MarkViewItem(IDCMD_UIM_VIEW_TB, wParam != 0);
        return -1;
    }
    if (message != WM_COMMAND)
        return -1;
    switch (LOWORD(wParam)) {
    case IDCMD_UIM_TB_OPTIONS:
        if (UIControl* control = TheControl(); control && control->MenuBar())
            control->MenuBar()->OnCommand(IDCMD_UIM_TB_OPTIONS);
        break;
    case IDCMD_UIM_TB_HOST_WND:
        ToggleSlot(layoutSlot::hostWindow);
        break;
    case IDCMD_UIM_TB_HISTORY_WND:
        ToggleSlot(layoutSlot::historyWindow);
        break;
    case IDCMD_UIM_TB_STAT_WND:
        ToggleSlot(layoutSlot::statisticsWindow);
        break;
    case IDCMD_UIM_TB_TRANSFER_WND:
        ToggleSlot(layoutSlot::transferWindow);
        break;
    default:
        break;
    }
    return -1;
}

}  // namespace vesk::ui
