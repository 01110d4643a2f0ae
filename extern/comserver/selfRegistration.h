// DllRegisterServer and DllUnregisterServer of a server that describes its
// registration as a registry script (resource "REGISTRY" scriptId, where
// %MODULE% is the module's path) and carries a type library.
#pragma once

#include <windows.h>

#include <string>

#include "extern/comserver/registryScript.h"

namespace vesk::comserver {

// Applies the script, then registers the type library. A failure takes
// away what was written and is answered (SELFREG_E_CLASS for the script,
// SELFREG_E_TYPELIB for the library).
HRESULT registerServer(HMODULE module, int scriptId);

// Unregisters the type library (one that is not registered is no failure),
// then removes what the script owns; a failure of either is answered.
HRESULT unregisterServer(HMODULE module, int scriptId);

// The script of the module's resource with %MODULE% replaced; false with
// a message when it is missing or does not parse.
bool loadServerScript(HMODULE module, int scriptId, registryScript& script, std::string& error);

}  // namespace vesk::comserver
