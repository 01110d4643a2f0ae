#include "extern/comserver/selfRegistration.h"

#include <olectl.h>

#include "extern/comserver/scriptApplier.h"
#include "extern/comserver/typeLibrary.h"

namespace vesk::comserver {

namespace {

bool scriptText(HMODULE module, int scriptId, std::string& text) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(scriptId), "REGISTRY");
    if (!found)
        return false;
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return false;
    text.assign(static_cast<const char*>(bytes), SizeofResource(module, found));
    return true;
}

}  // namespace

bool loadServerScript(HMODULE module, int scriptId, registryScript& script, std::string& error) {
    std::string text;
    if (!scriptText(module, scriptId, text)) {
        error = "no REGISTRY resource " + std::to_string(scriptId);
        return false;
    }
    std::wstring path;
    if (!modulePath(module, path)) {
        error = "the module's path is not known";
        return false;
    }
    return parseRegistryScript(text, {{"MODULE", path}}, script, error);
}

HRESULT registerServer(HMODULE module, int scriptId) {
    registryScript script;
    std::string error;
    if (!loadServerScript(module, scriptId, script, error))
        return SELFREG_E_CLASS;
    if (FAILED(applyScript(script))) {
        removeScript(script);
        return SELFREG_E_CLASS;
    }
    if (FAILED(registerTypeLibrary(module))) {
        removeScript(script);
        return SELFREG_E_TYPELIB;
    }
    return S_OK;
}

HRESULT unregisterServer(HMODULE module, int scriptId) {
    registryScript script;
    std::string error;
    if (!loadServerScript(module, scriptId, script, error))
        return SELFREG_E_CLASS;
    HRESULT library = unregisterTypeLibrary(module);
    HRESULT keys = removeScript(script);
    if (FAILED(library))
        return SELFREG_E_TYPELIB;
    return FAILED(keys) ? SELFREG_E_CLASS : S_OK;
}

}  // namespace vesk::comserver
