// Tells connected channels that bytes wait, so that their users read the
// socket themselves: the system posts a window message (FD_READ, FD_CLOSE)
// into this object's own thread, which marks the channel readable. A poll of
// receive() then costs one system read when bytes are there and none when
// they are not, and no bytes pass through the network thread or a second
// buffer on their way.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <memory>
#include <unordered_map>

#include "extern/net/slimLock.h"

namespace vesk::net {

class channel;
class engine;

class readNotices {
public:
    explicit readNotices(engine& owner) : owner_(owner) {}
    ~readNotices();  // stops the thread
    readNotices(const readNotices&) = delete;
    readNotices& operator=(const readNotices&) = delete;

    // False when the thread or its window could not be made; channels are
    // then read by the network thread.
    bool start();
    void stop();

    // Network thread, the channel's lock held: notices for the channel's
    // connected socket from now on. False when they cannot come.
    bool watch(SOCKET s, const std::shared_ptr<channel>& c);
    // Network thread: the channel is gone; its entry goes unless a newer
    // socket of the same number took it.
    void forget(SOCKET s, const channel& c);

private:
    static DWORD WINAPI threadMain(void* self);
    void run();
    void noticed(SOCKET s, long event);

    engine& owner_;
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
    HWND window_ = nullptr;  // made and destroyed by the thread
    HANDLE ready_ = nullptr;
    slimLock lock_;  // guards watched_; never held while a channel's lock is taken
    std::unordered_map<SOCKET, std::weak_ptr<channel>> watched_;
};

}  // namespace vesk::net
