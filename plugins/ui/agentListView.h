// vesk::ui::CAgentListView: the list control of every list of agents. A
// report view ("SysListView32") whose rows are agents and whose columns are
// the fields the manager declares for the list's type. Cell texts come on
// demand; rows are coloured by agent properties; one column may draw a
// progress bar; keys, double clicks and menu choices fire named actions on
// the selected rows; columns are saved and restored through the settings;
// rows drag out as files.
//
// Threads: the window and every row change belong to the GUI thread. Other
// threads may call AddItem, UpdateItem, RemoveItem and Clear: the work goes
// over in one message sent to the list, run while the caller waits (the
// caller must hold no lock the GUI thread may take). A row leaves the
// control before its agent is released. Rows without an agent (text rows
// of the statistics list) are never read or released.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "vesk/lock.h"
#include "vesk/ss.h"

namespace vesk {
struct Istring;
}

namespace vesk::ui {

class CAgentListView {
public:
    // Runs on the GUI thread before a new row is inserted for the agent.
    using newRowHook = std::function<void(ss::IAgent* agent)>;
    // The agent of a row, with a reference for the caller; null when none.
    using rowSource = std::function<ss::IAgent*(int row)>;

    static constexpr DWORD defaultStyle = 0x50310141;
    static constexpr DWORD defaultExStyle = 0x4432;
    static constexpr int defaultColumnMenuBase = 1224;
    static constexpr int actionMenuBase = 2600;
    static constexpr int actionMenuLimit = 100;  // ids 2600 to 2699
    static constexpr int columnMenuToggles = 40;
    static constexpr int columnDialogOffset = 114;

    CAgentListView();
    ~CAgentListView();
    CAgentListView(const CAgentListView&) = delete;
    CAgentListView& operator=(const CAgentListView&) = delete;

    int useImageLists = 1;

    // Refuses (null) when a list exists and no parent is given. Style 0 and
    // extended style 0 take the defaults.
    HWND Create(HWND parent, DWORD style, DWORD exStyle);
    // Adopts an existing list (a dialog's control); 1 when it is a window.
    int Attach(HWND list);
    HWND GetHandle() const { return listWnd_; }
    HWND GetHeader() const { return headerWnd_; }

    void SetPrimaryColumn(const char* field);
    const std::string& PrimaryColumn() const { return primaryColumn_; }
    void SetColumnMenuBase(int base) { columnMenuBase_ = base; }
    int ColumnMenuBase() const { return columnMenuBase_; }
    // Owner-data lists take their rows from here instead of item data.
    void SetRowSource(rowSource source) { rowSource_ = std::move(source); }
    // Whether the progress field's cells get a bar (on by default).
    void SetDrawsProgress(bool draws) { drawsProgress_ = draws; }
    // Whether the row background is the system window colour instead of
    // the list's own.
    void SetWindowBackground(bool on) { windowBackground_ = on; }

    // Columns from the manager's field table and the settings; 1.
    int SetColumns(const char* prefix, const char* listType);
    // Writes prefix + field + ".Order", ".Size", ".Visible" for every
    // column; 1, or 0 without a settings store or window.
    int SaveColumns();

    bool AddItem(ss::IAgent* agent) { return UpdateItem(agent); }
    bool UpdateItem(ss::IAgent* agent, const newRowHook& onNewRow = nullptr);
    int RemoveItem(ss::IAgent* agent);
    void Clear();
    // Inserts a row of plain text (no agent) at the top; false without a
    // window.
    bool InsertTextRow(const char* text);
    // The agent's row, from any thread; -1 when it has none.
    int RowOf(ss::IAgent* agent);

    void AddEventAction(const char* code, const char* action);
    const std::vector<std::string>* EventActions(const char* code) const;
    // Fires every action registered for the code on the selection; false
    // when the code has none.
    bool FireEvent(const char* code);
    void FireOnSelection(const char* action);

    // The parent window's messages; -1 when not handled.
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Rows out as files (GUI thread, modal while the drag lasts).
    void BeginDragOut(HWND list);
    // The visible selected rows' drag images in one list; null when none.
    // The caller destroys it.
    HIMAGELIST CreateDragImage(POINT* origin);

