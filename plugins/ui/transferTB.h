// vesk::ui::VTransferTB: the transfer toolbar: clear and retry every
// download, the two auto-clear switches, the quick connect, and download
// or stop the selected results.
#pragma once

#include "core/capsule.h"
#include "plugins/ui/toolBarHost.h"
#include "plugins/ui/toolBars.h"

namespace vesk::ui {

class VTransferTB : public objectBase, public ITransferTB {
public:
    VTransferTB();
    // 1, or -1 when the dock toolbar is not made.
    int Create(const char* caption, RECT* rect);
    IDockToolBarWnd* ToolBar() const { return bar_.Bar(); }
    HWND Buttons() const { return bar_.Buttons(); }

private:
    static LRESULT Hook(void* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Flips one auto-clear switch: the button and both settings it covers.
    void FlipAutoClear(int button, int first, int second);

    toolBarHost bar_;
};

}  // namespace vesk::ui
