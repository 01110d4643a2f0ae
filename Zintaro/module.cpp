// Zintaro.dll: an in-process COM server with one class, the Zintaro effect.
#include <windows.h>

#include "Zintaro/moduleResources.h"
#include "Zintaro/zintaro.h"
#include "Zintaro/zintaroIds.h"
#include "extern/comserver/classFactory.h"
#include "extern/comserver/selfRegistration.h"
#include "extern/comserver/serverCount.h"

namespace {

const vesk::comserver::classEntry classes[] = {
    {&CLSID_Zintaro, &vesk::zintaro::Zintaro::create},
};

}  // namespace

using namespace vesk;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(instance);
    // At process exit (reserved set) the pictures go with the process.
    if (reason == DLL_PROCESS_DETACH && !reserved)
        zintaro::freePictures();
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return comserver::canUnloadNow(); }

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
    return comserver::getClassObject(classes, sizeof classes / sizeof classes[0], clsid, iid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    return comserver::registerServer(zintaro::zintaroModule(), IDR_ZINTARO);
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return comserver::unregisterServer(zintaro::zintaroModule(), IDR_ZINTARO);
}
