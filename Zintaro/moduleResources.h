// What Zintaro takes from its own module: texts by id and the pictures,
// which are loaded once and kept while the module stays loaded.
#pragma once

#include <windows.h>
#include <oleauto.h>

namespace vesk::zintaro {

// The module this code was linked into.
HMODULE zintaroModule();

// Bitmaps 207 to 209; null where one cannot be loaded. The spark and glow
// sprites go with the logo but nothing draws them.
struct modulePictures {
    HBITMAP logo = nullptr;
    HBITMAP spark = nullptr;
    HBITMAP glow = nullptr;
};

// Loads them at the first call; later calls answer the same handles.
const modulePictures& pictures();

// Deletes them; for the module's unloading, after every object is gone.
void freePictures();

// String id of the module as a new BSTR in *text: E_POINTER for a null
// text, E_FAIL (and null) when it cannot be loaded or made.
HRESULT loadText(UINT id, BSTR* text);

}  // namespace vesk::zintaro
