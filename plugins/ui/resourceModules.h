// The resource modules: "rsrc.vkm", the default module (icons, bitmaps,
// toolbars, the two title texts), and the language module of the chosen
// language (texts, dialogs, menus, accelerators, the default settings), with
// "veskrsrc.vkm" holding the version text of the title.
#pragma once

#include <windows.h>

#include <string>

namespace vesk::ui {

struct resourceModules {
    HINSTANCE language = nullptr;
    HINSTANCE defaults = nullptr;
};

// The file of a language's module: "rsrc" + the primary language number +
// ".vkm", or "rsrc.vkm" for English (primary 9). Language 0 is the system's.
std::string LanguageModuleFile(DWORD languageId);

// Loads the folder's default module and the language's module; when the
// latter does not load the default one serves as both. Neither is freed.
resourceModules LoadResourceModules(DWORD languageId, const std::string& folder = "plugins\\");

// The "PrivateBuild" text of the version module, appended to the title.
std::string ReadVersionText(const std::string& path = "plugins\\veskrsrc.vkm");

}  // namespace vesk::ui
