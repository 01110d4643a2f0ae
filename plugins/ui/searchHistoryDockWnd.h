// vesk::ui::VSearchHistoryDockWnd: one row per search, in a dock tab bar;
// the status bar's pane 3 counts the searches and their results. The
// manager adds and refreshes rows from the search threads.
#pragma once

#include <windows.h>

#include <string>

#include "core/capsule.h"
#include "plugins/ui/agentListView.h"
#include "plugins/ui/tabBarHost.h"
#include "vesk/ui.h"

namespace vesk::ui {

class VSearchHistoryDockWnd : public objectBase, public ISearchHistoryDockWnd, public IcoreObject {
public:
    static constexpr int statusPane = 3;
    static constexpr int tipWidth = 300;

    VSearchHistoryDockWnd();

    // 0, as the interface has it.
    int Create(const char* name, RECT* rect) override;
    IDockTabBarWnd* GetDockWnd() override { return tabs_.Bar(); }
    int RemoveSearch(ss::IAgent* search) override;
    bool UpdateSearch(ss::IAgent* search) override;
    void SaveColumns() { history_.SaveColumns(); }

    CAgentListView& History() { return history_; }
    // "S: " searches " SR: " their result count (attribute 40021 summed).
    std::string CountText();

private:
    static LRESULT Hook(void* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Recount();
    long ResultSum();
    void ActivateRow(int row);

    tabBarHost tabs_;
    CAgentListView history_;
};

}  // namespace vesk::ui
