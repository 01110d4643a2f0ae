// vesk::ui::ZUdoradurStatDockWnd: the statistics window, a dock tab bar
// with one list of text lines, newest on top, as many as fit and ten more.
#pragma once

#include <windows.h>

#include "core/capsule.h"
#include "plugins/ui/agentListView.h"
#include "plugins/ui/tabBarHost.h"
#include "vesk/ui.h"

namespace vesk::ui {

class ZUdoradurStatDockWnd : public objectBase, public IGnutellaStatDockWnd, public IcoreObject {
public:
    static constexpr int extraRows = 10;
    static constexpr int tipWidth = 300;

    ZUdoradurStatDockWnd();

    int Create(const char* name, RECT* rect) override;
    bool AddLine(const char* text) override;

    CAgentListView& Lines() { return lines_; }
    IDockTabBarWnd* GetDockWnd() { return tabs_.Bar(); }

private:
    static LRESULT Hook(void* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    tabBarHost tabs_;
    CAgentListView lines_;
    long tipCount_ = 0;  // shown in the tooltip; nothing counts it yet
};

}  // namespace vesk::ui
