// The manager's pages in the options dialog: shared folders, download and
// temporary folders, search and filters. Each reads the manager (or the
// share list) when it starts and writes back on OK (1) and Apply (101);
// Cancel (2) shows the manager's values again. All on the GUI thread.
#pragma once

#include <windows.h>

#include <string>

namespace vesk::ss {

// A top-level page: its title text and template from the language
// module, its icon from the default module.
void AddOptionPage(unsigned titleId, int iconId, int dialogId, DLGPROC procedure);
// The shared-folders page (added when the share list is first loaded).
void AddSharesPage();
// The folders, search and filters pages (added by _initialize).
void AddManagerPages();

INT_PTR CALLBACK SharesPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK FoldersPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SearchPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK FiltersPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// What the pages hand to the shell and the user: modal windows, which a
// test replaces (Wine's shell windows would wait for a person).
struct pageShell {
    // The shell's folder browser, starting at start: the folder chosen,
    // empty when none.
    std::string (*browseForFolder)(HWND owner, const std::string& start);
    // A message to the user about a request that was refused.
    void (*tellUser)(HWND owner, const char* text);
    // Shows the menu at the point and returns the command chosen (0 for none).
    int (*chooseFromMenu)(HWND owner, HMENU menu, POINT at);
};
pageShell& PageShell();

// The options dialog's commands to every page.
enum pageCommand : WPARAM { pageOk = 1, pageCancel = 2, pageApply = 101 };

}  // namespace vesk::ss
