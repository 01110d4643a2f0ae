// Windows named by path (the driver's way to point at another program's
// windows), the driver's posted input as the window receives it, and the
// figures that tell screenshots apart.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "testing/processRun.h"
#include "testing/screen/imageStats.h"
#include "testing/screen/tests/threadWindow.h"
#include "testing/screen/windowPath.h"
#include "testing/testPaths.h"

namespace vesk::testing::test {
namespace {

const char* const topClass = "VeskWindowPathTestTop";

std::vector<std::string> received;  // the top window's posted input, in order

LRESULT CALLBACK recordInput(HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_COMMAND:
            received.push_back("command " + std::to_string(LOWORD(w)));
            return 0;
        case WM_CHAR:
            received.push_back(std::string("char ") + static_cast<char>(w));
            return 0;
        case WM_KEYDOWN:
            received.push_back("down " + std::to_string(w));
            return 0;
        case WM_KEYUP:
            received.push_back("up " + std::to_string(w));
            return 0;
        case EM_SETSEL:
            received.push_back("select all");
            return 0;
        case WM_LBUTTONDOWN:
            received.push_back("press " + std::to_string(LOWORD(l)) + "," + std::to_string(HIWORD(l)));
            return 0;
        case WM_LBUTTONUP:
            received.push_back("release");
            return 0;
        default:
            return ::DefWindowProcA(window, message, w, l);
    }
}

windowStep Step(const char* windowClass, int id = 0, const char* caption = nullptr) {
    windowStep step;
    step.windowClass = windowClass;
    step.byId = id != 0;
    step.id = id;
    step.byCaption = caption != nullptr;
    step.caption = caption ? caption : "";
    return step;
}

class WindowPath : public ::testing::Test {
protected:
    void SetUp() override {
        received.clear();
        WNDCLASSA c = {};
        c.lpfnWndProc = recordInput;
        c.hInstance = ::GetModuleHandleA(nullptr);
        c.lpszClassName = topClass;
        ASSERT_TRUE(::RegisterClassA(&c));
        top_ = ::CreateWindowExA(0, topClass, "top", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, c.hInstance,
                                 nullptr);
        ASSERT_NE(top_, nullptr);
        hidden_ = Child(top_, "STATIC", 5, "first", false);
        left_ = Child(top_, "STATIC", 7, "left", true);
        edit_ = Child(left_, "EDIT", 9, "", true);
        right_ = Child(top_, "STATIC", 8, "right", true);
        button_ = Child(right_, "BUTTON", 9, "go", true);
        ::ShowWindow(top_, SW_SHOWNOACTIVATE);
    }
    void TearDown() override {
        if (top_)
            ::DestroyWindow(top_);
        ::UnregisterClassA(topClass, ::GetModuleHandleA(nullptr));
    }
    static HWND Child(HWND parent, const char* windowClass, int id, const char* text, bool visible) {
        return ::CreateWindowExA(0, windowClass, text, WS_CHILD | (visible ? WS_VISIBLE : 0), 0, 0, 50, 20,
                                 parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 ::GetModuleHandleA(nullptr), nullptr);
    }
    static void Pump() {
        MSG message;
        for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < 200;) {
            while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageA(&message);
            ::Sleep(10);
        }
    }

public:  // named by the cases' member pointers
    HWND top_ = nullptr, hidden_ = nullptr, left_ = nullptr, edit_ = nullptr, right_ = nullptr,
         button_ = nullptr;
};

