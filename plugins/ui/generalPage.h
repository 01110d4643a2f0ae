// The General page of the options dialog: the main window's four behaviour
// flags, the language of the next start and the default-settings command.
// One page window per process, made by the options dialog on the GUI
// thread; the controller fills the services before it adds the page.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>

#include "vesk/ui.h"

namespace vesk::ui {

class VOptions;

// The controller's window-behaviour flags (each 1 or 0) and the language
// chosen for the next start (0: the system's), as the page sees them.
struct windowFlags {
    int minimizeToTray = 0;
    int minimizeOnStart = 0;
    int showInTray = 1;
    int saveOnExit = 0;
    DWORD languageId = 0;
};

struct generalPageServices {
    // The controller's flags: read when the page shows them, written back
    // when it is applied (and SaveOnExit by the default-settings command).
    // The page does nothing until both are set.
    windowFlags (*readFlags)() = nullptr;
    void (*writeFlags)(const windowFlags& flags) = nullptr;
    ITrayCtrl* tray = nullptr;  // not owned; may be null
    // Shows or clears the check mark of the menu's save-on-exit item; may
    // be null.
    void (*markSaveOnExit)(bool saveOnExit) = nullptr;
    std::string moduleFolder = "plugins\\";  // where the language modules rsrc*.vkm lie
    std::string defaultsFile = "vesk.egg";   // the settings file the defaults replace
};

generalPageServices& GeneralPageServices();

// Private message: fills the language list, the first time only.
constexpr UINT WM_GENERAL_FILL_LANGUAGES = WM_USER + 49;

INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// The page's window once the options dialog made it; null before.
HWND GeneralPageWindow();

// Adds the page under the title the options dialog loaded, with icon 320
// of the default module, and selects it; its tree item or null.
HTREEITEM AddGeneralPage(VOptions& options);

// Language name -> language id of every language module in the folder,
// read once per folder; an equal name keeps the last id.
const std::map<std::string, DWORD>& LanguageList(const std::string& folder);

}  // namespace vesk::ui
