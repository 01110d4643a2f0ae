// The parts of controlServices.h not built into the module yet: no options
// dialog, tray icon, debug window or information dialogs. A part that is
// built takes its functions out of this file.
#include "plugins/ui/controlServices.h"

namespace vesk::ui {

IOptions* MakeVOptions() { return nullptr; }
bool OptionsDialogVisible() { return false; }
ITrayCtrl* MakeVTrayCtrl() { return nullptr; }
Igeneric* MakeVDockDebugWnd() { return nullptr; }
DLGPROC GeneralPageProcedure() { return nullptr; }
void SelectOptionsPage(HTREEITEM) {}
void ShowSaveOnExitOnGeneralPage(bool) {}
void HideTaskbarButton(HWND) {}
void ShowTaskbarButton(HWND) {}
void ShowInformationDialog(HWND) {}
void ShowAboutDialog(HWND) {}

}  // namespace vesk::ui
