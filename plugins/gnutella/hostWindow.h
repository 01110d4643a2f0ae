// The module's hold on the host window: a message hook on the window's
// container, through which the commands of its connection and host-cache
// pages reach the module on the GUI thread.
#pragma once

#include <windows.h>

namespace vesk::gnutella {

// Hooks the host window's container (waiting for the window up to the
// bound the window gives; without the window, logs and goes on), then adds
// the option pages. 0.
int InitGui();

// The host window may be made later than InitGui waits for (a slow start of
// the user interface): the active host thread calls this at each turn until
// the hook is on; the window is looked for at most once a second (of the
// module's clock). True once hooked; false while there is no host window or
// InitGui has not run.
bool HookLateHostWindow();

// The hook's procedure (GUI thread): carries out the commands of the
// connection and host-cache pages; every message goes on to the window (-1).
LRESULT host_window_hook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace vesk::gnutella
