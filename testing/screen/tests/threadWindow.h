// A popup window of the test's on a thread of its own, so that another
// process (the driver, the screenshot program) may have it handle messages
// while the test waits for that process.
#pragma once

#include <windows.h>

#include <thread>

namespace vesk::testing::test {

class threadWindow {
public:
    // Registers the class with the procedure for the window's life; get()
    // is null when the window could not be made.
    threadWindow(const char* className, WNDPROC procedure, RECT place, DWORD exStyle = 0);
    ~threadWindow();
    threadWindow(const threadWindow&) = delete;
    threadWindow& operator=(const threadWindow&) = delete;
    HWND get() const { return window_; }

private:
    std::thread thread_;
    DWORD threadId_ = 0;
    HWND window_ = nullptr;
};

}  // namespace vesk::testing::test
