// In-process COM servers as tests meet them: loaded by their path and
// entered through their exports as COM does, the references they hand out,
// and the apartment a test thread calls them from.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <string>

namespace vesk::testing {

// A COM reference released when it goes.
template <class T>
class comRef {
public:
    comRef() = default;
    ~comRef() { reset(); }
    comRef(const comRef&) = delete;
    comRef& operator=(const comRef&) = delete;
    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    void** out() {
        reset();
        return reinterpret_cast<void**>(&object_);
    }
    void reset() {
        if (object_)
            object_->Release();
        object_ = nullptr;
    }

private:
    T* object_ = nullptr;
};

// The calling thread in a single-threaded apartment while this lives.
class comApartment {
public:
    comApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~comApartment() {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    comApartment(const comApartment&) = delete;
    comApartment& operator=(const comApartment&) = delete;

private:
    HRESULT result_;
};

// The subkey under which a registered type library names its file:
// "win32" or "win64", after the build.
const char* typeLibraryPlatform();

// The text in lower case: paths the registry keeps may differ in case only.
std::string lowerCase(std::string text);

// A server DLL with its four exports, and the class it serves.
class comServerDll {
public:
    // Loads the DLL at path; throws when it cannot, or lacks an export.
    comServerDll(const std::string& path, const CLSID& clsid);
    ~comServerDll();
    comServerDll(const comServerDll&) = delete;
    comServerDll& operator=(const comServerDll&) = delete;

    const std::string& path() const { return path_; }
    // The module's file name as the loader knows it.
    std::string modulePath() const;
    HRESULT registerServer() const { return register_(); }
    HRESULT unregisterServer() const { return unregister_(); }
    HRESULT canUnloadNow() const { return canUnloadNow_(); }
    HRESULT classObject(REFCLSID clsid, REFIID iid, void** object) const { return getClassObject_(clsid, iid, object); }
    // A new object of the class through its class factory, as its interface iid.
    HRESULT create(REFIID iid, void** object) const;

private:
    using entry = HRESULT(STDAPICALLTYPE*)();
    using classEntry = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

    std::string path_;
    CLSID clsid_;
    HMODULE module_ = nullptr;
    entry register_ = nullptr;
    entry unregister_ = nullptr;
    entry canUnloadNow_ = nullptr;
    classEntry getClassObject_ = nullptr;
};

}  // namespace vesk::testing