TEST_F(WindowPath, EachStepLooksInsideTheWindowsTheStepBeforeFound) {
    const struct {
        const char* what;
        std::vector<windowStep> path;
        HWND WindowPath::*expected;  // null member: no window
    } cases[] = {
        {"the top window", {Step(topClass)}, &WindowPath::top_},
        {"the top window by caption", {Step(topClass, 0, "top")}, &WindowPath::top_},
        {"another caption", {Step(topClass, 0, "other")}, nullptr},
        {"a child is no top window", {Step("STATIC", 8)}, nullptr},
        {"any class by id, first in order", {Step(topClass), Step("", 9)}, &WindowPath::edit_},
        {"by class and id", {Step(topClass), Step("Button", 9)}, &WindowPath::button_},
        {"inside the right one", {Step(topClass), Step("Static", 8), Step("", 9)}, &WindowPath::button_},
        // The first static has no button: the next one is tried.
        {"the path decides", {Step(topClass), Step("Static"), Step("Button")}, &WindowPath::button_},
        {"hidden windows are not found", {Step(topClass), Step("Static", 0, "first")}, nullptr},
        {"no path", {}, nullptr},
    };
    for (const auto& c : cases) {
        HWND expected = c.expected ? this->*c.expected : nullptr;
        EXPECT_EQ(FindWindowByPath(c.path), expected) << c.what;
    }
    EXPECT_EQ(VisibleDescendants(top_, "Static"), (std::vector<HWND>{left_, right_}));
    EXPECT_TRUE(VisibleDescendants(nullptr, "Static").empty());
}

TEST_F(WindowPath, TheDriverPostsWhatAUserWouldTypeAndClick) {
    std::string program = "\"" + testsDir() + "\\vskdrive.exe\"";
    std::string at = std::string(" --in ") + topClass;
    const struct {
        const char* arguments;
        unsigned long code;
        std::vector<std::string> received;
    } cases[] = {
        {"command 40023", 0, {"command 40023"}},
        {"type ab", 0, {"select all", "char a", "char b"}},
        {"key Enter Down", 0, {"down 13", "up 13", "down 40", "up 40"}},
        {"key 65", 0, {"down 65", "up 65"}},
        {"click 5 7", 0, {"press 5,7", "release"}},
        {"key Bogus", 2, {}},
        {"click 5", 2, {}},
        {"command", 2, {}},
    };
    for (const auto& c : cases) {
        received.clear();
        std::string arguments = c.arguments;
        std::string verb = arguments.substr(0, arguments.find(' '));
        std::string rest =
            arguments.find(' ') == std::string::npos ? "" : arguments.substr(arguments.find(' '));
        EXPECT_EQ(runProgram(program + " " + verb + at + rest), c.code) << c.arguments;
        Pump();
        EXPECT_EQ(received, c.received) << c.arguments;
    }
    const struct {
        const char* arguments;
        unsigned long code;
    } refusals[] = {
        {"", 2},
        {" find", 2},
        {" find --in", 2},
        {" find --id 3 --in X", 2},
        {" find --wait 5x --in X", 2},
        {" find --in NoSuchWindowClass", 1},
        {" frobnicate --in VeskWindowPathTestTop", 2},
    };
    for (const auto& r : refusals)
        EXPECT_EQ(runProgram(program + r.arguments), r.code) << r.arguments;
}

// ---- what needs the window's own thread: the driver waits for the window
// to answer (its hit test, a new size) while the test waits for the driver.

const char* const ownThreadClass = "VeskDriverTestOwnThread";
std::mutex heardLock;
std::vector<std::string> heard;  // guarded by heardLock

void Hear(const std::string& what) {
    std::lock_guard<std::mutex> hold(heardLock);
    heard.push_back(what);
}

std::string Point(LPARAM l) {
    return std::to_string(static_cast<short>(LOWORD(l))) + "," + std::to_string(static_cast<short>(HIWORD(l)));
}

// Its top 10 rows answer as a caption does; the rest is client area.
LRESULT CALLBACK recordMouse(HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_NCHITTEST: {
            RECT place;
            ::GetWindowRect(window, &place);
            return static_cast<short>(HIWORD(l)) - place.top < 10 ? HTCAPTION : HTCLIENT;
        }
        case WM_SYSCOMMAND:
            Hear(w == SC_MAXIMIZE ? "maximize" : w == SC_RESTORE ? "restore" : "other");
            return 0;
        case WM_NCLBUTTONDOWN:
            Hear("caption press " + std::to_string(w) + " at " + Point(l));
            return 0;
        case WM_LBUTTONDOWN:
            Hear("press " + Point(l));
            return 0;
        case WM_MOUSEMOVE:
            Hear("move " + Point(l));
            return 0;
        case WM_LBUTTONUP:
            Hear("release " + Point(l));
            return 0;
        default:
            return ::DefWindowProcA(window, message, w, l);
    }
}

