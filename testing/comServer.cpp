#include "testing/comServer.h"

#include <stdexcept>

namespace vesk::testing {

namespace {

template <class Function>
Function exported(HMODULE module, const std::string& path, const char* name) {
    FARPROC address = GetProcAddress(module, name);
    if (!address)
        throw std::runtime_error(path + " does not export " + name);
    return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

}  // namespace

const char* typeLibraryPlatform() {
#ifdef _WIN64
    return "win64";
#else
    return "win32";
#endif
}

std::string lowerCase(std::string text) {
    if (!text.empty())
        CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

comServerDll::comServerDll(const std::string& path, const CLSID& clsid) : path_(path), clsid_(clsid) {
    module_ = LoadLibraryA(path_.c_str());
    if (!module_)
        throw std::runtime_error("cannot load " + path_);
    try {
        register_ = exported<entry>(module_, path_, "DllRegisterServer");
        unregister_ = exported<entry>(module_, path_, "DllUnregisterServer");
        canUnloadNow_ = exported<entry>(module_, path_, "DllCanUnloadNow");
        getClassObject_ = exported<classEntry>(module_, path_, "DllGetClassObject");
    } catch (...) {
        FreeLibrary(module_);
        throw;
    }
}

comServerDll::~comServerDll() { FreeLibrary(module_); }

std::string comServerDll::modulePath() const {
    char name[MAX_PATH];
    DWORD n = GetModuleFileNameA(module_, name, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(name, n) : std::string();
}

HRESULT comServerDll::create(REFIID iid, void** object) const {
    *object = nullptr;
    comRef<IClassFactory> factory;
    HRESULT result = classObject(clsid_, IID_IClassFactory, factory.out());
    return FAILED(result) ? result : factory->CreateInstance(nullptr, iid, object);
}

}  // namespace vesk::testing
