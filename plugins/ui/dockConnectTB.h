// vesk::ui::VDockConnectTB: the connect toolbar (connect, disconnect),
// published for the manager, which connects through it at start.
#pragma once

#include <windows.h>

#include "core/capsule.h"
#include "plugins/ui/toolBarHost.h"
#include "vesk/ui.h"

namespace vesk::ui {

class VDockConnectTB : public objectBase, public IDockConnectTB, public IcoreObject {
public:
    static constexpr DWORD style = 0x52000B4C;
    static constexpr DWORD exStyle = 0x18;

    VDockConnectTB();

    int Create(const char* caption, RECT* rect) override;
    // Connected: connect disabled and disconnect enabled, 0; otherwise the
    // reverse, 1.
    int SetConnectedState(int connected) override;
    bool IsConnected() override;
    int Connect() override;
    int Disconnect() override;

    IDockToolBarWnd* ToolBar() const { return bar_.Bar(); }
    HWND Buttons() const { return bar_.Buttons(); }

private:
    static LRESULT Hook(void* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void MarkMenu(bool connected);

    toolBarHost bar_;
    bool connected_ = false;
};

}  // namespace vesk::ui
