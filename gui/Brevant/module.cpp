// Brevant.dll: an in-process COM server with one class, VeskSH.
#include <windows.h>

#include "extern/comserver/classFactory.h"
#include "extern/comserver/selfRegistration.h"
#include "extern/comserver/serverCount.h"
#include "gui/Brevant/brevantIds.h"
#include "gui/Brevant/module.h"
#include "gui/Brevant/vesksh.h"

namespace vesk::brevant {

namespace {

HMODULE thisModule = nullptr;

const comserver::classEntry classes[] = {
    {&CLSID_VeskSH, &VeskSH::create},
};

}  // namespace

HMODULE brevantModule() { return thisModule; }

}  // namespace vesk::brevant

using namespace vesk;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        brevant::thisModule = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return comserver::canUnloadNow(); }

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
    return comserver::getClassObject(brevant::classes, sizeof brevant::classes / sizeof brevant::classes[0], clsid,
                                     iid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    return comserver::registerServer(brevant::thisModule, IDR_VESKSH);
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return comserver::unregisterServer(brevant::thisModule, IDR_VESKSH);
}
