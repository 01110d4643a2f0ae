// The App Paths entry the installation writes for the client: where its
// program is and the folder to start it in.
#pragma once

#include <windows.h>

namespace vesk::brevant {

struct appPathsEntry {
    char executable[MAX_PATH] = "";  // the key's default value
    char folder[MAX_PATH] = "";      // "Path"; empty: none given
};

// Reads the entry under HKEY_LOCAL_MACHINE\<keyName>. False when the key
// cannot be opened or has no usable default value. A value is usable when it
// is text that fits its buffer with its terminator; an unusable "Path" leaves
// the folder empty.
bool readAppPathsEntry(const char* keyName, appPathsEntry& entry);

// One string value of an open key into text as a terminated string; text
// is left empty when the value is missing, not text or too long for it.
void readTextValue(HKEY key, const char* name, char (&text)[MAX_PATH]);

}  // namespace vesk::brevant
