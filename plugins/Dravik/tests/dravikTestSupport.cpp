#include "plugins/Dravik/tests/dravikTestSupport.h"

#include <commctrl.h>

#include <stdexcept>

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

testStatusBar::testStatusBar() {
    registerInterfaceOf<IStatusBar>(this);
    registerInterfaceOf<IWnd>(this);
    registerInterfaceOf<Igeneric>(this);
}

int testStatusBar::Create(IWnd* parent) {
    if (!parent)
        return 0;
    HWND made = ::CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "Ready", parent->GetHandle(), 40010);
    Attach(made);
    return 0;
}

void testStatusBar::Output(const char* text, int pane, DWORD flags) {
    ::SendMessageA(hWnd_, SB_SETTEXTA, static_cast<WPARAM>(pane | flags), reinterpret_cast<LPARAM>(text));
}

int testStatusBar::Resize(RECT*, void*, int, int) {
    ::SendMessageA(hWnd_, WM_SIZE, 0, 0);
    return 1;
}

frameFixture::frameFixture(int clientWidth, int clientHeight, bool withStatusBar) {
    if (withStatusBar) {
        statusBar_ = new capsule<testStatusBar>();
        static_cast<IStatusBar*>(statusBar_)->addRef();
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
        static_cast<IStatusBar*>(statusBar_)->release();
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
