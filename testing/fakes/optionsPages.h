// The options dialog's pages as the fake options object keeps them: each
// page is made from its template the first time it is selected, in a plain
// window of the GUI thread that stands in for the dialog, and gets OK (1),
// Apply (101) and Cancel (2) as WM_COMMAND with no control handle, as the
// real dialog forwards them. Every operation runs on the GUI thread.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "testing/fakes/guiThread.h"

namespace vesk::testing {

struct optionsPage {
    std::string title;
    std::string parent;  // empty for a top-level page
    int image = 0;
    int dialog = 0;  // 0: a group node without a page window
    HINSTANCE module = nullptr;
    DLGPROC procedure = nullptr;
    HWND window = nullptr;  // made at the first selection
};

class optionsPages {
public:
    explicit optionsPages(guiThread& gui) : gui_(gui) {}
    ~optionsPages();
    optionsPages(const optionsPages&) = delete;
    optionsPages& operator=(const optionsPages&) = delete;

    // The module a page without one uses (not owned).
    void setLanguageModule(HINSTANCE language) { language_ = language; }

    // Keeps the page (the texts copied); the dialog makes no window yet.
    void add(const char* title, const char* parent, int image, int dialog, HINSTANCE module, DLGPROC procedure);
    std::vector<optionsPage> pages();

    // Selects the page of the title as the dialog does: the current page
    // hidden, this one made at its first selection, placed and shown. Its
    // window; null for an unknown title, a group node or a template that
    // does not load.
    HWND select(const std::string& title);
    // WM_COMMAND with the command to every page window made so far, in the
    // order the pages were added.
    void press(WPARAM command);
    // The dialog itself shown or hidden: the current page gets
    // WM_SHOWWINDOW with both parameters 0.
    void dialogShown();
    // The window standing in for the dialog, made at the first selection.
    HWND dialogWindow() const { return dialog_; }
    // Paints the dialog and its pages now (for a screenshot).
    void paint();

private:
    void makeDialogWindow();

    guiThread& gui_;
    HINSTANCE language_ = nullptr;
    HWND dialog_ = nullptr;   // GUI thread only
    HWND current_ = nullptr;  // the page shown
    std::vector<optionsPage> pages_;
};

}  // namespace vesk::testing
