// What the controller and the menu bar take from the options dialog, the
// tray icon, the debug window and the information dialogs, which are built
// beside them. Each maker gives the module's one object (a core object,
// made on the first call and kept for the process); until a part is built
// into the module its maker gives null, its operations do nothing, and the
// module starts without that service.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "vesk/object.h"
#include "vesk/ui.h"

namespace vesk::ui {

IOptions* MakeVOptions();
// The options dialog's window is shown.
bool OptionsDialogVisible();
ITrayCtrl* MakeVTrayCtrl();
// Published as "vesk::ui::IDockDebugWnd *".
Igeneric* MakeVDockDebugWnd();

// The General page of the options dialog: its dialog procedure (dialog 125
// of the language module); null while it is not built.
DLGPROC GeneralPageProcedure();
// Selects the page's tree item in the options dialog.
void SelectOptionsPage(HTREEITEM item);
// Box 474 of the General page follows the save-on-exit flag when the page
// exists.
void ShowSaveOnExitOnGeneralPage(bool on);

// The tray control's taskbar-button operations on the main window.
void HideTaskbarButton(HWND mainWindow);
void ShowTaskbarButton(HWND mainWindow);

// Information dialogs 111 and 323, modal, owned by the main window.
void ShowInformationDialog(HWND mainWindow);
void ShowAboutDialog(HWND mainWindow);

}  // namespace vesk::ui
