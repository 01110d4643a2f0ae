// One socket of the network module and everything waiting on it. The
// descriptor that owns a channel and the network thread meet here: fields
// above the line are guarded by lock, those below belong to the network
// thread. Only the network thread opens and closes the socket, and it does
// so under the lock, so it may use the socket without the lock meanwhile;
// a user sends and reads on it only with the lock held.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <deque>
#include <memory>
#include <vector>

#include "core/capsule.h"
#include "extern/net/CNetDataBuffer.h"
#include "extern/net/slimLock.h"

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

class channel;

// One overlapped operation of a channel. The system hands the OVERLAPPED
// back at completion; the operation leads from it to its channel.
enum class ioKind { receive, send, connect, accept };
struct ioOperation {
    OVERLAPPED overlapped{};
    ioKind kind;
    channel* owner;
    bool pending = false;  // network thread only
};

// What one queued send costs against the link's bound: its bytes and the
// bookkeeping around them, so that many tiny sends are bounded too.
constexpr unsigned long long queuedPieceOverhead = 64;

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
    // Queues a copy of the bytes unless the channel cannot send or the
    // waiting bytes would go beyond bound (a send larger than bound is never
    // taken). wakeNeeded: the network thread has to look at the channel.
    bool queue(const void* bytes, unsigned long length, unsigned long long bound, bool& wakeNeeded);
    unsigned long outgoingCount();
    // The bytes received so far (count 0), or null: what the network
    // thread read, else one read of the socket of at most piece bytes when
    // a notice said bytes wait. wakeNeeded: the network thread has to look
    // at the channel (reading had paused, or the read found the end).
    receivedBytes* takeReceived(unsigned long piece, bool& wakeNeeded);
    // The next accepted connection, or null. wakeNeeded: accepting had
    // paused.
    std::shared_ptr<channel> takeWaitingPeer(bool& wakeNeeded);
    void requestClose(bool abort);
    void setNoDelay(bool on);
    // Turns a channel that never reached the network thread into a failure.
    void fail(int error);
    // Waits (bounded) until the network thread has bound a listener.
    void waitSettled(unsigned milliseconds);

    slimLock lock;
    CONDITION_VARIABLE settled = CONDITION_VARIABLE_INIT;  // woken when listenReady is left
    phase state;
    int error = 0;
    sockaddr_in peer;  // the peer, or the listener's own address
    bool peerEnded = false;
    receivedBytes* received = nullptr;  // owned; null while nothing waits
    // Sends not yet done, oldest first; the first inFlight of them are held
    // by a pending overlapped send and are only let go at its completion.
    std::deque<std::vector<unsigned char>> outgoing;
    size_t inFlight = 0;
    size_t frontSent = 0;  // bytes of outgoing.front() already sent
    unsigned long long outgoingCost = 0;  // counted against the bound
    std::deque<std::shared_ptr<channel>> waitingPeers;
    bool closeRequested = false;
    bool abortRequested = false;
    bool noDelay = false;
    bool readIdle = true;       // no read of the network thread pending or under way
    // Connected, the user reads the socket (in takeReceived) while a notice
    // says bytes wait; once engineReads is set (the peer's end was noticed,
    // or notices cannot come) the network thread reads instead, for good.
    bool readable = false;
    bool engineReads = false;
    bool readAtLimit = false;   // stopped while the user's bytes fill the receive limit
    bool acceptPaused = false;  // no accept pending: enough peers wait
    unsigned long long deadline = 0;  // GetTickCount64 of a dial or linger end
    SOCKET sock = INVALID_SOCKET;
    bool noDelayApplied = false;
    bool skipOnSuccess = false;  // immediate completions queue no packet

    // ---- network thread only
    ioOperation readOp{{}, ioKind::receive, this};
    ioOperation sendOp{{}, ioKind::send, this};
    ioOperation linkOp{{}, ioKind::connect, this};  // the dial, or a listener's accept
    SOCKET acceptSocket = INVALID_SOCKET;
    unsigned char acceptAddresses[2 * (sizeof(sockaddr_in) + 16)] = {};
    bool sendShut = false;
    SOCKET watched = INVALID_SOCKET;  // the socket read notices come for
    bool timed = false;  // in the network thread's list of deadlines
    bool again = false;  // in its list of channels to come back to
    bool attentionQueued = false;  // guarded by the engine's attention lock

    // With the lock held.
    bool canSend() const;
    bool deliversOnClose() const { return !abortRequested && !outgoing.empty(); }
    bool pendingIo() const { return readOp.pending || sendOp.pending || linkOp.pending; }
    void dropOutgoing();
    void popSent(unsigned long long bytes);
    void failLocked(int code);
    // Network thread, lock held. Closing cancels what is pending; those
    // operations still complete, and the channel lives until they have.
    void closeSocket();
    void failWithSocket(int code);
    // A connection that broke: nothing more can be sent, received bytes
    // stay for the user.
    void connectionLost(int code);
    void requestCloseLocked(bool abort);
    void applyNoDelay();
    // Out of send mode, hands the bytes to the system at once when nothing
    // waits before them; the count taken (0 when none was taken now).
    unsigned long sendDirect(const unsigned char* bytes, unsigned long length);
    // User side, lock held: one read of at most piece bytes from the
    // socket into a new buffer (count 0), or null.
    receivedBytes* readDirect(unsigned long piece, bool& wakeNeeded);
};

}  // namespace vesk::net
