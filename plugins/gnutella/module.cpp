// The entry points of the Gnutella module. It registers last: it needs the
// manager, the settings store, the share engine, the user interface's
// windows, the network module and the threader.
#include <windows.h>

#include "plugins/gnutella/lifecycle.h"
#include "vesk/host.h"

using namespace vesk;

VESK_ENTRY int _register(Icartridge* self, Icore* core) {
    return gnutella::RegisterModule(self, core);
}

VESK_ENTRY int _load() {
    return gnutella::LoadModule();
}

VESK_ENTRY int _initialize() {
    return gnutella::InitializeModule();
}

VESK_ENTRY int _unload() {
    return gnutella::UnloadModule();
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    // At process exit (reserved set) the host's objects may be gone already:
    // only a library freed while the process runs lets go of its entity.
    if (reason == DLL_PROCESS_DETACH && !reserved)
        gnutella::ReleaseEntity();
    return TRUE;
}
