#include "extern/net/channel.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "vesk/net.h"

namespace vesk::net {

channel::channel(phase start, const sockaddr_in& address) : state(start), peer(address) {}

channel::~channel() {
    delete received;
    if (sock != INVALID_SOCKET)
        closesocket(sock);
    if (acceptSocket != INVALID_SOCKET)
        closesocket(acceptSocket);
}

int channel::status() {
    slimGuard hold(lock);
    switch (state) {
    case phase::resolving:
    case phase::dialReady:
    case phase::dialling:
        return status::connecting;
    case phase::connected:
        // The end is told as soon as it is seen, whether or not received
        // bytes wait: a user that reads only while connected would
        // otherwise wait for ever on a peer that is gone. Those bytes stay
        // for receive().
        return peerEnded ? status::idle : status::connected;
    case phase::ended:
        return status::idle;
    case phase::failed:
        return status::failed;
    case phase::listenReady:
    case phase::listening:
        return waitingPeers.empty() ? status::listening : status::peerWaiting;
    case phase::closing:
        return status::idle;
    }
    return status::idle;
}

int channel::errorCode() {
    slimGuard hold(lock);
    return error;
}

sockaddr_in channel::address() {
    slimGuard hold(lock);
    return peer;
}

// Sending is allowed until the connection is over; while dialling the bytes
// wait for the connection.
bool channel::canSend() const {
    switch (state) {
    case phase::resolving:
    case phase::dialReady:
    case phase::dialling:
        return true;
    case phase::connected:
        return true;
    default:
        return false;
    }
}

bool channel::queue(const void* bytes, unsigned long length, unsigned long long bound, bool& wakeNeeded) {
    wakeNeeded = false;
    slimGuard hold(lock);
    if (!canSend())
        return false;
    if (length == 0)
        return true;
    if (!bytes)
        return false;
    if (outgoingCost + length + queuedPieceOverhead > bound)
        return false;
    const auto* first = static_cast<const unsigned char*>(bytes);
    unsigned long taken = sendDirect(first, length);
    if (taken == length)
        return true;
    try {
        outgoing.emplace_back(first + taken, first + length);
    } catch (...) {
        // What the system took cannot be taken back: the rest is lost, and
        // so is the connection's use.
        if (taken) {
            requestCloseLocked(true);
            wakeNeeded = true;
        }
        return false;
    }
    outgoingCost += length - taken + queuedPieceOverhead;
    wakeNeeded = state == phase::connected && outgoing.size() == 1;
    return true;
}

namespace {

// A read this large comes from a stream that goes on.
constexpr unsigned long streamingRead = 16 * 1024;
// A send this large gains nothing from being gathered with others.
constexpr unsigned long gatherLimit = 32 * 1024;

}  // namespace

// Out of send mode, a send on an idle connection goes to the system at once:
// it saves the network thread a wake and a pass. In send mode small sends
// wait for the thread, which hands a burst over in one call; large ones go
// at once too. The socket is the thread's, but it is closed only under the
// lock held here.
unsigned long channel::sendDirect(const unsigned char* bytes, unsigned long length) {
    if ((!noDelay && length < gatherLimit) || state != phase::connected || sock == INVALID_SOCKET ||
        !outgoing.empty())
        return 0;
    applyNoDelay();
    int piece = static_cast<int>(std::min<unsigned long>(length, 0x40000000ul));
    int sent = ::send(sock, reinterpret_cast<const char*>(bytes), piece, 0);
    return sent > 0 ? static_cast<unsigned long>(sent) : 0;  // errors are the thread's to find
}

void channel::applyNoDelay() {
    if (sock == INVALID_SOCKET || noDelay == noDelayApplied)
        return;
    BOOL on = noDelay ? TRUE : FALSE;
    // A refusal only costs latency; the connection works either way.
    if (setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on) == 0)
        noDelayApplied = noDelay;
}

unsigned long channel::outgoingCount() {
    slimGuard hold(lock);
    return static_cast<unsigned long>(outgoing.size());
}

receivedBytes* channel::takeReceived(unsigned long piece, bool& wakeNeeded) {
    slimGuard hold(lock);
    wakeNeeded = false;
    if (received && received->length() > 0) {
        receivedBytes* taken = received;
        received = nullptr;
        wakeNeeded = readAtLimit && !peerEnded && sock != INVALID_SOCKET;
        return taken;
    }
    bool userReads = readable && !engineReads && state == phase::connected;
    if (!userReads || sock == INVALID_SOCKET || peerEnded || piece == 0)
        return nullptr;
    return readDirect(piece, wakeNeeded);
}

