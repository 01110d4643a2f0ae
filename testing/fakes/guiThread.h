// A thread that owns a message-only window and runs work handed to it while
// the caller waits, the way the user interface carries out calls made from
// other threads (SendMessage to a GUI-thread window).
#pragma once

#include <windows.h>

#include <functional>

namespace vesk::testing {

class guiThread {
public:
    guiThread();   // returns once the thread's window exists
    ~guiThread();  // ends the thread
    guiThread(const guiThread&) = delete;
    guiThread& operator=(const guiThread&) = delete;

    // Runs work on the GUI thread and returns when it is done; from the GUI
    // thread itself it runs at once.
    void run(const std::function<void()>& work);
    // Queues work for the GUI thread and returns at once.
    void post(std::function<void()> work);
    DWORD threadId() const { return threadId_; }
    bool onGuiThread() const { return GetCurrentThreadId() == threadId_; }

private:
    static DWORD WINAPI main(void* self);
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
    HANDLE ready_ = nullptr;
    HWND window_ = nullptr;
};

}  // namespace vesk::testing
