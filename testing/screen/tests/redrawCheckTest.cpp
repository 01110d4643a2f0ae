// The check that a window shows what a full repaint of it shows: a window
// that changed its looks without asking to be painted again is caught, in
// the test's own process and by the screenshot program from outside; and a
// window reaching past the screen's edge is copied as far as it shows.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>

#include "testing/processRun.h"
#include "testing/screen/redrawCheck.h"
#include "testing/screen/screenCapture.h"
#include "testing/screen/tests/pngReader.h"
#include "testing/screen/tests/threadWindow.h"
#include "testing/testPaths.h"

namespace vesk::testing::test {
namespace {

const char* const paintedClass = "VeskRedrawCheckTestWindow";
constexpr int paintedWidth = 120, paintedHeight = 80;

// The colour the window paints itself with; changed without repainting to
// leave stale pixels on the screen.
std::atomic<COLORREF> paintColour{RGB(255, 0, 0)};

LRESULT CALLBACK paintInColour(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_ERASEBKGND)
        return 1;
    if (message != WM_PAINT)
        return ::DefWindowProcA(window, message, w, l);
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window, &paint);
    RECT all = {0, 0, paintedWidth, paintedHeight};
    HBRUSH brush = ::CreateSolidBrush(paintColour);
    ::FillRect(dc, &all, brush);
    ::DeleteObject(brush);
    ::EndPaint(window, &paint);
    return 0;
}

// The painted window at the point, on a thread of its own.
struct paintedWindow : threadWindow {
    explicit paintedWindow(POINT at)
        : threadWindow(paintedClass, paintInColour, RECT{at.x, at.y, at.x + paintedWidth, at.y + paintedHeight},
                       WS_EX_TOPMOST) {}
};

bool allOfColour(const rgbImage& image, COLORREF colour) {
    if (image.empty())
        return false;
    for (std::size_t i = 0; i < image.pixelCount(); ++i)
        if (RGB(image.rgb[3 * i], image.rgb[3 * i + 1], image.rgb[3 * i + 2]) != colour)
            return false;
    return true;
}

TEST(RedrawCheck, CatchesAWindowThatChangedWithoutBeingPaintedAgain) {
    paintColour = RGB(255, 0, 0);
    paintedWindow window(POINT{200, 150});
    ASSERT_NE(window.get(), nullptr);
    redrawCheck painted = CheckAgainstRedraw(window.get());
    EXPECT_TRUE(painted.same);
    EXPECT_TRUE(allOfColour(painted.settled, RGB(255, 0, 0)));

    paintColour = RGB(0, 0, 255);  // nothing invalidated
    redrawCheck stale = CheckAgainstRedraw(window.get());
    EXPECT_FALSE(stale.same);
    EXPECT_TRUE(allOfColour(stale.settled, RGB(255, 0, 0))) << "the settled shot is taken before the redraw";
    EXPECT_TRUE(allOfColour(stale.redrawn, RGB(0, 0, 255)));
    EXPECT_EQ(stale.differing, static_cast<std::size_t>(paintedWidth * paintedHeight));
    EXPECT_EQ(stale.box.right - stale.box.left, paintedWidth);
    EXPECT_EQ(stale.box.bottom - stale.box.top, paintedHeight);
}

TEST(RedrawCheck, TheScreenshotProgramKeepsBothShotsAndSaysSoWhenTheyDiffer) {
    paintColour = RGB(0, 160, 0);
    paintedWindow window(POINT{220, 170});
    ASSERT_NE(window.get(), nullptr);
    ASSERT_TRUE(CheckAgainstRedraw(window.get()).same);
    tempDir dir;
    std::string program = "\"" + testsDir() + "\\vskshot.exe\"";
    std::string arguments = std::string(" --class ") + paintedClass + " --redraw-check";
    paintColour = RGB(200, 0, 200);  // nothing invalidated
    std::string stale = dir.file("stale.png");
    EXPECT_EQ(runProgram(program + " \"" + stale + "\"" + arguments), 4ul);
    for (const auto& [file, colour] : {std::pair{stale, RGB(0, 160, 0)},
                                       std::pair{dir.file("stale-redrawn.png"), RGB(200, 0, 200)}}) {
        std::string bytes = readFile(file);
        std::string why;
        EXPECT_TRUE(allOfColour(ReadStoredPng(std::vector<unsigned char>(bytes.begin(), bytes.end()), why), colour))
            << file << " " << why;
    }
    // Now painted as it is: one shot, no complaint.
    std::string fresh = dir.file("fresh.png");
    EXPECT_EQ(runProgram(program + " \"" + fresh + "\"" + arguments), 0ul);
    EXPECT_TRUE(fileExists(fresh));
    EXPECT_FALSE(fileExists(dir.file("fresh-redrawn.png")));
    EXPECT_EQ(runProgram(program + " \"" + dir.file("whole.png") + "\" --redraw-check"), 2ul)
        << "the check needs a window";
}

TEST(ScreenEdge, AWindowPastItIsCopiedAsFarAsItShows) {
    paintColour = RGB(0, 0, 255);
    paintedWindow window(POINT{-30, -20});  // as a maximized frame reaches past the edges
    ASSERT_NE(window.get(), nullptr);
    rgbImage shown = CaptureSettled(window.get());
    EXPECT_EQ(shown.width, paintedWidth - 30);
    EXPECT_EQ(shown.height, paintedHeight - 20);
    EXPECT_TRUE(allOfColour(shown, RGB(0, 0, 255))) << "nothing from outside the screen";
}

}  // namespace
}  // namespace vesk::testing::test
