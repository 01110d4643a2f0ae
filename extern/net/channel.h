// One socket of the network module and everything waiting on it. The
// descriptor that owns a channel and the network thread meet here, and
// every field is guarded by lock. Only the network thread opens and closes
// the socket.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "core/capsule.h"
#include "extern/net/CNetDataBuffer.h"

namespace vesk::net {

enum class phase {
    resolving,    // waiting for the host name's address
    dialReady,    // address known; the network thread dials next
    dialling,
    connected,
    ended,        // the connection is over; received bytes may remain
    failed,       // a dial or listen failed
    listenReady,  // the network thread binds next
    listening,
    closing,      // given up by its descriptor: flushing, then closing
};

using receivedBytes = capsule<CNetDataBuffer>;

class channel {
public:
    channel(phase start, const sockaddr_in& address);
    ~channel();
    channel(const channel&) = delete;
    channel& operator=(const channel&) = delete;

    // Descriptor side; each takes the lock.
    int status();
    int errorCode();
    sockaddr_in address();
    // Queues a copy of the bytes unless the channel cannot send or more
    // than backlogLimit bytes would wait (a first buffer is always taken).
    // wakeNeeded: the network thread has to look at the channel.
    bool queue(const void* bytes, unsigned long length, unsigned long long backlogLimit, bool& wakeNeeded);
    unsigned long outgoingCount();
    // The bytes received so far (count 0), or null. wakeNeeded: reading had
    // paused at limit.
    receivedBytes* takeReceived(unsigned long limit, bool& wakeNeeded);
    // The next accepted connection, or null. wakeNeeded: accepting had
    // paused at most waiting.
    std::shared_ptr<channel> takeWaitingPeer(unsigned most, bool& wakeNeeded);
    void requestClose(bool abort);
    void setNoDelay(bool on);
    // Turns a channel that never reached the network thread into a failure.
    void fail(int error);
    // Waits (bounded) until the network thread has bound a listener.
    void waitSettled(unsigned milliseconds);

    std::mutex lock;
    std::condition_variable settled;  // signalled when listenReady is left
    phase state;
    int error = 0;
    sockaddr_in peer;  // the peer, or the listener's own address
    bool peerEnded = false;
    receivedBytes* received = nullptr;  // owned; handed out with count 0
    std::deque<std::vector<unsigned char>> outgoing;
    size_t frontSent = 0;  // bytes of outgoing.front() already sent
    unsigned long long outgoingBytes = 0;
    std::deque<std::shared_ptr<channel>> waitingPeers;
    bool closeRequested = false;
    bool abortRequested = false;
    bool noDelay = false;
    unsigned long long deadline = 0;  // GetTickCount64 of a dial or linger end

    SOCKET sock = INVALID_SOCKET;
    bool noDelayApplied = false;
    bool sendShut = false;

    // With the lock held.
    bool canSend() const;
    void dropOutgoing();
    void failLocked(int code);
    void requestCloseLocked(bool abort);
    void applyNoDelay();
    // Out of send mode, hands the bytes to the system at once when nothing
    // waits before them; the count taken (0 when none was taken now).
    unsigned long sendDirect(const unsigned char* bytes, unsigned long length);
};

}  // namespace vesk::net
