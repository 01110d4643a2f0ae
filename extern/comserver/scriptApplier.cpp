#include "extern/comserver/scriptApplier.h"

namespace vesk::comserver {

namespace {

class keyHandle {
public:
    keyHandle() = default;
    ~keyHandle() {
        if (key_)
            RegCloseKey(key_);
    }
    keyHandle(const keyHandle&) = delete;
    keyHandle& operator=(const keyHandle&) = delete;
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

HRESULT fromStatus(LONG status) { return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status); }

bool isMissing(LONG status) { return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND; }

const wchar_t* valueName(const scriptValue& value) { return value.name.empty() ? nullptr : value.name.c_str(); }

HRESULT deleteTree(HKEY parent, const std::wstring& name) {
    LONG status = RegDeleteTreeW(parent, name.c_str());
    return isMissing(status) ? S_OK : fromStatus(status);
}

HRESULT applyKey(HKEY parent, const scriptKey& key) {
    if (key.rule == removal::whole) {
        HRESULT cleared = deleteTree(parent, key.name);
        if (FAILED(cleared))
            return cleared;
    }
    keyHandle handle;
    LONG status = RegCreateKeyExW(parent, key.name.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                                  handle.out(), nullptr);
    if (status != ERROR_SUCCESS)
        return fromStatus(status);
    for (const scriptValue& value : key.values) {
        DWORD bytes = static_cast<DWORD>((value.text.size() + 1) * sizeof(wchar_t));
        status = RegSetValueExW(handle.get(), valueName(value), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(value.text.c_str()), bytes);
        if (status != ERROR_SUCCESS)
            return fromStatus(status);
    }
    for (const scriptKey& subkey : key.subkeys) {
        HRESULT result = applyKey(handle.get(), subkey);
        if (FAILED(result))
            return result;
    }
    return S_OK;
}

void keepFirstFailure(HRESULT& first, HRESULT result) {
    if (SUCCEEDED(first) && FAILED(result))
        first = result;
}

bool isEmpty(HKEY key) {
    DWORD subkeys = 0, values = 0;
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                            nullptr, nullptr) == ERROR_SUCCESS &&
           subkeys == 0 && values == 0;
}

HRESULT removeKey(HKEY parent, const scriptKey& key) {
    if (key.rule == removal::whole)
        return deleteTree(parent, key.name);
    HRESULT first = S_OK;
    bool empty = false;
    {
        keyHandle handle;
        LONG status = RegOpenKeyExW(parent, key.name.c_str(), 0, KEY_READ | KEY_WRITE, handle.out());
        if (isMissing(status))
            return S_OK;
        if (status != ERROR_SUCCESS)
            return fromStatus(status);
        for (const scriptKey& subkey : key.subkeys)
            keepFirstFailure(first, removeKey(handle.get(), subkey));
        if (key.rule == removal::never)
            return first;
        for (const scriptValue& value : key.values) {
            status = RegDeleteValueW(handle.get(), valueName(value));
            if (!isMissing(status))
                keepFirstFailure(first, fromStatus(status));
        }
        empty = isEmpty(handle.get());
    }
    if (empty) {
        LONG status = RegDeleteKeyW(parent, key.name.c_str());
        if (!isMissing(status))
            keepFirstFailure(first, fromStatus(status));
    }
    return first;
}

}  // namespace

HRESULT applyScript(const registryScript& script) {
    for (const scriptRoot& root : script.roots)
        for (const scriptKey& key : root.keys) {
            HRESULT result = applyKey(root.root, key);
            if (FAILED(result))
                return result;
        }
    return S_OK;
}

HRESULT removeScript(const registryScript& script) {
    HRESULT first = S_OK;
    for (const scriptRoot& root : script.roots)
        for (const scriptKey& key : root.keys)
            keepFirstFailure(first, removeKey(root.root, key));
    return first;
}

}  // namespace vesk::comserver
