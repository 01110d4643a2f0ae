// The list windows of the main window's layout, as the controller sees
// them. Their objects are made at registration (the controller publishes
// those other modules fill); while it builds the layout the controller calls
// one Make function per window, in the layout's order, on the GUI thread.
// Each creates its window with the caption and the layout's rectangle and
// gives the dock window whose state the controller restores and saves
// (null when the window was not made).
#pragma once

#include <windows.h>

#include "vesk/ui.h"

namespace vesk::ui {

struct listWindowObjects {
    IDockTransferWnd* transfer = nullptr;  // core objects, kept for the process
    IGnutellaHostDockWnd* host = nullptr;
    IGnutellaStatDockWnd* statistics = nullptr;
    ISearchHistoryDockWnd* history = nullptr;
    IAgentExplorerCtrl* explorer = nullptr;  // may be missing
};

// Makes the objects the first time and gives the same ones afterwards;
// false while one that must exist (all but the explorer control) is
// missing.
bool MakeListWindowObjects(listWindowObjects& out);

IDockWnd* MakeVDockSearchBar(IUIControl* control, const char* caption, RECT* rect);
IDockWnd* MakeZUdoradurHostDockWnd(IUIControl* control, const char* caption, RECT* rect);
IDockWnd* MakeZUdoradurStatDockWnd(IUIControl* control, const char* caption, RECT* rect);
IDockWnd* MakeVDockTransferWnd(IUIControl* control, const char* caption, RECT* rect);
// The toolbar also when the media player control cannot be hosted.
IDockWnd* MakeVTBAudioPlayer(IUIControl* control, const char* caption, RECT* rect);
// The audio toolbar's player goes on the GUI thread while its windows and
// COM still exist, when the message loop has ended.
void EndAudioPlayer();
IDockWnd* MakeVSearchHistoryDockWnd(IUIControl* control, const char* caption, RECT* rect);

// A new result window (count 0) whose window exists, or null.
ISearchResultWnd* MakeVSearchResultWnd(IUIControl* control, const char* name, RECT* rect);

// The save hook's share: the transfer window's lists and the history list
// save their columns.
void SaveListColumns();

// Main-window commands that act inside these windows: the action fired on
// the current result window's selected rows, its column filter cleared,
// the media player's volume and mute.
void FireOnResultSelection(const char* action);
void ClearResultFilter();
void ChangePlayerVolume(int change);
void TogglePlayerMute();

// Owner-drawn menu items carry a vesk::Istring* with their text as item
// data; the index of that text's image in the shared small image list,
// -1 when it has none.
int MenuItemImage(const char* text);

}  // namespace vesk::ui
