// The network thread: one thread that owns every socket of the module and
// waits on one completion port. Every socket's dial, accept and send
// completes there; a descriptor that needs the thread to act queues its
// channel and posts a wake. A pass costs what happened, not the number of
// connections, and an idle connection costs nothing: it holds no buffer.
// A connected socket's bytes are read by its user, told by readNotices
// that they wait; the thread reads only what is left after the peer's end
// and what a closing link still receives. It never calls back into
// descriptors.
#pragma once

#include <winsock2.h>
#include <mswsock.h>
#include <windows.h>

#include <atomic>
#include <deque>
#include <memory>
#include <unordered_map>
#include <vector>

#include "extern/net/readNotices.h"
#include "extern/net/slimLock.h"

namespace vesk::net {

class channel;
struct ioOperation;

struct engineSettings {
    unsigned dialTimeoutMs = 20000;  // name look-up and connect together
    unsigned lingerMs = 10000;       // a closed connection's time to flush and see the peer's end
    // Received bytes held for the user before reading pauses; no user read
    // takes more.
    unsigned long receiveLimit = 512u * 1024;
    // The most one read takes: one receive() of the user, or one read of
    // the network thread into its one read buffer.
    unsigned long readPiece = 256u * 1024;
    // Bytes (and per-send overhead) a link may have waiting to go out. The
    // link bound keeps 1,000 stalled links under 230 MiB; transfer mode
    // paces a bulk sender closer to its peer. Half the transfer backlog is
    // the most one send of the network thread hands over.
    unsigned long long linkBacklog = 224u * 1024;
    unsigned long long transferBacklog = 192u * 1024;
    unsigned maxWaitingPeers = 16;  // accepted, not yet taken by accept()
    // The longest the thread sleeps with nothing to do. Every change it has
    // to act on wakes it; this is only a safety net.
    unsigned idleWaitMs = 250;
    // The system's send buffer for each socket; 0 leaves the system's own,
    // which grows to megabytes on a link whose peer stops reading.
    int socketSendBuffer = 0;
};

class engine {
public:
    explicit engine(const engineSettings& settings = engineSettings());
    ~engine();  // stops the thread
    engine(const engine&) = delete;
    engine& operator=(const engine&) = delete;

    // False when Winsock, the completion port or the thread could not start.
    bool start();
    // Closes every socket and waits for the thread to end.
    void stop();
    const engineSettings& settings() const { return settings_; }

    // Has the network thread look at the channel soon: a new one, or one
    // whose user asked for something. Any thread; false once stopped.
    bool attend(const std::shared_ptr<channel>& c);

private:
    static DWORD WINAPI threadMain(void* self);
    void run();
    bool takeAttention();  // true when the thread is to stop
    void completed(ioOperation& op, bool ok, unsigned long bytes);
    void expireDeadlines(unsigned long long now);
    unsigned long nextWaitMs(unsigned long long now) const;
    void track(channel& c);
    void requeue(channel& c);
    void comeBack();
    void retire(channel& c);
    std::shared_ptr<channel> known(channel& c);
    bool prepareSocket(channel& c, SOCKET s);
    SOCKET newSocket();
    void endAll();

    // engineIo.cpp: what the thread does on one channel.
    void attendTo(channel& c);
    void dial(channel& c);
    void dialCompleted(channel& c, bool ok, int code);
    void bindAndListen(channel& c, std::vector<std::shared_ptr<channel>>& arrived);
    void acceptPeers(channel& c, std::vector<std::shared_ptr<channel>>& arrived);
    void adoptAccepted(channel& listener, bool ok, std::vector<std::shared_ptr<channel>>& arrived);
    void acceptCompleted(channel& c, bool ok);
    void connectedNow(channel& c);
    void watchReads(channel& c);
    bool keepReceived(channel& c, unsigned long length);
    void readAvailable(channel& c);
    void readCompleted(channel& c, bool ok, int code);
    void sendQueued(channel& c);
    unsigned long long sendGather() const;
    void sendCompleted(channel& c, bool ok, unsigned long bytes, int code);
    void beginClosing(channel& c);
    void settle(channel& c);

    engineSettings settings_;
    bool winsockUp_ = false;
    HANDLE port_ = nullptr;
    HANDLE thread_ = nullptr;
    LPFN_ACCEPTEX acceptEx_ = nullptr;
    LPFN_CONNECTEX connectEx_ = nullptr;
    bool skipOnSuccess_ = false;  // every provider can skip completion packets
    std::vector<char> scratch_;   // network thread: reads land here, then go to their channel
    readNotices notices_{*this};

    slimLock lock_;  // guards attention_, stopping_ and each channel's attentionQueued
    std::vector<std::shared_ptr<channel>> attention_;
    bool stopping_ = false;
    std::atomic<bool> wakePending_{false};

    // Network thread only.
    std::unordered_map<channel*, std::shared_ptr<channel>> live_;  // channels with a socket or work
    std::vector<std::shared_ptr<channel>> timed_;  // channels with a deadline
    // Channels that used their share of a step and have more to do: each
    // pass takes one, between the port's packets.
    std::deque<std::shared_ptr<channel>> again_;
    unsigned long long nextDeadline_ = ~0ull;
};

}  // namespace vesk::net
