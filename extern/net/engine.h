// The network thread: one thread that owns every socket of the module and
// serves them with select. Descriptors hand it channels and wake it; it
// never calls back into them.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace vesk::net {

class channel;

struct engineSettings {
    unsigned dialTimeoutMs = 20000;       // name look-up and connect together
    unsigned lingerMs = 10000;            // a closed connection's time to flush and see the peer's end
    unsigned long receiveLimit = 1u << 20;  // held for the user before reading pauses
    unsigned long long transferBacklog = 256u * 1024;  // waiting bytes in transfer mode
    unsigned long long linkBacklog = 16u << 20;         // waiting bytes otherwise
    unsigned maxWaitingPeers = 16;        // accepted, not yet taken by accept()
    // The longest the thread sleeps with nothing to do. Every change it has
    // to act on wakes it; this is only a safety net.
    unsigned idleWaitMs = 250;
    // Sockets one select takes in each set (at most FD_SETSIZE); the rest
    // take their turn in the next passes.
    unsigned selectCapacity = FD_SETSIZE;
};

class engine {
public:
    explicit engine(const engineSettings& settings = engineSettings());
    ~engine();  // stops the thread
    engine(const engine&) = delete;
    engine& operator=(const engine&) = delete;

    // False when Winsock or the thread could not start.
    bool start();
    // Closes every socket and waits for the thread to end.
    void stop();
    const engineSettings& settings() const { return settings_; }

    // Gives the network thread a new channel; false once stopped.
    bool adopt(const std::shared_ptr<channel>& c);
    // Makes the thread look at its channels again soon. Any thread.
    void wake();

private:
    static DWORD WINAPI threadMain(void* self);
    void run();
    void takeNewcomers();
    void advance(channel& c, unsigned long long now);
    void serve(channel& c, fd_set& readable, fd_set& writable, fd_set& failed);
    void readSome(channel& c);
    void writeSome(channel& c);
    void acceptSome(channel& c);
    void dial(channel& c);
    void bindAndListen(channel& c);
    bool signalWake();
    void drainWake();
    void endAll();

    engineSettings settings_;
    bool winsockUp_ = false;
    SOCKET wakeSocket_ = INVALID_SOCKET;  // UDP on 127.0.0.1, sent to itself
    sockaddr_in wakeAddress_{};
    std::atomic<bool> wakePending_{false};
    HANDLE thread_ = nullptr;

    std::mutex lock_;  // guards newcomers_ and stopping_
    std::vector<std::shared_ptr<channel>> newcomers_;
    bool stopping_ = false;

    std::vector<std::shared_ptr<channel>> live_;  // network thread only
    std::vector<std::shared_ptr<channel>> accepted_;  // network thread only
    size_t rotation_ = 0;
};

}  // namespace vesk::net
