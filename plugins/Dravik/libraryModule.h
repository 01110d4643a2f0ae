// The window library's own module, where its strings live whatever
// instance its windows are created under.
#pragma once

#include <windows.h>

namespace vesk::ui {

HMODULE LibraryModule();
// String id of the library's string table, at most `size - 1` characters;
// empty when missing.
int LoadLibraryString(UINT id, char* out, int size);

}  // namespace vesk::ui
