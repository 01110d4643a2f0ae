// The resource modules chosen by language, the version text of the title,
// the language kept in the registry and the window flags under the "UI"
// keys.
#include "extern/rsrc/version.h"
#include "plugins/ui/resourceModules.h"
#include "plugins/ui/tests/optionsTestSupport.h"
#include "testing/testPaths.h"

namespace vesk::ui::test {
namespace {

struct moduleCase {
    DWORD languageId;
    const char* file;
};

class languageModuleFiles : public ::testing::TestWithParam<moduleCase> {};

TEST_P(languageModuleFiles, ThePrimaryLanguageNamesTheModule) {
    EXPECT_EQ(LanguageModuleFile(GetParam().languageId), GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(cases, languageModuleFiles,
                         ::testing::Values(moduleCase{0x0409, "rsrc.vkm"}, moduleCase{0x0809, "rsrc.vkm"},
                                           moduleCase{0x0407, "rsrc7.vkm"}, moduleCase{0x040C, "rsrc12.vkm"},
                                           moduleCase{0x0804, "rsrc4.vkm"}, moduleCase{0x0416, "rsrc22.vkm"}));

TEST(languageModuleFile, LanguageZeroIsTheSystemsLanguage) {
    EXPECT_EQ(LanguageModuleFile(0), LanguageModuleFile(::GetSystemDefaultLangID()));
}

std::string FileOf(HMODULE module) {
    char path[MAX_PATH] = "";
    DWORD length = ::GetModuleFileNameA(module, path, sizeof path);
    std::string file(path, length < sizeof path ? length : 0);
    std::size_t slash = file.find_last_of('\\');
    return slash == std::string::npos ? file : file.substr(slash + 1);
}

class resourceModuleLoading : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(vesk::testing::copyFile(vesk::testing::stageDir() + "\\plugins\\rsrc.vkm", folder.file("rsrc.vkm")));
        ASSERT_TRUE(vesk::testing::copyFile(vesk::testing::fixturesDir() + "\\rsrc7.vkm", folder.file("rsrc7.vkm")));
    }
    // Tests free what the controller keeps, so that the folder can go.
    void Free(const resourceModules& modules) {
        if (modules.language && modules.language != modules.defaults)
            ::FreeLibrary(modules.language);
        if (modules.defaults)
            ::FreeLibrary(modules.defaults);
    }
    vesk::testing::tempDir folder;
};

TEST_F(resourceModuleLoading, ALanguageWithAModuleGetsItsOwn) {
    resourceModules modules = LoadResourceModules(0x0407, folder.path() + "\\");
    ASSERT_NE(modules.defaults, nullptr);
    ASSERT_NE(modules.language, nullptr);
    EXPECT_EQ(FileOf(modules.defaults), "rsrc.vkm");
    EXPECT_EQ(FileOf(modules.language), "rsrc7.vkm");
    Free(modules);
}

TEST_F(resourceModuleLoading, EnglishAndLanguagesWithoutAModuleUseTheDefaultModule) {
    for (DWORD id : {0x0409ul, 0x040Cul}) {
        resourceModules modules = LoadResourceModules(id, folder.path() + "\\");
        ASSERT_NE(modules.defaults, nullptr) << id;
        EXPECT_EQ(modules.language, modules.defaults) << id;
        ::FreeLibrary(modules.defaults);
        if (id == 0x0409ul)
            ::FreeLibrary(modules.defaults);  // loaded twice: as both modules
    }
}

TEST(versionText, ThePrivateBuildOfTheVersionModuleAndNothingWithoutIt) {
    EXPECT_EQ(ReadVersionText(vesk::testing::stageDir() + "\\plugins\\veskrsrc.vkm"), VESK_PRIVATE_BUILD);
    EXPECT_EQ(ReadVersionText(vesk::testing::stageDir() + "\\plugins\\missing.vkm"), "");
}

class languageRegistry : public ::testing::Test {
protected:
    void TearDown() override { ::RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Pelloran", "LanguageID"); }
};

TEST_F(languageRegistry, TheLanguageRoundTripsAndAnythingElseReadsAsZero) {
    ::RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Pelloran", "LanguageID");
    EXPECT_EQ(ReadLanguageId(), 0u);
    ASSERT_TRUE(WriteLanguageId(0x0407));
    EXPECT_EQ(ReadLanguageId(), 0x0407u);
    ASSERT_EQ(::RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Pelloran", "LanguageID", REG_SZ, "1031", 5),
              ERROR_SUCCESS);
    EXPECT_EQ(ReadLanguageId(), 0u);
}

struct flagsCase {
    const char* name;
    std::map<std::string, long> stored;
    std::vector<int> flags;  // minimize to tray, minimize on start, show in tray, save on exit
};

const flagsCase flagsCases[] = {
    {"an empty store gives the defaults", {}, {0, 0, 1, 0}},
    {"every flag set", {{"MinimizeToTray", 1}, {"MinimizeOnStart", 1}, {"ShowInTray", 1}, {"SaveOnExit", 1}}, {1, 1, 1, 1}},
    {"every flag clear", {{"MinimizeToTray", 0}, {"MinimizeOnStart", 0}, {"ShowInTray", 0}, {"SaveOnExit", 0}}, {0, 0, 0, 0}},
    {"only the value 1 sets a flag", {{"MinimizeToTray", 2}, {"ShowInTray", -1}, {"SaveOnExit", 1}}, {0, 0, 0, 1}},
};

class windowFlagKeys : public ::testing::TestWithParam<flagsCase> {};

TEST_P(windowFlagKeys, FlagsAreReadWithTheirDefaultsAndSavedBack) {
    capsule<memorySettings> settings;
    settings.values = GetParam().stored;
    windowFlags flags;
    flags.minimizeToTray = flags.minimizeOnStart = flags.saveOnExit = 7;
    flags.languageId = 0x0407;
    LoadWindowFlags(&settings, nullptr, flags);
    EXPECT_EQ((std::vector<int>{flags.minimizeToTray, flags.minimizeOnStart, flags.showInTray, flags.saveOnExit}),
              GetParam().flags);
    EXPECT_EQ(flags.languageId, 0x0407u);

    settings.values.clear();
    SaveWindowFlags(&settings, nullptr, flags);
    EXPECT_EQ(settings.values, (std::map<std::string, long>{{"MinimizeToTray", GetParam().flags[0]},
                                                            {"MinimizeOnStart", GetParam().flags[1]},
                                                            {"ShowInTray", GetParam().flags[2]},
                                                            {"SaveOnExit", GetParam().flags[3]}}));
}

INSTANTIATE_TEST_SUITE_P(cases, windowFlagKeys, ::testing::ValuesIn(flagsCases), NamedCase());

}  // namespace
}  // namespace vesk::ui::test
