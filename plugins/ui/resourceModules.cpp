#include "plugins/ui/resourceModules.h"

#include "core/versionText.h"

namespace vesk::ui {

namespace {

constexpr DWORD englishPrimary = 9;
constexpr std::size_t versionTextLimit = 63;  // the title field's length

}  // namespace

std::string LanguageModuleFile(DWORD languageId) {
    DWORD primary = (languageId ? languageId : ::GetSystemDefaultLangID()) & 0x3FF;
    return primary == englishPrimary ? "rsrc.vkm" : "rsrc" + std::to_string(primary) + ".vkm";
}

resourceModules LoadResourceModules(DWORD languageId, const std::string& folder) {
    resourceModules modules;
    modules.defaults = ::LoadLibraryA((folder + "rsrc.vkm").c_str());
    modules.language = ::LoadLibraryA((folder + LanguageModuleFile(languageId)).c_str());
    if (!modules.language)
        modules.language = modules.defaults;
    return modules;
}

std::string ReadVersionText(const std::string& path) { return readPrivateBuild(path.c_str(), versionTextLimit); }

}  // namespace vesk::ui
