#include "plugins/Dravik/tests/dravikTestSupport.h"

#include <commctrl.h>

#include <stdexcept>

#include "testing/screen/pngFile.h"
#include "testing/screen/screenCapture.h"

namespace vesk::ui::test {

void pump() {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

bool pumpUntil(const std::function<bool()>& done, DWORD limitMs) {
    DWORD start = ::GetTickCount();
    for (;;) {
        pump();
        if (done())
            return true;
        if (::GetTickCount() - start > limitMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

frameFixture::frameFixture(int clientWidth, int clientHeight, bool withStatusBar) {
    if (withStatusBar) {
        statusBar_ = new capsule_core<VStatusBar>();
    }
    frame_ = new capsule_core<VFrameWnd>(statusBar_);
    RECT place = {40, 40, 40 + clientWidth, 40 + clientHeight};
    window_ = static_cast<IFrameWnd*>(frame_)->Create(nullptr, &place, "Dravik test frame", 0, 0, nullptr, 0,
                                                      nullptr);
    if (!window_)
        throw std::runtime_error("the frame window was not made");
    frame_->ResizeClient(clientWidth, clientHeight, TRUE);
    ::ShowWindow(window_, SW_SHOWNORMAL);
    ::UpdateWindow(window_);
    pump();
}

frameFixture::~frameFixture() {
    if (::IsWindow(window_))
        ::DestroyWindow(window_);
    // The frame's WM_QUIT must not end the next test's loop.
    MSG quit;
    while (::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    pump();
    frame_->releaseCore();
    if (statusBar_)
        statusBar_->releaseCore();
}

VDock& frameFixture::dock() { return *dynamic_cast<VDock*>(frame_->GetDock()); }
VDockArea& frameFixture::area(int side) { return *dock().Area(side); }
HWND frameFixture::client() { return interfaceCast<IWnd>(frame_->GetClientWnd())->GetHandle(); }

VDockWnd* frameFixture::dockWindow(const char* name, SIZE docked, bool resizable) {
    RECT floating = {700, 100, 860, 220};
    auto* window = dynamic_cast<VDockWnd*>(dock().CreateDockWindow(name, &floating));
    if (!window)
        throw std::runtime_error("no dock window");
    RECT size = {0, 0, docked.cx, docked.cy};
    window->Container()->SetDockRect(0, &size);
    window->Container()->SetDockRect(1, &size);
    window->Container()->SetResizable(resizable ? 1 : 0);
    return window;
}

void frameFixture::dockAt(VDockWnd* window, int side, POINT clientPoint, long band) {
    POINT screen = clientPoint;
    ::ClientToScreen(window_, &screen);
    RECT last = {screen.x, screen.y, screen.x + 10, screen.y + 10};
    window->SetLastDragRect(&last);
    area(side).Dock(window, band);
    pump();
}

RECT rectIn(HWND window, HWND relativeTo) {
    RECT r;
    ::GetWindowRect(window, &r);
    ::MapWindowPoints(nullptr, relativeTo, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string describe(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + ")";
}

COLORREF screenPixel(POINT at) {
    HDC screen = ::GetDC(nullptr);
    COLORREF colour = ::GetPixel(screen, at.x, at.y);
    ::ReleaseDC(nullptr, screen);
    return colour;
}

}  // namespace vesk::ui::test

namespace vesk::ui::test {

screenShot::screenShot(const RECT& area) : area_(area), image_(testing::CaptureScreenArea(area)) {}

COLORREF screenShot::at(POINT p) const {
    if (image_.empty() || p.x < area_.left || p.x >= area_.right || p.y < area_.top || p.y >= area_.bottom)
        return CLR_INVALID;
    std::size_t i = (static_cast<std::size_t>(p.y - area_.top) * image_.width + (p.x - area_.left)) * 3;
    return RGB(image_.rgb[i], image_.rgb[i + 1], image_.rgb[i + 2]);
}

bool SaveIfAsked(const std::string& name, const testing::rgbImage& image) {
    char folder[MAX_PATH];
    DWORD length = ::GetEnvironmentVariableA("DRAVIK_SCREENSHOTS", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || image.empty())
        return false;
    return testing::WritePngFile(std::string(folder) + "\\" + name + ".png", image);
}

}  // namespace vesk::ui::test