std::vector<std::string> HeardSoFar() {
    ::Sleep(200);
    std::lock_guard<std::mutex> hold(heardLock);
    std::vector<std::string> all = heard;
    heard.clear();
    return all;
}

// What was heard but the pointer's moves, which the real pointer also makes
// while the maximized window lies under it.
std::vector<std::string> HeardWithoutMoves() {
    std::vector<std::string> all = HeardSoFar();
    all.erase(std::remove_if(all.begin(), all.end(), [](const std::string& e) { return e.rfind("move ", 0) == 0; }),
              all.end());
    return all;
}

TEST(Driver, MaximizesResizesAndDragsAsTheSystemWould) {
    // The real pointer away from where the window lies, so that only the
    // driver's moves reach it.
    ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    threadWindow window(ownThreadClass, recordMouse, RECT{100, 100, 300, 250});
    ASSERT_NE(window.get(), nullptr);
    HeardSoFar();
    std::string program = "\"" + testsDir() + "\\vskdrive.exe\" ";
    std::string at = std::string(" --in ") + ownThreadClass;
    EXPECT_EQ(runProgram(program + "maximize" + at), 0ul);
    EXPECT_EQ(runProgram(program + "restore" + at), 0ul);
    EXPECT_EQ(HeardWithoutMoves(), (std::vector<std::string>{"maximize", "restore"}));

    EXPECT_EQ(runProgram(program + "resize" + at + " 240 180"), 0ul);
    RECT place;
    ::GetWindowRect(window.get(), &place);
    EXPECT_EQ(place.right - place.left, 240);
    EXPECT_EQ(place.bottom - place.top, 180);
    EXPECT_EQ(runProgram(program + "resize" + at + " 0 180"), 2ul);

    // On the caption the press comes with the hit code and the screen
    // point; the moves and the release in client coordinates, in steps.
    EXPECT_EQ(runProgram(program + "drag" + at + " 20 5 100 85"), 0ul);
    std::vector<std::string> drag = HeardSoFar();
    ASSERT_EQ(drag.size(), 10u);
    EXPECT_EQ(drag.front(), "caption press 2 at 120,105");
    EXPECT_EQ(drag[1], "move 30,15");
    EXPECT_EQ(drag[8], "move 100,85");
    EXPECT_EQ(drag.back(), "release 100,85");
    // In the client area it is an ordinary press.
    EXPECT_EQ(runProgram(program + "drag" + at + " 20 50 20 60"), 0ul);
    EXPECT_EQ(HeardSoFar().front(), "press 20,50");
    EXPECT_EQ(runProgram(program + "drag" + at + " 20 50"), 2ul);
}

TEST(ImageStats, ColoursAreCountedAndAnyChangedPixelOrSizeChangesTheDigest) {
    rgbImage image;
    image.width = 2;
    image.height = 2;
    image.rgb = {255, 0, 0, 0, 0, 255, 255, 0, 0, 255, 0, 0};
    EXPECT_EQ(ColourCount(image), 2u);
    EXPECT_EQ(ColourCount(rgbImage()), 0u);
    std::uint64_t digest = PixelDigest(image);
    EXPECT_EQ(PixelDigest(image), digest);
    rgbImage changed = image;
    changed.rgb[11] = 1;
    EXPECT_NE(PixelDigest(changed), digest);
    EXPECT_EQ(ColourCount(changed), 3u);
    rgbImage reshaped = image;
    reshaped.width = 4;
    reshaped.height = 1;
    EXPECT_NE(PixelDigest(reshaped), digest) << "the same bytes in another shape";
}

}  // namespace
}  // namespace vesk::testing::test
