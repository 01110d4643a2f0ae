// The manager module in runtime.exe with the real core, file-system, XML,
// settings and share-engine modules, the recording fake user interface and
// a test protocol module. The fake's script drives the client; its record
// (fakeui.calls) and the log tell what happened.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/tests/hostRun.h"
#include "testing/testPaths.h"

namespace vesk::ss::test {
namespace {

using vesk::test::entering;
using vesk::test::exiting;
using vesk::test::hostRun;

void prepare(hostRun& run) {
    for (const char* module : {"sysrt.vkm", "rsrc.vkm", "fs.vkm", "Quillet.vkm", "persist.vkm", "share2.vkm",
                               "Ombrel.vkm"})
        ASSERT_TRUE(run.addStagedModule(module)) << module;
    ASSERT_TRUE(run.addFixtureModule("fakeUi.vkm", "fakeUi.vkm"));
    ASSERT_TRUE(run.addFixtureModule("testProtocol.vkm", "testProtocol.vkm"));
}

std::string inFolder(const hostRun& run, const std::string& name) { return run.folder() + "\\" + name; }

// One run with this script; the record of the run before is dropped.
void runScript(hostRun& run, const std::string& script) {
    DeleteFileA(inFolder(run, "fakeui.calls").c_str());
    ASSERT_TRUE(vesk::testing::writeFile(inFolder(run, "fakeui.script"), script));
    ASSERT_TRUE(run.run()) << "the host did not end";
    EXPECT_EQ(run.exitCode(), 0u);
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::vector<std::string> calls(const hostRun& run) {
    return linesOf(vesk::testing::readFile(inFolder(run, "fakeui.calls")));
}

bool has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::size_t positionOf(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) - lines.begin();
}

// A settings file holding these manager settings (key, typed text).
std::string settingsFile(const std::vector<std::pair<std::string, std::string>>& keys) {
    std::string text = "<vesk_settings>\r\n\t<ss_manager>\r\n";
    for (const auto& k : keys)
        text += "\t\t<" + k.first + ">" + k.second + "</" + k.first + ">\r\n";
    return text + "\t</ss_manager>\r\n</vesk_settings>\r\n";
}

TEST(ManagerInTheHost, PublishesFirstThenRegistersOnceTheUserInterfaceExists) {
    hostRun run;
    prepare(run);
    runScript(run, "dump\nshutdown\n");
    // Modules unload in the reverse order of their registration. The fake
    // user interface and the protocol module need the manager, yet registered
    // before it: the manager was published by an attempt that returned 0.
    std::vector<std::string> log = run.logLines();
    std::size_t manager = positionOf(log, entering("_unload", "ss manager"));
    std::size_t fake = positionOf(log, entering("_unload", "fake ui"));
    std::size_t protocols = positionOf(log, entering("_unload", "test protocol"));
    ASSERT_LT(protocols, log.size()) << run.log();
    EXPECT_LT(manager, fake);
    EXPECT_LT(manager, protocols);
    for (const char* entry : {"_load", "_initialize", "_unload"})
        EXPECT_TRUE(has(log, exiting(entry, "ss manager", true))) << entry;

    // No settings yet: every default.
    std::vector<std::string> record = calls(run);
    for (const char* line :
         {"script|dump|autoclear|0|0", "script|dump|autoclear|3|0", "script|dump|displayMode|100",
          "script|dump|downloadDir|C:\\", "script|dump|tempDir|C:\\", "script|dump|autoConnectOnStart|0",
          "script|dump|connected|0", "script|dump|protocols|2"})
        EXPECT_TRUE(has(record, line)) << line;
    EXPECT_FALSE(has(log, "[*] testProtocol: connect Alpha")) << "no connecting without the setting";
}

TEST(ManagerInTheHost, SettingsAndFiltersSurviveARestart) {
    hostRun run;
    prepare(run);
    ASSERT_TRUE(vesk::testing::writeFile(inFolder(run, "vesk.egg"),
                                         settingsFile({{"MaxSearchResults", "(ulong)7"},
                                                       {"AutoConnectOnSearch", "(long)1"}})));
    runScript(run,
              "autoclear 0 1\nautoclear 3 1\ndisplay-mode 55\n"
              "download-dir C:\\downloads\ntemp-dir C:\\partial\n"
              "filter Big|Size|>|ulong|1000\nfilter Odd|Size|==|ulong|3\nfilter Music|Name|IN|text|mp3\n"
              "save\nremove-filter Odd6\nsave\nshutdown\n");
    EXPECT_TRUE(has(calls(run), "script|save|1"));
    std::string saved = vesk::testing::readFile(inFolder(run, "vesk.egg"));
    EXPECT_NE(saved.find("<SSManager_FilterCount>(ulong)2</SSManager_FilterCount>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<SSManager_Filter.friendlyName3>"), std::string::npos)
        << "positions beyond the count stay in the store";
    std::string shareList = vesk::testing::readFile(inFolder(run, "pelloran.ini"));
    EXPECT_NE(shareList.find("DOWNLOAD=C:\\downloads"), std::string::npos) << shareList;

    runScript(run,
              "dump\nprobe-limit 10\nprobe-filter Size|ulong|5000\nprobe-filter Size|ulong|3\n"
              "probe-filter Name|text|song.MP3\nshutdown\n");
    std::vector<std::string> record = calls(run);
    for (const char* line :
         {"script|dump|autoclear|0|1", "script|dump|autoclear|1|0", "script|dump|autoclear|3|1",
          "script|dump|displayMode|55", "script|dump|downloadDir|C:\\downloads", "script|dump|tempDir|C:\\partial",
          "script|dump|autoConnectOnSearch|1", "script|probe-limit|10|7", "script|probe-filter|Size|5000|1",
          "script|probe-filter|Size|3|0", "script|probe-filter|Name|song.MP3|1"})
        EXPECT_TRUE(has(record, line)) << line;
}

TEST(ManagerInTheHost, AutoConnectOnStartConnectsEveryProtocol) {
    hostRun run;
    prepare(run);
    // Only the payload of the switch counts; a long MaxSearchResults means
    // no limit; the other settings of a wrong type read as 0.
    ASSERT_TRUE(vesk::testing::writeFile(inFolder(run, "vesk.egg"),
                                         settingsFile({{"AutoConnectOnStart", "(ulong)1"},
                                                       {"MaxSearchResults", "(long)7"},
                                                       {"DisplayMode", "(ulong)55"},
                                                       {"autoclear_complete_downloads", "(ulong)1"}})));
    runScript(run, "probe-limit 10\nsearch ubuntu\ndump\nshutdown\n");
    std::vector<std::string> log = run.logLines();
    EXPECT_TRUE(has(log, "[*] testProtocol: connect Alpha")) << run.log();
    EXPECT_TRUE(has(log, "[*] testProtocol: connect Beta"));
    EXPECT_LT(positionOf(log, "[*] testProtocol: connect Beta"), positionOf(log, exiting("_initialize", "ss manager", true)));
    EXPECT_TRUE(has(log, "[*] testProtocol: start search Alpha 1 ubuntu"));
    EXPECT_TRUE(has(log, "[*] testProtocol: start search Beta 1 ubuntu"));
    std::vector<std::string> record = calls(run);
    EXPECT_TRUE(has(record, "IDockConnectTB::Connect"));
    EXPECT_TRUE(has(record, "IStatusBar::Output|Connecting|4|0")) << "a protocol's state reaches the status bar";
    EXPECT_TRUE(has(record, "script|probe-limit|10|10"));
    EXPECT_TRUE(has(record, "script|dump|displayMode|0"));
    EXPECT_TRUE(has(record, "script|dump|autoclear|0|0"));
    EXPECT_TRUE(has(record, "script|dump|autoConnectOnStart|1"));
    EXPECT_TRUE(has(record, "IWnd::SetWindowTextA|ubuntu"));
}

TEST(ManagerInTheHost, AFilterCountBeyondTheSavedFiltersEndsAtTheFirstGap) {
    hostRun run;
    prepare(run);
    ASSERT_TRUE(vesk::testing::writeFile(
        inFolder(run, "vesk.egg"),
        settingsFile({{"SSManager_FilterCount", "(ulong)4000000000"},
                      {"SSManager_Filter.fieldName1", "(string)Size"},
                      {"SSManager_Filter.opRight1", "(ulong)10"},
                      {"SSManager_Filter.comp1", "(string)%3e"},
                      {"SSManager_Filter.friendlyName1", "(string)Big"}})));
    runScript(run, "probe-filter Size|ulong|50\nsave\nshutdown\n");
    EXPECT_TRUE(has(calls(run), "script|probe-filter|Size|50|1"));
    std::string saved = vesk::testing::readFile(inFolder(run, "vesk.egg"));
    EXPECT_EQ(saved.find("SSManager_Filter.comp3"), std::string::npos) << "nothing read past the gap";
}

TEST(ManagerInTheHost, ShareListWrittenByTheManagerIsReadAlikeByTheEngine) {
    hostRun run;
    prepare(run);
    for (const char* folder : {"Music", "Music\\Live", "Docs", "Other"})
        ASSERT_TRUE(CreateDirectoryA(inFolder(run, folder).c_str(), nullptr));
    // An older list, longer and with a gap, and the manager's folders.
    ASSERT_TRUE(vesk::testing::writeFile(inFolder(run, "pelloran.ini"),
                                         "[DIR]\r\nDOWNLOAD=C:\\dl\r\nTEMP=C:\\tmp\r\n"
                                         "[SHARE0]\r\nPATH=c:\\a\\\r\nRECURSIVE=1\r\n"
                                         "[SHARE1]\r\nPATH=c:\\b\\\r\nRECURSIVE=1\r\n"
                                         "[SHARE2]\r\nPATH=c:\\c\\\r\nRECURSIVE=1\r\n"
                                         "[SHARE7]\r\nPATH=c:\\d\\\r\nRECURSIVE=1\r\n"));
    std::string music = inFolder(run, "Music"), docs = inFolder(run, "DOCS");
    runScript(run, "share-add " + music + "|1\nshare-add " + docs + "\\|0\nshare-save\nengine-reload\n"
                   "engine-probe " + music + "\nengine-probe " + inFolder(run, "docs") + "\n"
                   "engine-probe " + inFolder(run, "Other") + "\ndump\nshutdown\n");
    std::vector<std::string> record = calls(run);
    EXPECT_TRUE(has(record, "script|engine-probe|" + music + "|1|1")) << vesk::testing::readFile(inFolder(run, "fakeui.calls"));
    EXPECT_TRUE(has(record, "script|engine-probe|" + inFolder(run, "docs") + "|1|0"));
    EXPECT_TRUE(has(record, "script|engine-probe|" + inFolder(run, "Other") + "|0|0"));
    EXPECT_TRUE(has(record, "script|dump|downloadDir|C:\\dl"));

    char sections[4096] = {};
    std::string file = inFolder(run, "pelloran.ini");
    DWORD n = GetPrivateProfileSectionNamesA(sections, sizeof sections, file.c_str());
    std::vector<std::string> names;
    for (const char* s = sections; s < sections + n && *s; s += std::strlen(s) + 1)
        names.push_back(s);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"DIR", "SHARE0", "SHARE1"}));
}

}  // namespace
}  // namespace vesk::ss::test