    // Runs work on the list's thread, from any thread; 0 without a window.
    LRESULT RunOnGuiThread(const std::function<LRESULT()>& work);

    // Reading the list (GUI thread).
    int RowCount();
    ss::IAgent* AgentAt(int row);  // referenced; null when none
    std::vector<ss::IAgent*> SelectedAgents();  // each referenced
    std::string ColumnField(int column) const;  // empty when none
    int ColumnIndex(const char* field) const;   // -1 when none
    std::vector<std::string> ColumnFields();    // in column order
    std::vector<int> DisplayOrder();            // column indexes left to right
    // The fields of the list type that take part, in the table's order.
    std::vector<std::string> TakingPartFields();

    // Menus (GUI thread): built, offered, then destroyed by the caller.
    HMENU BuildActionMenu();
    bool OnActionMenuCommand(int id);
    HMENU BuildColumnMenu();
    bool OnColumnMenuCommand(int id);
    // Tracks a popup at a screen point and carries out its command; the
    // menu is destroyed. extra: a popup appended under a caption and
    // removed again before the menu goes (its owner destroys it);
    // onOtherCommand gets commands the menu itself does not handle.
    void TrackActionMenu(POINT screen, HMENU extra = nullptr, const char* extraCaption = nullptr,
                         const std::function<void(int)>& onOtherCommand = nullptr);
    void TrackColumnMenu(POINT screen);
    // Where the action menu of a WM_CONTEXTMENU opens (the selection mark
    // for the keyboard's point); false when no row is selected.
    bool ActionMenuPoint(LPARAM point, POINT& at);
    // Modal dialog 324 of the language module; 1 for OK, 0 otherwise.
    INT_PTR ShowColumnDialog();

    // Sorts by a column's attribute, flipping its mark: first ascending.
    void SortByColumn(int column);
    // Applies skin values 24, 26, 27 (background, text background, text).
    void ApplySkinColours();

    // Comparison of two rows for a sort mark; never 0 for two agents.
    static int CompareRows(ss::IAgent* a, ss::IAgent* b, const char* field, LPARAM mark);

private:
    static LRESULT CALLBACK ListSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    static int CALLBACK CompareItems(LPARAM first, LPARAM second, LPARAM context);
    static INT_PTR CALLBACK ColumnDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    bool Adopt(HWND list);
    bool UpdateHere(ss::IAgent* agent, const newRowHook& onNewRow);
    int RemoveHere(ss::IAgent* agent);
    void ClearHere();
    int FindRow(ss::IAgent* agent);
    void RefreshCells(int row, ss::IAgent* agent);
    int AgentImage(ss::IAgent* agent, const char* field);
    void RebuildColumnMaps();
    int InsertColumn(const std::string& field, int order, int width);
    void ApplyOrder(const std::vector<std::pair<int, int>>& columnOrders);
    long ReadSetting(const std::string& key, long fallback);
    void WriteSetting(const std::string& key, long v);

    LRESULT OnNotify(NMHDR* header);
    LRESULT OnDisplayInfo(NMLVDISPINFOA* info);
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw);
    bool OnKeyDown(NMLVKEYDOWN* key);
    void OnContextMenu(HWND from, LPARAM point);
    void OnHeaderRightClick();
    LRESULT OnShellDragImage(LPARAM image);
    void EmptyOnDestroy();

    // Read by other threads to hand work over; set and cleared on the GUI
    // thread.
    HWND volatile listWnd_ = nullptr;
    HWND volatile headerWnd_ = nullptr;
    volatile bool clearing_ = false;
    std::map<std::string, int> columnByName_;
    std::map<int, std::string> nameByColumn_;
    std::map<int, std::string> actionByMenuId_;
    std::set<std::string> seenActions_;
    std::map<std::string, std::vector<std::string>> actionsByCode_;
    Istring* prefix_ = nullptr;    // one reference
    Istring* listType_ = nullptr;  // one reference
    std::string primaryColumn_;
    HIMAGELIST dragImage_ = nullptr;
    int columnMenuBase_ = defaultColumnMenuBase;
    Ilock* lock_ = nullptr;  // one reference; "vesk::spinLock"
    rowSource rowSource_;
    bool drawsProgress_ = true;
    bool windowBackground_ = false;
};

}  // namespace vesk::ui
