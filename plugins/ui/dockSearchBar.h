// vesk::ui::VDockSearchBar: the search bar, a dock toolbar with the query
// box and the search button. A query asks the manager for a new search,
// gives the search's own agent the user's actions (stop, clear, clear all)
// and shows the search's result window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/capsule.h"
#include "vesk/ss.h"
#include "vesk/ui.h"

namespace vesk::ui {

class VDockSearchBar : public objectBase, public IDockSearchBar {
public:
    static constexpr DWORD toolBarStyle = 0x52001B4C;
    static constexpr DWORD toolBarExStyle = 24;
    static constexpr DWORD queryBoxStyle = 0x50800002;
    static constexpr int queryLimit = 255;

    VDockSearchBar();
    ~VDockSearchBar();

    int Create(const char* name, RECT* rect) override;
    // Starts a search for the query (GUI thread); 1, or 0 for an empty
    // query, no manager or a search that cannot be made.
    int Search(const char* query);

    HWND QueryBox() const { return queryBox_; }
    IDockToolBarWnd* ToolBar() const { return toolBar_; }
    // The queries of the box, top first.
    std::vector<std::string> Queries();

    // The result window shown while no search is: made by Create and by
    // each clear, which releases the one before.
    static void HoldEmptyResultWindow(ISearchResultWnd* window);
    static ISearchResultWnd* ShowEmptyResultWindow(const RECT& rect);

    // The actions put on every search agent.
    static int StopAction(ss::IAgent* agent);
    static int ClearAction(ss::IAgent* agent);
    static int ClearAllAction(ss::IAgent* agent);

private:
    static LRESULT Hook(void* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void LayOut(int width);
    std::string EditText();

    IDockToolBarWnd* toolBar_ = nullptr;  // one reference
    IWndProc* hook_ = nullptr;            // one reference, on the container
    HWND queryBox_ = nullptr;
    ss::ISearchInst* pendingSearch_ = nullptr;  // while Search runs
    std::string lastQuery_;
};

}  // namespace vesk::ui
