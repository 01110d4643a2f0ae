#include "Zintaro/moduleResources.h"

#include <mutex>

#include "Zintaro/zintaroIds.h"

namespace vesk::zintaro {

namespace {

std::mutex picturesLock;
bool picturesLoaded = false;
modulePictures held;

HBITMAP loadBitmap(int id) { return LoadBitmapW(zintaroModule(), MAKEINTRESOURCEW(id)); }

void deletePicture(HBITMAP& picture) {
    if (picture)
        DeleteObject(picture);
    picture = nullptr;
}

}  // namespace

HMODULE zintaroModule() {
    static const HMODULE module = [] {
        HMODULE found = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&picturesLock), &found);
        return found;
    }();
    return module;
}

const modulePictures& pictures() {
    std::lock_guard<std::mutex> hold(picturesLock);
    if (!picturesLoaded) {
        held.logo = loadBitmap(IDB_LOGO);
        held.spark = loadBitmap(IDB_SPARK);
        held.glow = loadBitmap(IDB_GLOW);
        picturesLoaded = true;
    }
    return held;
}

void freePictures() {
    std::lock_guard<std::mutex> hold(picturesLock);
    deletePicture(held.logo);
    deletePicture(held.spark);
    deletePicture(held.glow);
    picturesLoaded = false;
}

HRESULT loadText(UINT id, BSTR* text) {
    if (!text)
        return E_POINTER;
    *text = nullptr;
    wchar_t buffer[256];
    int length = LoadStringW(zintaroModule(), id, buffer, sizeof buffer / sizeof buffer[0]);
    if (length <= 0)
        return E_FAIL;
    *text = SysAllocStringLen(buffer, static_cast<UINT>(length));
    return *text ? S_OK : E_FAIL;
}

}  // namespace vesk::zintaro
