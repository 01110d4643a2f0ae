#include "gui/Brevant/appPathsEntry.h"

#include <cstring>

namespace vesk::brevant {

void readTextValue(HKEY key, const char* name, char (&text)[MAX_PATH]) {
    std::memset(text, 0, sizeof text);
    DWORD type = REG_NONE;
    DWORD size = sizeof text;
    LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    // A value that fills the whole buffer has no room left for its
    // terminator: cutting it would name another program or folder.
    bool fits = status == ERROR_SUCCESS && size <= sizeof text && std::memchr(text, 0, sizeof text) != nullptr;
    if (!fits || (type != REG_SZ && type != REG_EXPAND_SZ))
        std::memset(text, 0, sizeof text);
}

bool readAppPathsEntry(const char* keyName, appPathsEntry& entry) {
    entry = appPathsEntry{};
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    readTextValue(key, nullptr, entry.executable);
    readTextValue(key, "Path", entry.folder);
    RegCloseKey(key);
    return entry.executable[0] != '\0';
}

}  // namespace vesk::brevant
