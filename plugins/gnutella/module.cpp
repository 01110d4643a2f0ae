// The entry points of the Gnutella module. It registers last: it needs the
// manager, the settings store, the share engine, the user interface's
// windows, the network module and the threader.
#include <windows.h>

#include <string>

#include "plugins/gnutella/CGWebCache.h"
#include "plugins/gnutella/lifecycle.h"
#include "vesk/host.h"

using namespace vesk;

namespace {

std::string currentFolder() {
    char folder[MAX_PATH] = {};
    DWORD n = GetCurrentDirectoryA(sizeof folder, folder);
    return n > 0 && n < sizeof folder ? std::string(folder, n) : std::string(".");
}

// The module's one web-cache client, built as the library loads (its file
// read from the folder the host runs in) and written back at each unload.
gnutella::CGWebCache webCacheClient(gnutella::BuiltInWebCaches(), currentFolder());

}  // namespace

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
    if (reason == DLL_PROCESS_ATTACH)
        gnutella::g_WebCache = &webCacheClient;
    // At process exit (reserved set) the host's objects may be gone already:
    // only a library freed while the process runs lets go of its entity.
    if (reason == DLL_PROCESS_DETACH && !reserved)
        gnutella::ReleaseEntity();
    if (reason == DLL_PROCESS_DETACH)
        gnutella::g_WebCache = nullptr;
    return TRUE;
}
