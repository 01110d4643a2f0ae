#include "extern/net/readNotices.h"

#include "extern/net/channel.h"
#include "extern/net/engine.h"

namespace vesk::net {

namespace {

constexpr UINT noticeMessage = WM_APP + 1;
// How long start waits for the thread's window; only a stuck system takes long.
constexpr DWORD windowWaitMs = 10000;

}  // namespace

readNotices::~readNotices() { stop(); }

bool readNotices::start() {
    if (thread_)
        return window_ != nullptr;
    if (!ready_ && !(ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr)))
        return false;
    ResetEvent(ready_);
    window_ = nullptr;
    thread_ = CreateThread(nullptr, 0, &readNotices::threadMain, this, 0, &threadId_);
    if (!thread_)
        return false;
    if (WaitForSingleObject(ready_, windowWaitMs) != WAIT_OBJECT_0 || !window_) {
        stop();
        return false;
    }
    return true;
}

void readNotices::stop() {
    if (thread_) {
        // The thread has its message queue once ready_ was set or it ended;
        // a refused post is tried again until it ends.
        while (!PostThreadMessageW(threadId_, WM_QUIT, 0, 0) &&
               WaitForSingleObject(thread_, 10) == WAIT_TIMEOUT) {
        }
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    window_ = nullptr;
    if (ready_) {
        CloseHandle(ready_);
        ready_ = nullptr;
    }
    slimGuard hold(lock_);
    watched_.clear();
}

DWORD WINAPI readNotices::threadMain(void* self) {
    static_cast<readNotices*>(self)->run();
    return 0;
}

// A system class: the window only receives posted messages, which are
// taken here and never dispatched, so it needs no procedure of ours.
void readNotices::run() {
    MSG m;
    PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE);  // makes the queue PostThreadMessage needs
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    window_ = window;
    SetEvent(ready_);
    if (!window)
        return;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        if (m.message == noticeMessage)
            noticed(static_cast<SOCKET>(m.wParam), WSAGETSELECTEVENT(m.lParam));
        else
            DispatchMessageW(&m);
    }
    DestroyWindow(window);
}

bool readNotices::watch(SOCKET s, const std::shared_ptr<channel>& c) {
    if (!window_ || !c)
        return false;
    {
        slimGuard hold(lock_);
        try {
            watched_[s] = c;
        } catch (...) {
            return false;
        }
    }
    if (WSAAsyncSelect(s, window_, noticeMessage, FD_READ | FD_CLOSE) == 0)
        return true;
    forget(s, *c);
    return false;
}

void readNotices::forget(SOCKET s, const channel& c) {
    slimGuard hold(lock_);
    auto found = watched_.find(s);
    if (found == watched_.end())
        return;
    std::shared_ptr<channel> held = found->second.lock();
    if (!held || held.get() == &c)
        watched_.erase(found);
}

// A notice may come late, for a socket already closed or a channel already
// gone: the socket number is checked against the channel's own. A late one
// for a newer socket of the same number costs that channel one empty read.
void readNotices::noticed(SOCKET s, long event) {
    std::shared_ptr<channel> c;
    {
        slimGuard hold(lock_);
        auto found = watched_.find(s);
        if (found == watched_.end())
            return;
        c = found->second.lock();
    }
    if (!c)
        return;
    bool wake = false;
    {
        slimGuard hold(c->lock);
        if (c->sock != s)
            return;
        if (event & FD_CLOSE) {
            // The peer's end or a broken link: the network thread reads
            // what is left, so that the end is seen without the user.
            c->engineReads = true;
            wake = true;
        } else {
            c->readable = true;
        }
    }
    if (wake)
        owner_.attend(c);
}

}  // namespace vesk::net
