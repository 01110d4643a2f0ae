// vesk::ui::VViewTB: the view toolbar: the options dialog and the host,
// search-history, statistics and transfer windows. Its buttons and the view
// menu's items follow the windows, whichever way they were shown or hidden.
#pragma once

#include "core/capsule.h"
#include "plugins/ui/toolBarHost.h"
#include "plugins/ui/toolBars.h"

namespace vesk::ui {

class VViewTB : public objectBase, public IViewTB {
public:
    VViewTB();
    ~VViewTB();
    int Create(const char* caption, RECT* rect) override;
    IDockToolBarWnd* ToolBar() const { return bar_.Bar(); }
    HWND Buttons() const { return bar_.Buttons(); }

private:
    // One watched window: its menu item and button.
    struct watched {
        VViewTB* bar = nullptr;
        int item = 0;
        int button = 0;
        IDockWnd* window = nullptr;  // owned by the dock
        IWndProc* hook = nullptr;    // one reference, on the window's container
    };

    static LRESULT Hook(void* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT WindowHook(void* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Watch(watched& entry);

    toolBarHost bar_;
    watched windows_[4];
};

}  // namespace vesk::ui
