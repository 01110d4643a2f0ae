#include "testing/screen/tests/threadWindow.h"

#include <atomic>

namespace vesk::testing::test {

threadWindow::threadWindow(const char* className, WNDPROC procedure, RECT place, DWORD exStyle) {
    std::atomic<HWND> made{nullptr};
    std::atomic<bool> tried{false};
    thread_ = std::thread([&] {
        WNDCLASSA c = {};
        c.lpfnWndProc = procedure;
        c.hInstance = ::GetModuleHandleA(nullptr);
        c.lpszClassName = className;
        ::RegisterClassA(&c);
        HWND window = ::CreateWindowExA(exStyle, className, "test window", WS_POPUP | WS_VISIBLE, place.left,
                                        place.top, place.right - place.left, place.bottom - place.top, nullptr,
                                        nullptr, c.hInstance, nullptr);
        threadId_ = ::GetCurrentThreadId();
        made = window;
        tried = true;
        MSG message;
        while (window && ::GetMessageA(&message, nullptr, 0, 0) > 0)
            ::DispatchMessageA(&message);
        if (window)
            ::DestroyWindow(window);
        ::UnregisterClassA(className, ::GetModuleHandleA(nullptr));
    });
    while (!tried)
        ::Sleep(10);
    window_ = made;
}

threadWindow::~threadWindow() {
    ::PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    thread_.join();
}

}  // namespace vesk::testing::test
