// The client as ./run.sh starts it on a first start: runtime.exe with every
// staged module and the settings the reset tool writes, seen through the
// probe module and from outside, as a user sees it. The Gnutella module is
// never told to connect, so nothing dials out. Screenshots are kept in the
// build folder, in tests\screenshots\ (client-first-start.png and one
// repaint-*.png per layout change).
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "plugins/ui/tests/probeReport.h"
#include "runtime/tests/hostRun.h"
#include "testing/processRun.h"
#include "testing/registry.h"
#include "testing/screen/imageStats.h"
#include "testing/screen/pngFile.h"
#include "testing/screen/redrawCheck.h"
#include "testing/screen/screenCapture.h"
#include "testing/screen/userInput.h"
#include "testing/testPaths.h"

namespace vesk::ui::test {
namespace {

using vesk::test::hostRun;

const char frameClass[] = "Pelloran:Dravik32:FrameWnd:1";
const char clientKey[] = "Software\\Pelloran";
const WPARAM exitCommand = 40002;
const DWORD exitBoundMs = 30000;

// Every module the client ships with, as the staging folder holds them.
std::vector<std::string> StagedModules() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found = {};
    HANDLE search = ::FindFirstFileA((vesk::testing::stageDir() + "\\plugins\\*.vkm").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return names;
}

// The folder as run.sh leaves it before the first start: the staged
// modules, the probe, and "vesk.egg" from the reset tool.
void PrepareFirstStart(hostRun& run, const std::string& script) {
    std::vector<std::string> modules = StagedModules();
    ASSERT_FALSE(modules.empty()) << vesk::testing::stageDir();
    for (const std::string& module : modules)
        ASSERT_TRUE(run.addStagedModule(module)) << module;
    ASSERT_TRUE(run.addFixtureModule("uiProbe.vkm", "uiProbe.vkm"));
    ASSERT_TRUE(vesk::testing::copyFile(vesk::testing::stageDir() + "\\Tessavar.exe",
                                        run.folder() + "\\Tessavar.exe"));
    ASSERT_EQ(vesk::testing::runProgram("\"" + run.folder() + "\\Tessavar.exe\"", 60000, run.folder()), 0ul);
    ASSERT_TRUE(vesk::testing::fileExists(run.folder() + "\\vesk.egg"));
    ASSERT_TRUE(vesk::testing::writeFile(run.folder() + "\\uiprobe.script", script));
}

// The probe's report once it is done, while the client runs on.
bool WaitForReport(const hostRun& run, DWORD limitMs) {
    for (DWORD waited = 0; waited < limitMs && run.running(); waited += 100) {
        if (ReadProbeReport(run.folder()).done)
            return true;
        ::Sleep(100);
    }
    return ReadProbeReport(run.folder()).done;
}

RECT FrameRect(const probeReport& report) {
    RECT frame = {};
    if (!report.frames.empty()) {
        std::vector<std::string> parts = SplitReportLine(report.frames.back());
        if (parts.size() == 3)
            ParseRect(parts[2], frame);
    }
    return frame;
}

std::string ShotPath(const std::string& name) {
    std::string folder = vesk::testing::testsDir() + "\\screenshots";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\" + name + ".png";
}

// Where a docked window's content shows, from the frame's top left corner.
std::string InFrame(const dockLine& line, const RECT& frame) {
    RECT place = {};
    if (!ParseRect(line.content, place))
        return "unreadable " + line.content;
    ::OffsetRect(&place, -frame.left, -frame.top);
    return std::to_string(place.left) + "," + std::to_string(place.top) + "," + std::to_string(place.right) + "," +
           std::to_string(place.bottom);
}

// No module's entry point failed or threw.
void ExpectCleanLog(const hostRun& run) {
    std::string log = run.log();
    EXPECT_EQ(log.find("unhandled exception"), std::string::npos) << log;
    EXPECT_EQ(log.find("[FAILED]"), std::string::npos) << log;
}

void ExpectDockedWindowsInside(const probeReport& report, const RECT& frame) {
    int docked = 0;
    for (const dockLine& line : report.docks) {
        if (line.side == 0 || line.visible != 1)
            continue;
        ++docked;
        RECT place = {};
        ASSERT_TRUE(ParseRect(line.content, place)) << line.caption;
        EXPECT_GT(place.right - place.left, 0) << line.caption;
        EXPECT_GT(place.bottom - place.top, 0) << line.caption;
        EXPECT_TRUE(place.left >= frame.left && place.top >= frame.top && place.right <= frame.right &&
                    place.bottom <= frame.bottom)
            << line.caption << " at " << line.content;
    }
    EXPECT_GT(docked, 0) << "no window docked";
}

TEST(ClientAsStaged, AFirstStartShowsTheDockedClientAndExitKeepsTheLayoutForTheNextStart) {
    vesk::testing::registryGuard keepRegistry({{HKEY_CURRENT_USER, clientKey}});
    ASSERT_TRUE(vesk::testing::deleteTree(HKEY_CURRENT_USER, clientKey));
    hostRun run;
    // Resized from the default, so that the next start shows the saved layout
    // and not the defaults again.
    PrepareFirstStart(run, "frame 20 30 980 730\nwait 1500\nreport\n");
    ASSERT_TRUE(run.start());
    ASSERT_TRUE(WaitForReport(run, 90000)) << "the probe did not report\n" << run.log();
    probeReport first = ReadProbeReport(run.folder());
    ASSERT_EQ(first.frames.size(), 1u);
    EXPECT_EQ(first.frames[0].substr(0, first.frames[0].find('|')), frameClass);
    RECT frame = FrameRect(first);
    EXPECT_EQ(frame.right - frame.left, 960);
    EXPECT_EQ(frame.bottom - frame.top, 700);
    EXPECT_EQ(first.panes[0], "Ready");
    const dockLine* hosts = FindDock(first, "Hosts");
    ASSERT_TRUE(hosts) << "no host window";
    EXPECT_EQ(hosts->side, 3) << "the default layout docks the hosts at the bottom";
    ExpectDockedWindowsInside(first, frame);

    HWND window = ::FindWindowA(frameClass, nullptr);
    ASSERT_TRUE(window);
    RECT screen = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    RECT shown = {};
    ASSERT_TRUE(::IntersectRect(&shown, &frame, &screen));
    vesk::testing::rgbImage shot = vesk::testing::CaptureScreenArea(shown);
    ASSERT_FALSE(shot.empty());
    EXPECT_GE(vesk::testing::ColourCount(shot), 16u) << "the screenshot is (nearly) blank";
    EXPECT_TRUE(vesk::testing::WritePngFile(ShotPath("client-first-start"), shot));

    ASSERT_TRUE(::PostMessageA(window, WM_COMMAND, exitCommand, 0));
    ASSERT_TRUE(run.finish(exitBoundMs)) << "the client did not end after Exit\n" << run.log();
    EXPECT_EQ(run.exitCode(), 0ul);
    ExpectCleanLog(run);
    std::string saved = vesk::testing::readFile(run.folder() + "\\vesk.egg");
    const std::string closing = "</vesk_settings>\r\n";
    ASSERT_GE(saved.size(), closing.size());
    EXPECT_EQ(saved.substr(saved.size() - closing.size()), closing) << "the settings file is cut short";
    EXPECT_NE(saved.find("<FrameWnd.Left>(long)20</FrameWnd.Left>"), std::string::npos) << saved;

    ASSERT_TRUE(vesk::testing::writeFile(run.folder() + "\\uiprobe.script", "report\nclose\n"));
    ASSERT_TRUE(run.run("", 90000)) << "the second start did not end\n" << run.log();
    EXPECT_EQ(run.exitCode(), 0ul);
    ExpectCleanLog(run);
    probeReport second = ReadProbeReport(run.folder());
    ASSERT_TRUE(second.done) << run.log();
    // The size comes back; where the frame opens is the system's choice.
    RECT again = FrameRect(second);
    EXPECT_EQ(again.right - again.left, frame.right - frame.left) << second.frames.back();
    EXPECT_EQ(again.bottom - again.top, frame.bottom - frame.top) << second.frames.back();
    ASSERT_EQ(second.docks.size(), first.docks.size());
    for (const dockLine& before : first.docks) {
        const dockLine* after = FindDock(second, before.caption);
        ASSERT_TRUE(after) << before.caption;
        EXPECT_EQ(after->side, before.side) << before.caption;
        EXPECT_EQ(after->visible, before.visible) << before.caption;
        if (before.side != 0) {
            EXPECT_EQ(InFrame(*after, again), InFrame(before, frame)) << before.caption;
        }
    }
}

// ---- repainting what a layout change moves

const char dockAreaClass[] = "Pelloran:Dravik32:DockArea:1";
const char containerClass[] = "Pelloran:Dravik32:DockContainer:1";

BOOL CALLBACK CollectChild(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> ChildrenOfClass(HWND parent, const char* className) {
    std::vector<HWND> all, found;
    ::EnumChildWindows(parent, &CollectChild, reinterpret_cast<LPARAM>(&all));
    for (HWND window : all) {
        char name[64] = "";
        ::GetClassNameA(window, name, sizeof name);
        if (std::string(name) == className)
            found.push_back(window);
    }
    return found;
}

HWND ContainerCaptioned(HWND frame, const std::string& caption) {
    for (HWND container : ChildrenOfClass(frame, containerClass)) {
        char text[64] = "";
        ::GetWindowTextA(container, text, sizeof text);
        if (caption == text)
            return container;
    }
    return nullptr;
}

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// The four dock areas lie inside the frame's client area and none overlaps
// another.
void ExpectAreasApart(HWND frame, const std::string& when) {
    RECT client;
    ::GetClientRect(frame, &client);
    ::MapWindowPoints(frame, nullptr, reinterpret_cast<POINT*>(&client), 2);
    std::vector<RECT> areas;
    for (HWND area : ChildrenOfClass(frame, dockAreaClass)) {
        RECT r;
        ::GetWindowRect(area, &r);
        EXPECT_TRUE(r.left >= client.left && r.top >= client.top && r.right <= client.right &&
                    r.bottom <= client.bottom)
            << when << ": an area at " << Describe(r) << " outside " << Describe(client);
        for (const RECT& other : areas) {
            RECT both;
            EXPECT_FALSE(::IntersectRect(&both, &r, &other))
                << when << ": areas at " << Describe(r) << " and " << Describe(other) << " overlap";
        }
        areas.push_back(r);
    }
    EXPECT_EQ(areas.size(), 4u) << when;
}

// The reset tool's settings with the frame's saved size replaced.
void SaveFrameSize(const std::string& settingsFile, int width, int height) {
    std::string text = vesk::testing::readFile(settingsFile);
    for (const auto& [key, value] : {std::pair{"FrameWnd.Right", width}, std::pair{"FrameWnd.Bottom", height}}) {
        std::string open = std::string("<") + key + ">(long)", close = std::string("</") + key + ">";
        std::string::size_type at = text.find(open), end = text.find(close);
        ASSERT_TRUE(at != std::string::npos && end != std::string::npos) << key;
        text.replace(at + open.size(), end - at - open.size(), std::to_string(value));
    }
    ASSERT_TRUE(vesk::testing::writeFile(settingsFile, text));
}

bool SendToFrame(HWND frame, UINT message, WPARAM wParam) {
    DWORD_PTR answer = 0;
    return ::SendMessageTimeoutA(frame, message, wParam, 0, SMTO_ABORTIFHUNG, 10000, &answer) != 0;
}

void Resize(HWND frame, int width, int height) {
    ::SetWindowPos(frame, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Docking is locked in the reset tool's layout: the search history's
// gripper is there once it is unlocked.
void DragSearchHistoryToTheRight(HWND frame) {
    HWND history = ContainerCaptioned(frame, "Search History");
    ASSERT_TRUE(history);
    RECT client, own;
    ::GetClientRect(frame, &client);
    ::MapWindowPoints(frame, nullptr, reinterpret_cast<POINT*>(&client), 2);
    ::GetWindowRect(history, &own);
    ASSERT_TRUE(vesk::testing::PostDrag(history, POINT{40, 5}, POINT{client.right - 60 - own.left, 60}));
    // The drag is posted: it is over once the search history has moved.
    for (int waited = 0; waited < 100 && ::GetWindowRect(history, &own) && own.left < client.left + 300; ++waited)
        ::Sleep(50);
}

TEST(ClientAsStaged, EveryLayoutChangeShowsWithoutAForcedRedraw) {
    vesk::testing::registryGuard keepRegistry({{HKEY_CURRENT_USER, clientKey}});
    ASSERT_TRUE(vesk::testing::deleteTree(HKEY_CURRENT_USER, clientKey));
    hostRun run;
    PrepareFirstStart(run, "report\n");
    // A size saved smaller than the docked layout needs, as earlier
    // versions could save it.
    SaveFrameSize(run.folder() + "\\vesk.egg", 420, 300);
    ASSERT_TRUE(run.start());
    ASSERT_TRUE(WaitForReport(run, 90000)) << "the probe did not report\n" << run.log();
    HWND frame = ::FindWindowA(frameClass, nullptr);
    ASSERT_TRUE(frame);
    RECT started;
    ::GetWindowRect(frame, &started);
    EXPECT_GT(started.right - started.left, 420) << "the saved size grows to what the layout needs";
    EXPECT_GT(started.bottom - started.top, 300) << "the saved size grows to what the layout needs";
    ExpectAreasApart(frame, "first start");
    ::SetWindowPos(frame, nullptr, 20, 30, 1000, 720, SWP_NOZORDER | SWP_NOACTIVATE);

    std::vector<std::pair<std::string, std::function<void()>>> changes = {
        {"start", [] {}},
        {"maximize", [&] { SendToFrame(frame, WM_SYSCOMMAND, SC_MAXIMIZE); }},
        {"restore", [&] { SendToFrame(frame, WM_SYSCOMMAND, SC_RESTORE); }},
    };
    // The View menu's windows, toolbars, audio toolbar and status bar: each
    // hidden and shown again.
    for (int command : {40035, 40036, 40037, 40038, 40062, 40063, 40064, 40065, 40069, 40061})
        for (const char* what : {"hide-", "show-"})
            changes.push_back({what + std::to_string(command), [=] { SendToFrame(frame, WM_COMMAND, command); }});
    changes.push_back({"unlock-docking", [&] { SendToFrame(frame, WM_COMMAND, 40056); }});
    changes.push_back({"drag-search-history", [&] { DragSearchHistoryToTheRight(frame); }});
    changes.push_back({"lock-docking", [&] { SendToFrame(frame, WM_COMMAND, 40056); }});
    changes.push_back({"small", [&] { Resize(frame, 420, 300); }});
    changes.push_back({"large", [&] { Resize(frame, 1280, 1024); }});
    changes.push_back({"back", [&] { Resize(frame, 1000, 720); }});

    int step = 0;
    for (const auto& [name, change] : changes) {
        change();
        vesk::testing::redrawCheck check = vesk::testing::CheckAgainstRedraw(frame);
        char number[8];
        std::snprintf(number, sizeof number, "%02d", ++step);
        std::string shot = std::string("repaint-") + number + "-" + name;
        EXPECT_TRUE(vesk::testing::WritePngFile(ShotPath(shot), check.settled)) << shot;
        EXPECT_TRUE(check.same) << name << ": " << check.differing << " pixels differ in " << Describe(check.box)
                                << ", see " << shot << "-redrawn.png";
        if (!check.same)
            vesk::testing::WritePngFile(ShotPath(shot + "-redrawn"), check.redrawn);
        if (name == "small")
            ExpectAreasApart(frame, name);
    }
    RECT history = {}, client = {};
    ::GetWindowRect(ContainerCaptioned(frame, "Search History"), &history);
    ::GetClientRect(frame, &client);
    ::MapWindowPoints(frame, nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_GT(history.left, (client.left + client.right) / 2) << "the search history was dragged to the right";

    ASSERT_TRUE(::PostMessageA(frame, WM_COMMAND, exitCommand, 0));
    ASSERT_TRUE(run.finish(exitBoundMs)) << "the client did not end after Exit\n" << run.log();
    EXPECT_EQ(run.exitCode(), 0ul);
    ExpectCleanLog(run);
}

}  // namespace
}  // namespace vesk::ui::test
