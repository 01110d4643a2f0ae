#include "plugins/ui/controlServices.h"

#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/aboutDialog.h"
#include "plugins/ui/creditsDialog.h"
#include "plugins/ui/dockDebugWnd.h"
#include "plugins/ui/generalPage.h"
#include "plugins/ui/options.h"
#include "plugins/ui/trayCtrl.h"

namespace vesk::ui {

namespace {

// The module's objects, made on first use and kept for the process: other
// modules hold the published ones until they end.
VOptions* TheOptions() {
    static VOptions* options = CreateOptions();
    return options;
}

VTrayCtrl* TheTray() {
    static VTrayCtrl* tray = CreateTrayCtrl();
    return tray;
}

VDockDebugWnd* TheDebugWindow() {
    static VDockDebugWnd* debug = CreateDockDebugWnd();
    return debug;
}

}  // namespace

IOptions* MakeVOptions() {
    return TheOptions();
}

bool OptionsDialogVisible() {
    HWND dialog = TheOptions() ? TheOptions()->Dialog() : nullptr;
    return dialog && ::IsWindowVisible(dialog);
}

ITrayCtrl* MakeVTrayCtrl() {
    return TheTray();
}

Igeneric* MakeVDockDebugWnd() {
    IDockDebugWnd* debug = TheDebugWindow();
    return debug ? static_cast<Igeneric*>(debug) : nullptr;
}

DLGPROC GeneralPageProcedure() {
    return &GeneralPageProc;
}

void SelectOptionsPage(HTREEITEM item) {
    if (VOptions* options = TheOptions())
        options->Select(item);
}

void ShowSaveOnExitOnGeneralPage(bool on) {
    if (HWND page = GeneralPageWindow())
        ::CheckDlgButton(page, IDC_UIO_SAVE_ON_EXIT, on ? BST_CHECKED : BST_UNCHECKED);
}

void HideTaskbarButton(HWND mainWindow) {
    VTrayCtrl::HideTaskbarButton(mainWindow);
}

void ShowTaskbarButton(HWND mainWindow) {
    VTrayCtrl::ShowTaskbarButton(mainWindow);
}

void ShowInformationDialog(HWND mainWindow) {
    RunCreditsDialog(mainWindow);
}

void ShowAboutDialog(HWND mainWindow) {
    // The main window's caption is the controller's title.
    char title[64] = "";
    if (mainWindow)
        ::GetWindowTextA(mainWindow, title, sizeof title);
    RunAboutDialog(mainWindow, title);
}

}  // namespace vesk::ui
