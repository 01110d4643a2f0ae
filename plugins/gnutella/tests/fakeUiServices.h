// The user interface's services as the module's _register stores them,
// taken from the recording fake.
#pragma once

#include "plugins/gnutella/gnutellaInternal.h"
#include "testing/fakes/fakeUi.h"

namespace vesk::gnutella::test {

inline void UseFakeUserInterface(vesk::testing::fakeUi& ui) {
    g_Services.frame = ui.frame();
    g_Services.statusBar = ui.statusBar();
    g_Services.uiControl = ui.control();
    g_Services.tray = ui.tray();
    g_Services.hostWindow = ui.hostWindow();
    g_Services.transferWindow = ui.transferWindow();
    g_Services.options = ui.options();
    g_Services.statWindow = ui.statWindow();
}

}  // namespace vesk::gnutella::test
