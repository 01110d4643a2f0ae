#include "plugins/Dravik/libraryModule.h"

namespace vesk::ui {

HMODULE LibraryModule() {
    HMODULE module = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&LibraryModule), &module);
    return module;
}

int LoadLibraryString(UINT id, char* out, int size) {
    if (!out || size <= 0)
        return 0;
    out[0] = '\0';
    return ::LoadStringA(LibraryModule(), id, out, size);
}

}  // namespace vesk::ui
