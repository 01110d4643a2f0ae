#include "plugins/ui/dockConnectTB.h"

#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/dockMenu.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/uiControl.h"

namespace vesk::ui {

namespace {

const toolTip tips[] = {
    {IDCMD_UIM_TB_CONNECT, IDS_UIM_CONNECT_TB},
    {IDCMD_UIM_TB_DISCONNECT, IDS_UIM_TIP_DISCONNECT},
};

}  // namespace

VDockConnectTB::VDockConnectTB() {
    registerInterfaceOf<IDockConnectTB>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
}

int VDockConnectTB::Create(const char* caption, RECT* rect) {
    if (!bar_.Make(caption, rect, style, IDT_UIM_CONNECT, IDB_UIM_CONNECT, &VDockConnectTB::Hook, this))
        return -1;
    ::SendMessageA(bar_.Buttons(), TB_SETEXTENDEDSTYLE, 0, exStyle);
    SetConnectedState(IsConnected());
    return 1;
}

int VDockConnectTB::SetConnectedState(int connected) {
    HWND buttons = bar_.Buttons();
    ::SendMessageA(buttons, TB_ENABLEBUTTON, IDCMD_UIM_TB_CONNECT, MAKELPARAM(connected ? FALSE : TRUE, 0));
    ::SendMessageA(buttons, TB_ENABLEBUTTON, IDCMD_UIM_TB_DISCONNECT, MAKELPARAM(connected ? TRUE : FALSE, 0));
    return connected ? 0 : 1;
}

bool VDockConnectTB::IsConnected() {
    if (ss::ISSManager* manager = ListServices().manager)
        connected_ = manager->IsConnected();
    return connected_;
}

void VDockConnectTB::MarkMenu(bool connected) {
    UIControl* control = TheControl();
    if (VDockMenu* menu = control ? control->MenuBar() : nullptr)
        menu->SetConnectItems(connected);
}

int VDockConnectTB::Connect() {
    if (ss::ISSManager* manager = ListServices().manager)
        manager->ConnectAll(true);
    MarkMenu(true);
    SetConnectedState(1);
    return 1;
}

int VDockConnectTB::Disconnect() {
    if (ss::ISSManager* manager = ListServices().manager)
        manager->ConnectAll(false);
    MarkMenu(false);
    SetConnectedState(0);
    return 1;
}

LRESULT VDockConnectTB::Hook(void* self, HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* bar = static_cast<VDockConnectTB*>(self);
    if (toolBarHost::AnswerToolTip(message, lParam, tips, sizeof tips / sizeof tips[0]))
        return -1;
    if (message == WM_SHOWWINDOW) {
        toolBarHost::MarkViewItem(IDCMD_UIM_CONNECT_TB, wParam != 0);
        ::SendMessageA(bar->Buttons(), TB_SETSTATE, IDCMD_UIM_CONNECT_TB, wParam ? 0x16 : 4);
    } else if (message == WM_COMMAND && LOWORD(wParam) == IDCMD_UIM_TB_CONNECT) {
        bar->Connect();
    } else if (message == WM_COMMAND && LOWORD(wParam) == IDCMD_UIM_TB_DISCONNECT) {
        bar->Disconnect();
    }
    return -1;
}

}  // namespace vesk::ui
