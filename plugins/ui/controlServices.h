// The controller's services made here: the options dialog with its General
// page, the tray icon and the debug window, the two information dialogs,
// the resource modules and the window flags with their keys. Each object is a
// core object (its count stays fixed; releaseCore ends it), made on the
// host's thread after ListServices() is filled; its windows are made later
// on the GUI thread.
#pragma once

#include <windows.h>

#include "plugins/ui/aboutDialog.h"
#include "plugins/ui/creditsDialog.h"
#include "plugins/ui/dockDebugWnd.h"
#include "plugins/ui/generalPage.h"
#include "plugins/ui/options.h"
#include "plugins/ui/resourceModules.h"
#include "plugins/ui/trayCtrl.h"
#include "plugins/ui/windowFlags.h"

namespace vesk::ui {

// Null when the page lock cannot be made through the module's factory.
VOptions* CreateOptions();
VTrayCtrl* CreateTrayCtrl();
VDockDebugWnd* CreateDockDebugWnd();

}  // namespace vesk::ui
