// The service modules in runtime.exe: loaded from plugins\, the settings
// file kept across runs, the install settings consumed, and a damaged
// settings file surviving the start.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "runtime/tests/hostRun.h"
#include "testing/testPaths.h"

namespace vesk::svctest {
namespace {

using vesk::test::hostRun;

// A client of the three service modules, the platform stand-in, the
// settings fixture and a module that ends the run shortly after start.
void prepare(hostRun& run) {
    for (const char* module : {"fs.vkm", "Quillet.vkm", "persist.vkm", "sysrt.vkm"})
        ASSERT_TRUE(run.addStagedModule(module)) << module;
    ASSERT_TRUE(run.addFixtureModule("settingsUser.vkm", "settingsUser.vkm"));
    ASSERT_TRUE(run.addScriptedModule("stopper", "name Stopper\nshutdown later\n"));
}

bool logHas(const hostRun& run, const std::string& line) {
    auto lines = run.logLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::string settingsFile(const hostRun& run) { return vesk::testing::readFile(run.folder() + "\\vesk.egg"); }

void runOnce(hostRun& run) {
    ASSERT_TRUE(run.run()) << "the host did not end";
    EXPECT_EQ(run.exitCode(), 0u);
}

TEST(ServicesInTheHost, ModulesLoadAndSettingsSurviveARestart) {
    hostRun run;
    prepare(run);
    runOnce(run);
    // The console names a module by its registration name.
    for (const char* module : {"filesystem", "xml parser", "persist objects"}) {
        EXPECT_TRUE(logHas(run, vesk::test::exiting("_load", module, true))) << module << run.log();
        EXPECT_TRUE(logHas(run, vesk::test::exiting("_unload", module, true))) << module;
    }
    EXPECT_TRUE(logHas(run, "[*] settingsUser: runs before 0, greeting hello world, install Lang 0")) << run.log();
    EXPECT_TRUE(logHas(run, "[*] settingsUser: saved"));
    std::string file = settingsFile(run);
    EXPECT_NE(file.find("\t<settingsUser>\r\n"
                        "\t\t<Greeting>(string)hello%20world</Greeting>\r\n"
                        "\t\t<Runs>(long)1</Runs>\r\n"
                        "\t\t<SavedByHook>(long)1</SavedByHook>\r\n"
                        "\t</settingsUser>\r\n"),
              std::string::npos)
        << file;

    runOnce(run);
    EXPECT_TRUE(logHas(run, "[*] settingsUser: runs before 1, greeting hello world, install Lang 0")) << run.log();
    EXPECT_NE(settingsFile(run).find("<Runs>(long)2</Runs>"), std::string::npos);
}

TEST(ServicesInTheHost, InstallSettingsAreReadAndConsumed) {
    hostRun run;
    prepare(run);
    std::string install = run.folder() + "\\install.egg";
    ASSERT_TRUE(vesk::testing::writeFile(install, "<install>\r\n\t<Lang>(long)7</Lang>\r\n</install>\r\n"));
    runOnce(run);
    EXPECT_TRUE(logHas(run, "[*] settingsUser: runs before 0, greeting hello world, install Lang 7")) << run.log();
    EXPECT_FALSE(vesk::testing::fileExists(install));
    EXPECT_NE(settingsFile(run).find("<InstallLang>(long)7</InstallLang>"), std::string::npos);
}

TEST(ServicesInTheHost, ADamagedSettingsFileIsKeptAndTheStartGoesOn) {
    hostRun run;
    prepare(run);
    const std::string damaged = "<vesk_settings>\r\n\t<settingsUser>\r\n\t\t<Runs>(long)41</Ru";
    std::string path = run.folder() + "\\vesk.egg";
    ASSERT_TRUE(vesk::testing::writeFile(path, damaged));
    runOnce(run);
    EXPECT_EQ(vesk::testing::readFile(path + ".bad"), damaged);
    EXPECT_TRUE(logHas(run, "[*] PERSIST: " + path + " could not be read; kept as " + path +
                                ".bad, starting from defaults"))
        << run.log();
    EXPECT_TRUE(logHas(run, "[*] settingsUser: runs before 0, greeting hello world, install Lang 0"));
    EXPECT_NE(settingsFile(run).find("<Runs>(long)1</Runs>"), std::string::npos);
}

}  // namespace
}  // namespace vesk::svctest
