#include "testing/fakes/guiThread.h"

#include <memory>

namespace vesk::testing {

namespace {

constexpr UINT runMessage = WM_APP + 1;   // wParam: std::function<void()>*, not owned
constexpr UINT postMessage = WM_APP + 2;  // wParam: std::function<void()>*, owned
const char* const className = "vesk fake GUI thread";

void runGuarded(const std::function<void()>& work) {
    try {
        work();
    } catch (...) {
        // A fault in a test's work must not end the GUI thread.
    }
}

}  // namespace

guiThread::guiThread() {
    ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, main, this, 0, &threadId_);
    if (thread_ && ready_)
        WaitForSingleObject(ready_, INFINITE);
}

guiThread::~guiThread() {
    if (window_)
        PostMessageA(window_, WM_CLOSE, 0, 0);
    if (thread_) {
        WaitForSingleObject(thread_, 10000);
        CloseHandle(thread_);
    }
    if (ready_)
        CloseHandle(ready_);
}

DWORD WINAPI guiThread::main(void* self) {
    auto* gui = static_cast<guiThread*>(self);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc);  // fails harmlessly when a second instance registers it again
    gui->window_ = CreateWindowExA(0, className, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   wc.hInstance, nullptr);
    SetEvent(gui->ready_);
    if (!gui->window_)
        return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

LRESULT CALLBACK guiThread::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case runMessage:
        runGuarded(*reinterpret_cast<const std::function<void()>*>(wParam));
        return 0;
    case postMessage: {
        std::unique_ptr<std::function<void()>> work(reinterpret_cast<std::function<void()>*>(wParam));
        runGuarded(*work);
        return 0;
    }
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void guiThread::run(const std::function<void()>& work) {
    if (onGuiThread() || !window_) {
        runGuarded(work);
        return;
    }
    SendMessageA(window_, runMessage, reinterpret_cast<WPARAM>(&work), 0);
}

void guiThread::post(std::function<void()> work) {
    auto* queued = new std::function<void()>(std::move(work));
    if (!window_ || !PostMessageA(window_, postMessage, reinterpret_cast<WPARAM>(queued), 0)) {
        runGuarded(*queued);
        delete queued;
    }
}

}  // namespace vesk::testing
