// vesk::ui::VSearchTB: the search toolbar, acting on the current result
// window: clear its column filter, show or hide its filter bar.
#pragma once

#include "core/capsule.h"
#include "plugins/ui/toolBarHost.h"
#include "plugins/ui/toolBars.h"

namespace vesk::ui {

class VSearchTB : public objectBase, public ISearchTB {
public:
    VSearchTB();
    int Create(const char* caption, RECT* rect) override;
    IDockToolBarWnd* ToolBar() const { return bar_.Bar(); }

private:
    static LRESULT Hook(void* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    toolBarHost bar_;
};

}  // namespace vesk::ui
