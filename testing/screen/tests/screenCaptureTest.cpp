#include <gtest/gtest.h>

#include <windows.h>

#include "testing/processRun.h"
#include "testing/screen/screenCapture.h"
#include "testing/screen/tests/pngReader.h"
#include "testing/testPaths.h"

namespace vesk::testing::test {
namespace {

const char* const shotClass = "VeskScreenshotTestWindow";
constexpr int shotWidth = 160, shotHeight = 90;

// Left half red, right half blue: a copy with its colour channels or its
// halves swapped shows at once.
LRESULT CALLBACK twoColours(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message != WM_PAINT)
        return ::DefWindowProcA(window, message, w, l);
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window, &paint);
    RECT left = {0, 0, shotWidth / 2, shotHeight}, right = {shotWidth / 2, 0, shotWidth, shotHeight};
    HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0)), blue = ::CreateSolidBrush(RGB(0, 0, 255));
    ::FillRect(dc, &left, red);
    ::FillRect(dc, &right, blue);
    ::DeleteObject(red);
    ::DeleteObject(blue);
    ::EndPaint(window, &paint);
    return 0;
}

struct pixel {
    unsigned char r, g, b;
    bool operator==(const pixel& o) const { return r == o.r && g == o.g && b == o.b; }
};

pixel at(const rgbImage& image, int x, int y) {
    const unsigned char* p = &image.rgb[(static_cast<std::size_t>(y) * image.width + x) * 3];
    return {p[0], p[1], p[2]};
}

class ScreenCapture : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA c = {};
        c.lpfnWndProc = twoColours;
        c.hInstance = ::GetModuleHandleA(nullptr);
        c.lpszClassName = shotClass;
        ASSERT_TRUE(::RegisterClassA(&c));
        window_ = ::CreateWindowExA(WS_EX_TOPMOST, shotClass, "shot", WS_POPUP, 100, 120, shotWidth, shotHeight,
                                    nullptr, nullptr, c.hInstance, nullptr);
        ASSERT_NE(window_, nullptr);
        ::ShowWindow(window_, SW_SHOWNOACTIVATE);
        ASSERT_TRUE(::UpdateWindow(window_));
        pump();
    }
    void TearDown() override {
        if (window_)
            ::DestroyWindow(window_);
        ::UnregisterClassA(shotClass, ::GetModuleHandleA(nullptr));
    }
    static void pump() {
        MSG message;
        for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < 300;) {
            while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageA(&message);
            ::Sleep(10);
        }
    }
    static void expectTwoColours(const rgbImage& image) {
        ASSERT_EQ(image.width, shotWidth);
        ASSERT_EQ(image.height, shotHeight);
        EXPECT_TRUE(at(image, 10, 45) == (pixel{255, 0, 0}));
        EXPECT_TRUE(at(image, shotWidth - 10, 45) == (pixel{0, 0, 255}));
    }
    HWND window_ = nullptr;
};

TEST_F(ScreenCapture, AWindowIsCopiedAsItShows) {
    expectTwoColours(CaptureWindow(window_));
    RECT inner = {110, 130, 120, 135};
    rgbImage part = CaptureScreenArea(inner);
    ASSERT_EQ(part.width, 10);
    ASSERT_EQ(part.height, 5);
    EXPECT_TRUE(at(part, 9, 4) == (pixel{255, 0, 0}));
    RECT none = {10, 10, 10, 50};
    EXPECT_TRUE(CaptureScreenArea(none).empty());
    EXPECT_TRUE(CaptureWindow(nullptr).empty());
}

TEST_F(ScreenCapture, TheProgramWritesTheWindowItFinds) {
    tempDir dir;
    std::string program = "\"" + testsDir() + "\\vskshot.exe\"";
    std::string file = dir.file("window.png");
    ASSERT_EQ(runProgram(program + " \"" + file + "\" --class " + shotClass + " --wait 5"), 0ul);
    std::string bytes = readFile(file);
    std::string why;
    rgbImage image = ReadStoredPng(std::vector<unsigned char>(bytes.begin(), bytes.end()), why);
    EXPECT_EQ(why, "");
    expectTwoColours(image);

    const struct {
        const char* arguments;
        unsigned long code;
    } refusals[] = {
        {" --class NoSuchWindowClass --wait 0", 1},
        {" --wait", 2},
        {" --wait 5x", 2},
        {" --frobnicate", 2},
    };
    for (const auto& r : refusals) {
        std::string other = dir.file("other.png");
        EXPECT_EQ(runProgram(program + " \"" + other + "\"" + r.arguments), r.code) << r.arguments;
        EXPECT_FALSE(fileExists(other)) << r.arguments;
    }
    EXPECT_EQ(runProgram(program), 2ul);
}

}  // namespace
}  // namespace vesk::testing::test
