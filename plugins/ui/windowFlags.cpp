#include "plugins/ui/windowFlags.h"

namespace vesk::ui {

namespace {

constexpr const char* registryKey = "Software\\Pelloran";
constexpr const char* languageValue = "LanguageID";

struct flagKey {
    const char* key;
    int windowFlags::*flag;
    long fallback;
};

// In the order they are read; saved in another order (below).
constexpr flagKey readOrder[] = {
    {"SaveOnExit", &windowFlags::saveOnExit, 0},
    {"MinimizeToTray", &windowFlags::minimizeToTray, 0},
    {"MinimizeOnStart", &windowFlags::minimizeOnStart, 0},
    {"ShowInTray", &windowFlags::showInTray, 1},
};
constexpr flagKey saveOrder[] = {
    {"MinimizeToTray", &windowFlags::minimizeToTray, 0},
    {"MinimizeOnStart", &windowFlags::minimizeOnStart, 0},
    {"ShowInTray", &windowFlags::showInTray, 1},
    {"SaveOnExit", &windowFlags::saveOnExit, 0},
};

}  // namespace

void LoadWindowFlags(persist::Isettings* settings, IentityToken* owner, windowFlags& flags) {
    for (const flagKey& key : readOrder) {
        long stored = key.fallback;
        if (settings) {
            value v = settings->getValue(key.key, value(key.fallback), owner);
            if (v.code == vt::longV)
                stored = v.payload.l;
        }
        flags.*key.flag = stored == 1 ? 1 : 0;
    }
}

void SaveWindowFlags(persist::Isettings* settings, IentityToken* owner, const windowFlags& flags) {
    if (!settings)
        return;
    for (const flagKey& key : saveOrder)
        settings->setValue(key.key, value(static_cast<long>(flags.*key.flag)), owner);
}

DWORD ReadLanguageId() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, registryKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD type = 0, id = 0, size = sizeof id;
    LONG read = ::RegQueryValueExA(key, languageValue, nullptr, &type, reinterpret_cast<BYTE*>(&id), &size);
    ::RegCloseKey(key);
    return read == ERROR_SUCCESS && type == REG_DWORD && size == sizeof id ? id : 0;
}

bool WriteLanguageId(DWORD languageId) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, registryKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    bool written = ::RegSetValueExA(key, languageValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&languageId),
                                    sizeof languageId) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return written;
}

}  // namespace vesk::ui
