// The General page of the options dialog: the main window's four behaviour
// flags, the language of the next start and the default-settings command.
// One page window per process, made by the options dialog on the GUI
// thread; the controller fills the services before it adds the page.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>

#include "plugins/ui/windowFlags.h"
#include "vesk/ui.h"

namespace vesk::ui {

class VOptions;

struct generalPageServices {
    windowFlags* flags = nullptr;  // the controller's; not owned
    ITrayCtrl* tray = nullptr;     // not owned; may be null
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

// Adds the page under the title the options dialog loaded, with icon 320
// of the default module, and selects it; its tree item or null.
HTREEITEM AddGeneralPage(VOptions& options);

// Language name -> language id of every language module in the folder,
// read once per folder; an equal name keeps the last id.
const std::map<std::string, DWORD>& LanguageList(const std::string& folder);

}  // namespace vesk::ui