// After a short read the socket is most likely empty, and the system's next
// notice comes when more arrives. A full or large read comes from a stream
// that goes on: its next bytes mostly arrive before the next call, and
// reading them then costs less than waiting for the notice. What the
// socket's end or failure means is for the network thread to settle.
receivedBytes* channel::readDirect(unsigned long piece, bool& wakeNeeded) {
    piece = std::min<unsigned long>(piece, 0x40000000ul);
    receivedBytes* bytes = newNetDataBuffer(nullptr, 0);
    unsigned char* room = bytes ? bytes->roomFor(piece) : nullptr;
    if (!room) {
        delete bytes;
        return nullptr;  // tried again at the next call
    }
    int got = recv(sock, reinterpret_cast<char*>(room), static_cast<int>(piece), 0);
    if (got > 0) {
        unsigned long length = static_cast<unsigned long>(got);
        bytes->added(length);
        readable = length == piece || length >= streamingRead;
        return bytes;
    }
    delete bytes;
    readable = false;
    if (got == 0) {
        peerEnded = true;
        wakeNeeded = true;
    } else if (WSAGetLastError() != WSAEWOULDBLOCK) {
        engineReads = true;  // its own read finds the error and ends the link
        wakeNeeded = true;
    }
    return nullptr;
}

std::shared_ptr<channel> channel::takeWaitingPeer(bool& wakeNeeded) {
    slimGuard hold(lock);
    wakeNeeded = false;
    if (waitingPeers.empty())
        return nullptr;
    wakeNeeded = acceptPaused;
    std::shared_ptr<channel> next = waitingPeers.front();
    waitingPeers.pop_front();
    return next;
}

void channel::requestClose(bool abort) {
    slimGuard hold(lock);
    requestCloseLocked(abort);
}

void channel::requestCloseLocked(bool abort) {
    closeRequested = true;
    if (abort) {
        abortRequested = true;
        dropOutgoing();
    }
}

void channel::setNoDelay(bool on) {
    slimGuard hold(lock);
    noDelay = on;
}

void channel::fail(int code) {
    slimGuard hold(lock);
    failLocked(code);
}

void channel::failLocked(int code) {
    state = phase::failed;
    error = code;
    dropOutgoing();
    WakeAllConditionVariable(&settled);
}

void channel::closeSocket() {
    if (sock != INVALID_SOCKET) {
        closesocket(sock);
        sock = INVALID_SOCKET;
    }
}

void channel::failWithSocket(int code) {
    closeSocket();
    failLocked(code);
}

void channel::connectionLost(int code) {
    closeSocket();
    peerEnded = true;
    error = code;
    dropOutgoing();
    if (state == phase::connected)
        state = phase::ended;
}

void channel::waitSettled(unsigned milliseconds) {
    slimGuard hold(lock);
    ULONGLONG end = GetTickCount64() + milliseconds;
    for (ULONGLONG now = GetTickCount64(); state == phase::listenReady && now < end; now = GetTickCount64())
        lock.wait(settled, static_cast<DWORD>(end - now));
}

// Pieces held by a pending send stay until its completion: the system may
// still read them.
void channel::dropOutgoing() {
    outgoing.erase(outgoing.begin() + static_cast<std::ptrdiff_t>(inFlight), outgoing.end());
    outgoingCost = 0;
    for (size_t i = 0; i < outgoing.size(); ++i)
        outgoingCost += outgoing[i].size() - (i == 0 ? frontSent : 0) + queuedPieceOverhead;
}

void channel::popSent(unsigned long long bytes) {
    while (bytes > 0 && !outgoing.empty()) {
        unsigned long long rest = outgoing.front().size() - frontSent;
        if (bytes < rest) {
            frontSent += static_cast<size_t>(bytes);
            outgoingCost -= bytes;
            return;
        }
        bytes -= rest;
        outgoingCost -= rest + queuedPieceOverhead;
        outgoing.pop_front();
        frontSent = 0;
        if (inFlight)
            --inFlight;
    }
}

}  // namespace vesk::net
