// vesk::ui::VSearchResultWnd: the result window of one search. Every
// result window of the process shares one frame child window and one
// owner-data list; the active window's results are the rows shown. The
// window filters its search's results by the header's filter texts (the
// results it takes out are kept and come back when the filters empty) and
// sorts them by a clicked column.
//
// Threads: RefreshList and Remove may come from the protocol module's
// search threads; their list work runs on the GUI thread in one sent
// message. The results vector is shared with the search, which appends to
// it; its own lock serializes single operations.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "core/capsule.h"
#include "plugins/ui/resultFilter.h"
#include "vesk/ss.h"
#include "vesk/ui.h"

namespace vesk::ui {

class CAgentListView;

class VSearchResultWnd : public objectBase, public ISearchResultWnd {
public:
    static constexpr DWORD listStyle = 0x50311141;
    static constexpr int columnMenuBase = 1256;
    static constexpr int filterHeaderHeight = 35;

    VSearchResultWnd();
    ~VSearchResultWnd();

    // 0 without a controller, frame or child window; else 1.
    int Create(const char* name, RECT* rect) override;
    HWND GetListWnd() override;
    IFrameChildWnd* GetChildWnd() override;
    int ShowFilter() override;
    int HideFilter() override;
    void Refresh(int unused) override { RefreshList(unused); }
    int RefreshList(int unused) override;
    void Remove(ss::IAgent* row) override;
    void Attach(ss::IAgent* search) override;
    void SaveColumns() override;
    void Close() override;
    void Activate() override;

    bool IsActive() const { return active_; }
    // The results now shown, in order, each referenced.
    std::vector<ss::IAgent*> Rows();
    // Sorts the results by a column's field, flipping between ascending
    // (first) and descending.
    void SortByColumn(int column);
    // The filter texts by field, as the header's filter bar holds them.
    void SetFilters(const columnFilters& filters) { filters_ = filters; }
    // Empties every column's filter: the results it took out come back at
    // the end of the list.
    void ClearFilter();
    // Switches the shared list to the view of a view-menu command; false
    // for another command.
    static bool SetView(int command);

    // A result row's tooltip: name and size, then status, progress and
    // time left when the row has them.
    static std::string RowTip(ss::IAgent* agent);

    // The shared list (made by the first Create; null before).
    static CAgentListView* SharedList();

private:
    static LRESULT Hook(void* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void ApplyFilter();
    // The rows' action menu with the views' submenu at its end.
    void TrackRowMenu(LPARAM point);
    void ReadHeaderFilters();
    void SetRowCount();
    void ReleaseSearch();
    // The row whose name begins with the typed text; -1 when none.
    LRESULT FindTypedRow(UINT flags, int start, const std::string& typed);

    ss::IAgent* searchAgent_ = nullptr;  // one reference
    Ivector* results_ = nullptr;         // one reference
    std::vector<ss::IAgent*> filteredOut_;  // each referenced
    columnFilters filters_;
    std::map<int, bool> descending_;
    IWndProc* hook_ = nullptr;           // one reference, on the child window
    IFrameChildWnd* child_ = nullptr;    // one reference
    bool filterShown_ = false;
    bool active_ = false;
};

}  // namespace vesk::ui
