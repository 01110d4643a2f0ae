// The user interface in runtime.exe with the real modules, seen through
// the probe module (fixtures/uiProbe.cpp): the main window and its layout
// from an empty settings store, the layout kept across a restart, and
// closing with and without saving.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "plugins/ui/tests/probeReport.h"
#include "runtime/tests/hostRun.h"
#include "testing/testPaths.h"

namespace vesk::ui::test {
namespace {

using vesk::test::hostRun;

const char* const modules[] = {"sysrt.vkm",   "rsrc.vkm",   "veskrsrc.vkm", "fs.vkm",     "Quillet.vkm",
                               "persist.vkm", "share2.vkm", "Ombrel.vkm",   "Dravik.vkm", "ui.vkm"};

void Prepare(hostRun& run, const std::string& script) {
    for (const char* module : modules)
        ASSERT_TRUE(run.addStagedModule(module)) << module;
    ASSERT_TRUE(run.addFixtureModule("uiProbe.vkm", "uiProbe.vkm"));
    ASSERT_TRUE(vesk::testing::writeFile(run.folder() + "\\uiprobe.script", script));
}

void RunToEnd(hostRun& run) {
    ASSERT_TRUE(run.run("", 90000)) << "the host did not end\n" << run.log();
}

int MinimumWidth(int width) {
    return std::max(width, ::GetSystemMetrics(SM_CXMINTRACK));
}

std::string SettingsFile(const hostRun& run) {
    return vesk::testing::readFile(run.folder() + "\\vesk.egg");
}

TEST(MainWindowInTheHost, AnEmptyStoreGivesTheLeastFrameWithEveryWindowFloatingAndClosingWritesNothing) {
    hostRun run;
    Prepare(run, "report\nclose\n");
    RunToEnd(run);
    probeReport report = ReadProbeReport(run.folder());
    ASSERT_TRUE(report.done) << run.log();
    ASSERT_EQ(report.frames.size(), 1u);
    std::vector<std::string> frame = SplitReportLine(report.frames[0]);
    EXPECT_EQ(frame[0], "Pelloran:Dravik32:FrameWnd:1");
    EXPECT_EQ(frame[1], "Pelloran Gnutella Edition 0.1");
    int left = 0, top = 0, right = 0, bottom = 0;
    ASSERT_EQ(std::sscanf(frame[2].c_str(), "%d,%d,%d,%d", &left, &top, &right, &bottom), 4);
    // The saved 100 x 100 is less than the frame's least tracking size: the
    // status bar's panes side by side and room for the result lists.
    EXPECT_GT(right - left, MinimumWidth(100));
    EXPECT_GT(bottom - top, 100);

    EXPECT_EQ(report.panes[0], "Ready");
    EXPECT_EQ(report.panes[1], "Connections: 0");
    EXPECT_EQ(report.panes[2], "DL: 0  UL: 0");

    // The eleven windows of the layout.
    std::vector<std::string> captions;
    for (const dockLine& line : report.docks)
        captions.push_back(line.caption);
    std::sort(captions.begin(), captions.end());
    std::vector<std::string> expected = {
        "Audio Player",   "Connect",    "Filters",         "Hosts",     "Menu Bar",  "Search Bar",
        "Search History", "Statistics", "Transfer Window", "Transfers", "View"};
    EXPECT_EQ(captions, expected);
    for (const dockLine& line : report.docks) {
        EXPECT_EQ(line.side, 0) << line.caption;
        EXPECT_EQ(line.visible, 1) << line.caption;
        EXPECT_EQ(line.rect, "400,400," + std::to_string(400 + MinimumWidth(100)) + ",500") << line.caption;
        EXPECT_EQ(line.percent, "1") << line.caption;
    }
    EXPECT_FALSE(vesk::testing::fileExists(run.folder() + "\\vesk.egg"))
        << "closing without SaveOnExit wrote the settings";
}

TEST(MainWindowInTheHost, TheLayoutIsSavedOnExitAndComesBackOnTheNextStart) {
    hostRun run;
    Prepare(run, "frame 40 50 640 530\ndock 3 Hosts\ndock 1 Connect\ndock 4 Audio Player\ncommand 40037\nclose\n");
    ASSERT_TRUE(
        vesk::testing::writeFile(run.folder() + "\\vesk.egg",
                                 "<vesk_settings>\r\n\t<UI>\r\n\t\t<SaveOnExit>(long)1</SaveOnExit>\r\n"
                                 "\t</UI>\r\n</vesk_settings>\r\n"));
    RunToEnd(run);
    ASSERT_TRUE(ReadProbeReport(run.folder()).done) << run.log();
    std::string saved = SettingsFile(run);
    // Keys and their types as the store writes them.
    const char* const written[] = {
        "<FrameWnd.Left>(long)40</FrameWnd.Left>",
        "<FrameWnd.Right>(long)640</FrameWnd.Right>",
        "<FrameWnd.Top>(long)50</FrameWnd.Top>",
        "<FrameWnd.Bottom>(long)530</FrameWnd.Bottom>",
        "<HostWnd.DockArea>(long)3</HostWnd.DockArea>",
        "<ConnectTB.DockArea>(long)1</ConnectTB.DockArea>",
        "<StatWnd.Visible>(long)0</StatWnd.Visible>",
        "<HostWnd.Visible>(long)1</HostWnd.Visible>",
        "<TransferWnd.DockArea>(long)0</TransferWnd.DockArea>",
        "<TransferWnd.DockBand>(long)-1</TransferWnd.DockBand>",
        "<MenuWnd.PercentSize>(float)",
        "<SearchHistory.DockHorizontal.Left>(long)",
        "<ViewWnd.DockVertical.Bottom>(long)",
        "<AudioTB.DockArea>(long)4</AudioTB.DockArea>",
        "<AudioTB.Visible>(long)1</AudioTB.Visible>",
        "<SaveOnExit>(long)1</SaveOnExit>",
        "<ShowInTray>(long)1</ShowInTray>",
        "<LockDocking>(long)0</LockDocking>",
        "<StatusBar.Visible>(long)1</StatusBar.Visible>",
    };
    for (const char* key : written)
        EXPECT_NE(saved.find(key), std::string::npos) << key << "\n" << saved;
    // The language choice goes to the registry as a 4-byte number.
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Pelloran", 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0, language = 0, size = sizeof language;
    EXPECT_EQ(
        ::RegQueryValueExA(key, "LanguageID", nullptr, &type, reinterpret_cast<BYTE*>(&language), &size),
        ERROR_SUCCESS);
    ::RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(size, sizeof(DWORD));

    ASSERT_TRUE(vesk::testing::writeFile(run.folder() + "\\uiprobe.script", "report\nclose\n"));
    RunToEnd(run);
    probeReport report = ReadProbeReport(run.folder());
    ASSERT_TRUE(report.done) << run.log();
    ASSERT_EQ(report.frames.size(), 1u);
    int left = 0, top = 0, right = 0, bottom = 0;
    ASSERT_EQ(std::sscanf(SplitReportLine(report.frames[0])[2].c_str(), "%d,%d,%d,%d", &left, &top, &right,
                          &bottom),
              4);
    EXPECT_EQ(right - left, 600);
    EXPECT_EQ(bottom - top, 480);
    const dockLine* hosts = FindDock(report, "Hosts");
    const dockLine* connect = FindDock(report, "Connect");
    const dockLine* statistics = FindDock(report, "Statistics");
    const dockLine* audio = FindDock(report, "Audio Player");
    ASSERT_TRUE(hosts && connect && statistics && audio);
    EXPECT_EQ(hosts->side, 3);
    EXPECT_EQ(connect->side, 1);
    EXPECT_EQ(audio->side, 4);
    EXPECT_EQ(statistics->visible, 0);
}

// A dock window's keys for a place in the top area, as the default
// settings give them: the menu bar in the first band, the toolbars one
// after the other in the second.
std::string TopDockKeys(const char* prefix, long band, RECT docked, bool visible) {
    std::string keys;
    auto key = [&](const std::string& name, long v) {
        keys += "\t\t<" + std::string(prefix) + name + ">(long)" + std::to_string(v) + "</" + prefix + name + ">\r\n";
    };
    key("DockArea", 1);
    key("DockBand", band);
    key("DockHorizontal.Left", docked.left);
    key("DockHorizontal.Top", docked.top);
    key("DockHorizontal.Right", docked.right);
    key("DockHorizontal.Bottom", docked.bottom);
    key("Visible", visible ? 1 : 0);
    return keys;
}

// A toolbar hidden when the layout was saved leaves its row to the others:
// they come back side by side, not each on a row of its own.
TEST(MainWindowInTheHost, AHiddenToolbarLeavesTheOthersInTheirRow) {
    hostRun run;
    Prepare(run, "report\nclose\n");
    std::string settings = "<vesk_settings>\r\n\t<UI>\r\n";
    settings += TopDockKeys("MenuWnd.", 0, RECT{0, 0, 380, 25}, true);
    settings += TopDockKeys("ConnectTB.", 1, RECT{0, 25, 66, 55}, false);
    settings += TopDockKeys("SearchTB.", 1, RECT{66, 25, 132, 55}, true);
    settings += TopDockKeys("TransferTB.", 1, RECT{132, 25, 200, 55}, true);
    settings += TopDockKeys("AudioTB.", 1, RECT{200, 25, 400, 55}, true);
    settings += "\t</UI>\r\n</vesk_settings>\r\n";
    ASSERT_TRUE(vesk::testing::writeFile(run.folder() + "\\vesk.egg", settings));
    RunToEnd(run);
    probeReport report = ReadProbeReport(run.folder());
    ASSERT_TRUE(report.done) << run.log();
    std::vector<int> tops;
    for (const char* caption : {"Filters", "Transfers", "Audio Player"}) {
        const dockLine* line = FindDock(report, caption);
        ASSERT_TRUE(line) << caption;
        EXPECT_EQ(line->side, 1) << caption;
        int left = 0, top = 0, right = 0, bottom = 0;
        ASSERT_EQ(std::sscanf(line->content.c_str(), "%d,%d,%d,%d", &left, &top, &right, &bottom), 4) << caption;
        tops.push_back(top);
    }
    EXPECT_EQ(tops[1], tops[0]) << "Transfers";
    EXPECT_EQ(tops[2], tops[0]) << "Audio Player";
}

TEST(MainWindowInTheHost, StartingMinimizedLeavesTheTrayIconWhoseClickShowsTheFrame) {
    hostRun run;
    Prepare(run, "state\ntrayclick\nstate\nclose\n");
    ASSERT_TRUE(
        vesk::testing::writeFile(run.folder() + "\\vesk.egg",
                                 "<vesk_settings>\r\n\t<UI>\r\n\t\t<MinimizeOnStart>(long)1</MinimizeOnStart>\r\n"
                                 "\t</UI>\r\n</vesk_settings>\r\n"));
    RunToEnd(run);
    probeReport report = ReadProbeReport(run.folder());
    ASSERT_TRUE(report.done) << run.log();
    // Hidden and minimized with its icon, then shown and restored.
    EXPECT_EQ(report.states, (std::vector<std::string>{"0|1|1", "1|0|1"}));
}

}  // namespace
}  // namespace vesk::ui::test
