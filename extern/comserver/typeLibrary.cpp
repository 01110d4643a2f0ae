#include "extern/comserver/typeLibrary.h"

#include <oleauto.h>

#include <vector>

namespace vesk::comserver {

namespace {

HRESULT loadLibrary(HMODULE module, std::wstring& path, ITypeLib** library) {
    *library = nullptr;
    if (!modulePath(module, path))
        return E_FAIL;
    return LoadTypeLibEx(path.c_str(), REGKIND_NONE, library);
}

}  // namespace

bool modulePath(HMODULE module, std::wstring& path) {
    // Paths may be longer than MAX_PATH: grow until the name fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD n = GetModuleFileNameW(module, buffer.data(), size);
        if (n == 0)
            return false;
        if (n < size) {
            path.assign(buffer.data(), n);
            return true;
        }
        if (buffer.size() >= 32768)
            return false;
        buffer.resize(buffer.size() * 2);
    }
}

HRESULT registerTypeLibrary(HMODULE module) {
    std::wstring path;
    ITypeLib* library = nullptr;
    HRESULT result = loadLibrary(module, path, &library);
    if (FAILED(result))
        return result;
    result = RegisterTypeLib(library, &path[0], nullptr);  // not written to
    library->Release();
    return result;
}

HRESULT unregisterTypeLibrary(HMODULE module) {
    std::wstring path;
    ITypeLib* library = nullptr;
    HRESULT result = loadLibrary(module, path, &library);
    if (FAILED(result))
        return result;
    TLIBATTR* attributes = nullptr;
    result = library->GetLibAttr(&attributes);
    if (SUCCEEDED(result)) {
        // Unregistering what is not registered is no failure (platforms
        // answer it with different errors).
        BSTR registeredPath = nullptr;
        if (SUCCEEDED(QueryPathOfRegTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                                            attributes->lcid, &registeredPath))) {
            SysFreeString(registeredPath);
            result = UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                                       attributes->lcid, attributes->syskind);
        }
        library->ReleaseTLibAttr(attributes);
    }
    library->Release();
    return result;
}

HRESULT loadTypeInfo(HMODULE module, REFIID iid, ITypeInfo** info) {
    if (!info)
        return E_POINTER;
    *info = nullptr;
    std::wstring path;
    ITypeLib* library = nullptr;
    HRESULT result = loadLibrary(module, path, &library);
    if (FAILED(result))
        return result;
    result = library->GetTypeInfoOfGuid(iid, info);
    library->Release();
    return result;
}

}  // namespace vesk::comserver
