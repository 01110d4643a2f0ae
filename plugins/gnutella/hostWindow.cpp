#include "plugins/gnutella/hostWindow.h"

#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/optionPages.h"

namespace vesk::gnutella {

LRESULT host_window_hook(HWND, UINT, WPARAM, LPARAM) {
    return -1;
}

int InitGui() {
    Ifactory* factory = moduleFactory();
    unsigned long hookClass = factory ? factory->findClass("vesk::ui::VWndProc") : 0;
    Igeneric* made = hookClass ? factory->create2(hookClass, g_State.token, addressValue(&host_window_hook),
                                                  value(static_cast<pointerInt>(0)))
                               : nullptr;
    ref<Igeneric> held(made);  // the container takes its own reference
    ui::IWndProc* hook = interfaceCast<ui::IWndProc>(made);
    ui::IDockContainer* container = g_Services.hostWindow ? g_Services.hostWindow->WaitCreated() : nullptr;
    ui::IWndEvents* events = interfaceCast<ui::IWndEvents>(container);
    if (!events)
        LogLine("GNUTELLA INIT: <Error> no host window: its commands are not hooked\r\n");
    else if (hook)
        events->AddMessageHook(hook);
    init_options();  // the pages need no host window
    return 0;
}

}  // namespace vesk::gnutella
