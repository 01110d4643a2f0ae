// The main window's four behaviour flags under the "UI" entity's keys of
// the same names, and the language chosen for the next start, which lives
// in the registry (HKEY_CURRENT_USER "Software\Pelloran", "LanguageID").
#pragma once

#include <windows.h>

#include "vesk/persist.h"

namespace vesk::ui {

// Each flag is 1 or 0; languageId 0 is the system's language.
struct windowFlags {
    int minimizeToTray = 0;
    int minimizeOnStart = 0;
    int showInTray = 1;
    int saveOnExit = 0;
    DWORD languageId = 0;
};

// Reads "SaveOnExit", "MinimizeToTray", "MinimizeOnStart" and "ShowInTray"
// (a missing key is stored with its default: 0, 0, 0, 1); a flag is 1 only
// for the value 1. The language is left as it is.
void LoadWindowFlags(persist::Isettings* settings, IentityToken* owner, windowFlags& flags);
// Writes "MinimizeToTray", "MinimizeOnStart", "ShowInTray", "SaveOnExit".
void SaveWindowFlags(persist::Isettings* settings, IentityToken* owner, const windowFlags& flags);

// The registry's "LanguageID"; 0 when the key or the value is missing or
// is not a 4-byte number.
DWORD ReadLanguageId();
// Writes it as a 4-byte REG_DWORD, making the key when missing.
bool WriteLanguageId(DWORD languageId);

}  // namespace vesk::ui
