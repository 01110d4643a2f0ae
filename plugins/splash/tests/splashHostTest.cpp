// The splash in runtime.exe under Xvfb, seen from outside as a user sees
// it: where it is, what it shows, when it goes, and that the host ends
// cleanly when it is stopped while the picture is up.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "plugins/splash/splashGeometry.h"
#include "plugins/splash/tests/splashTestSupport.h"
#include "runtime/tests/hostRun.h"
#include "testing/testPaths.h"

namespace vesk::splash::test {
namespace {

using vesk::test::hostRun;

// Runs the host on a thread of its own while the test looks at the screen.
class backgroundRun {
public:
    explicit backgroundRun(hostRun& run) : thread_([this, &run] { ended_ = run.run("", 60000); }) {}
    ~backgroundRun() { join(); }
    bool join() {
        if (thread_.joinable())
            thread_.join();
        return ended_;
    }

private:
    bool ended_ = false;
    std::thread thread_;
};

// Pixels as 0x00RRGGBB, rows top-down; empty when they cannot be read.
std::vector<DWORD> pixelsOf(HBITMAP bitmap, int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != height)
        return {};
    for (DWORD& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

// Bitmap 101 of the staged module; checks that it is 400 x 293 at 8 bits.
std::vector<DWORD> pictureInModule() {
    std::string path = vesk::testing::stageDir() + "\\plugins\\splash.vkm";
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(module, nullptr);
    if (!module)
        return {};
    auto bitmap = static_cast<HBITMAP>(
        LoadImageA(module, MAKEINTRESOURCEA(101), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    std::vector<DWORD> pixels;
    BITMAP info = {};
    if (bitmap && GetObjectA(bitmap, sizeof info, &info)) {
        EXPECT_EQ(info.bmWidth, splashWidth);
        EXPECT_EQ(info.bmHeight, splashHeight);
        EXPECT_EQ(info.bmBitsPixel, 8);
        pixels = pixelsOf(bitmap, info.bmWidth, info.bmHeight);
    }
    if (bitmap)
        DeleteObject(bitmap);
    FreeLibrary(module);
    return pixels;
}

std::vector<DWORD> screenshot(const RECT& area) {
    int width = area.right - area.left, height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP shot = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, shot);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    std::vector<DWORD> pixels = pixelsOf(shot, width, height);
    DeleteObject(shot);
    return pixels;
}

size_t differingPixels(const std::vector<DWORD>& a, const std::vector<DWORD>& b) {
    if (a.size() != b.size() || a.empty())
        return std::max(a.size(), b.size()) + 1;
    size_t differing = 0;
    for (size_t i = 0; i < a.size(); ++i)
        differing += a[i] != b[i];
    return differing;
}

size_t lineIndex(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) - lines.begin();
}

TEST(SplashInRuntime, ShowsThePictureCentredAndClosesByItself) {
    std::vector<DWORD> picture = pictureInModule();
    ASSERT_FALSE(picture.empty());
    hostRun run;
    // "splash.vkm" sorts before "sysrt.vkm": its first registration finds
    // no threader.
    ASSERT_TRUE(run.addStagedModule("splash.vkm") && run.addStagedModule("sysrt.vkm"));
    ASSERT_TRUE(run.addFixtureModule("splashWatcher.vkm", "splashWatcher.vkm"));
    backgroundRun host(run);

    HWND window = nullptr;
    ASSERT_TRUE(waitFor([&] { return (window = findSplashWindow(0)) && IsWindowVisible(window); }, 30000));
    DWORD shownAt = GetTickCount();

    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)) & WS_EX_TOOLWINDOW,
              static_cast<DWORD>(WS_EX_TOOLWINDOW));
    DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_POPUP), static_cast<DWORD>(WS_POPUP))
        << std::hex << style;
    RECT rect;
    ASSERT_TRUE(GetWindowRect(window, &rect));
    POINT at = splashOrigin(GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN));
    EXPECT_EQ(rect.left, at.x);
    EXPECT_EQ(rect.top, at.y);
    EXPECT_EQ(rect.right - rect.left, splashWidth);
    EXPECT_EQ(rect.bottom - rect.top, splashHeight);

    size_t differing = 0;
    EXPECT_TRUE(waitFor([&] { return (differing = differingPixels(screenshot(rect), picture)) == 0; }, 4000))
        << differing << " pixels differ from bitmap 101";

    ASSERT_TRUE(waitFor([&] { return !IsWindowVisible(window); }, 15000));
    DWORD closedAfter = since(shownAt);
    EXPECT_GE(closedAfter, 4900u);
    EXPECT_LE(closedAfter, 7000u);

    ASSERT_TRUE(host.join()) << "the host did not end";
    std::vector<std::string> lines = run.logLines();
    size_t splashUnloaded = lineIndex(lines, vesk::test::exiting("_unload", "splash", true));
    size_t threaderUnloaded = lineIndex(lines, vesk::test::exiting("_unload", "sysrt", true));
    EXPECT_LT(splashUnloaded, lines.size());
    EXPECT_LT(splashUnloaded, threaderUnloaded) << "registered after the threader, unloaded before it";
}

// The host stops right after its passes, the picture still up or coming.
TEST(SplashInRuntime, StoppingWhileItIsUpEndsTheHost) {
    for (int round = 0; round < 3; ++round) {
        hostRun run;
        ASSERT_TRUE(run.addStagedModule("splash.vkm") && run.addStagedModule("sysrt.vkm"));
        ASSERT_TRUE(run.addScriptedModule("stopper", "name Stopper\nshutdown initialize\n"));
        ASSERT_TRUE(run.run("", 60000)) << "round " << round << ": the host hung";
        std::vector<std::string> lines = run.logLines();
        EXPECT_LT(lineIndex(lines, vesk::test::exiting("_unload", "splash", true)), lines.size())
            << "round " << round;
        EXPECT_EQ(findSplashWindow(0), nullptr);
    }
}

}  // namespace
}  // namespace vesk::splash::test
