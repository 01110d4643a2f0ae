// What the network thread does on one channel: dialling, listening and
// accepting, reading what its user does not, sending and closing. Each step runs on the network
// thread; the channel's lock is held for its fields and let go around the
// reads and sends of the hot path, which only this thread makes.
#include <algorithm>
#include <new>

#include "extern/net/channel.h"
#include "extern/net/engine.h"

namespace vesk::net {

namespace {

// Per step and channel, so that one busy connection cannot starve the rest.
constexpr unsigned long long readPerPass = 1024 * 1024;
constexpr unsigned long long writePerPass = 1024 * 1024;
constexpr DWORD gatherBuffers = 64;
constexpr unsigned long streamingRead = 16 * 1024;
constexpr unsigned acceptsPerPass = 16;
constexpr DWORD acceptAddressRoom = sizeof(sockaddr_in) + 16;

// How an overlapped call that was just made went.
enum class issued { doneNow, pending, failed };

issued outcome(bool doneAtOnce, int code, const channel& c) {
    if (doneAtOnce)
        return c.skipOnSuccess ? issued::doneNow : issued::pending;  // else its packet still comes
    return code == WSA_IO_PENDING ? issued::pending : issued::failed;
}

}  // namespace

// Acts on whatever the channel's user asked for or its state calls for.
void engine::attendTo(channel& c) {
    std::vector<std::shared_ptr<channel>> arrived;    // accepted during this step
    std::deque<std::shared_ptr<channel>> unclaimed;  // a closed listener's peers
    bool read = false, send = false;
    {
        slimGuard hold(c.lock);
        switch (c.state) {
        case phase::resolving:
            if (c.closeRequested && !c.deliversOnClose())
                c.state = phase::ended;
            else
                track(c);
            break;
        case phase::dialReady:
            if (c.closeRequested && !c.deliversOnClose())
                c.state = phase::ended;
            else
                dial(c);
            break;
        case phase::dialling:
            // Closed while dialling: queued bytes are still delivered once
            // connected; with none the dial is given up.
            if (c.closeRequested && !c.deliversOnClose()) {
                c.closeSocket();
                c.state = phase::ended;
            }
            break;
        case phase::listenReady:
            if (c.closeRequested) {
                c.state = phase::ended;
                WakeAllConditionVariable(&c.settled);
            } else {
                bindAndListen(c, arrived);
            }
            break;
        case phase::listening:
            if (c.closeRequested) {
                c.closeSocket();  // the pending accept comes back cancelled
                c.state = phase::ended;
                unclaimed.swap(c.waitingPeers);
            } else if (c.acceptPaused) {
                acceptPeers(c, arrived);
            }
            break;
        case phase::ended:
        case phase::failed:
            c.closeSocket();
            break;
        case phase::connected:
        case phase::closing:
            break;
        }
        if (c.state == phase::connected) {
            if (c.closeRequested)
                beginClosing(c);
            else
                c.applyNoDelay();
        } else if (c.state == phase::closing && c.abortRequested) {
            c.closeSocket();
        }
        bool open = c.sock != INVALID_SOCKET && (c.state == phase::connected || c.state == phase::closing);
        bool room = c.state == phase::closing || !c.received || c.received->length() < settings_.receiveLimit;
        bool ours = c.state == phase::closing || c.engineReads;  // else the user reads
        read = open && ours && c.readIdle && !c.peerEnded && room;
        send = open && !c.sendOp.pending && c.outgoing.size() > c.inFlight;
    }
    for (auto& peer : unclaimed) {
        {
            slimGuard hold(peer->lock);
            peer->requestCloseLocked(true);
            peer->closeSocket();
        }
        retire(*peer);
    }
    for (auto& peer : arrived)
        attendTo(*peer);
    if (read)
        readAvailable(c);
    if (send)
        sendQueued(c);
    settle(c);
}

void engine::dial(channel& c) {
    SOCKET s = newSocket();
    if (s == INVALID_SOCKET) {
        c.failLocked(WSAGetLastError());
        return;
    }
    c.sock = s;
    sockaddr_in local{};
    local.sin_family = AF_INET;  // ConnectEx dials only from a bound socket
    if (!prepareSocket(c, s) || bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        c.failWithSocket(WSAGetLastError());
        return;
    }
    c.applyNoDelay();
    c.linkOp.kind = ioKind::connect;
    c.linkOp.overlapped = OVERLAPPED{};
    BOOL done = connectEx_(s, reinterpret_cast<sockaddr*>(&c.peer), sizeof c.peer, nullptr, 0, nullptr,
                           &c.linkOp.overlapped);
    int code = done ? 0 : WSAGetLastError();
    switch (outcome(done != FALSE, code, c)) {
    case issued::doneNow:
        connectedNow(c);
        break;
    case issued::pending:
        c.linkOp.pending = true;
        c.state = phase::dialling;
        track(c);
        break;
    case issued::failed:
        c.failWithSocket(code);
        break;
    }
}

void engine::connectedNow(channel& c) {
    // Without it the socket does not know it is connected: shutdown and the
    // address calls would fail.
    (void)setsockopt(c.sock, SOL_SOCKET, SO_UPDATE_CONNECT_CONTEXT, nullptr, 0);
    c.state = phase::connected;
    watchReads(c);
}

// With the lock held, once connected. The user waits for the first notice
// too: the system sends one at once for bytes that came before the socket
// was watched, and a read before it would leave that notice stale, to be
// paid for with an empty read later.
void engine::watchReads(channel& c) {
    std::shared_ptr<channel> held = known(c);
    c.readable = false;
    if (held && notices_.watch(c.sock, held)) {
        c.watched = c.sock;
    } else {
        c.engineReads = true;
    }
}

void engine::dialCompleted(channel& c, bool ok, int code) {
    {
        slimGuard hold(c.lock);
        if (c.state != phase::dialling || c.sock == INVALID_SOCKET)
            return;  // given up or timed out meanwhile
        if (!ok) {
            c.failWithSocket(code);
            return;
        }
        connectedNow(c);
    }
    attendTo(c);
}

void engine::bindAndListen(channel& c, std::vector<std::shared_ptr<channel>>& arrived) {
    SOCKET s = newSocket();
    if (s == INVALID_SOCKET) {
        c.failLocked(WSAGetLastError());
        return;
    }
    c.sock = s;
    // Lets a listener come back on its port while old connections on it
    // are still winding down. Refused, only such a bind fails, and the
    // bind below reports that.
    BOOL reuse = TRUE;
    (void)setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    int length = sizeof c.peer;
    if (!prepareSocket(c, s) || bind(s, reinterpret_cast<sockaddr*>(&c.peer), sizeof c.peer) != 0 ||
        ::listen(s, SOMAXCONN) != 0 || getsockname(s, reinterpret_cast<sockaddr*>(&c.peer), &length) != 0) {
        c.failWithSocket(WSAGetLastError());
        return;
    }
    c.state = phase::listening;
    WakeAllConditionVariable(&c.settled);
    acceptPeers(c, arrived);
}

// Keeps one accept pending while fewer than the most peers wait.
void engine::acceptPeers(channel& c, std::vector<std::shared_ptr<channel>>& arrived) {
    for (unsigned round = 0; round < acceptsPerPass; ++round) {
        if (c.waitingPeers.size() >= settings_.maxWaitingPeers) {
            c.acceptPaused = true;  // accept() resumes it
            return;
        }
        c.acceptPaused = false;
        if (c.acceptSocket == INVALID_SOCKET && (c.acceptSocket = newSocket()) == INVALID_SOCKET) {
            c.failWithSocket(WSAGetLastError());
            return;
        }
        c.linkOp.kind = ioKind::accept;
        c.linkOp.overlapped = OVERLAPPED{};
        DWORD received = 0;
        BOOL done = acceptEx_(c.sock, c.acceptSocket, c.acceptAddresses, 0, acceptAddressRoom, acceptAddressRoom,
                              &received, &c.linkOp.overlapped);
        int code = done ? 0 : WSAGetLastError();
        switch (outcome(done != FALSE, code, c)) {
        case issued::doneNow:
            adoptAccepted(c, true, arrived);
            continue;
        case issued::pending:
            c.linkOp.pending = true;
            return;
        case issued::failed:
            if (code == WSAECONNRESET) {  // a peer that gave up before it was taken
                adoptAccepted(c, false, arrived);
                continue;
            }
            closesocket(c.acceptSocket);
            c.acceptSocket = INVALID_SOCKET;
            c.failWithSocket(code);
            return;
        }
    }
    c.acceptPaused = true;
    requeue(c);
}

// The socket an accept filled becomes a connected channel waiting for
// accept(); its bytes wait in the system until its user reads them.
void engine::adoptAccepted(channel& listener, bool ok, std::vector<std::shared_ptr<channel>>& arrived) {
    SOCKET s = listener.acceptSocket;
    listener.acceptSocket = INVALID_SOCKET;
    sockaddr_in from{};
    int length = sizeof from;
    if (!ok ||
        setsockopt(s, SOL_SOCKET, SO_UPDATE_ACCEPT_CONTEXT, reinterpret_cast<const char*>(&listener.sock),
                   sizeof listener.sock) != 0 ||
        getpeername(s, reinterpret_cast<sockaddr*>(&from), &length) != 0) {
        closesocket(s);
        return;
    }
    std::shared_ptr<channel> peer;
    try {
        peer = std::make_shared<channel>(phase::connected, from);
    } catch (...) {
        closesocket(s);
        return;
    }
    peer->sock = s;  // from here on the channel closes it
    if (!prepareSocket(*peer, s))
        return;
    try {
        listener.waitingPeers.push_back(peer);
    } catch (...) {
        return;
    }
    try {
        live_.emplace(peer.get(), peer);
        arrived.push_back(peer);
    } catch (...) {
        live_.erase(peer.get());
        listener.waitingPeers.pop_back();
        return;
    }
    slimGuard hold(peer->lock);  // a notice may already reach it
    watchReads(*peer);
}

void engine::acceptCompleted(channel& c, bool ok) {
    std::vector<std::shared_ptr<channel>> arrived;
    {
        slimGuard hold(c.lock);
        if (c.state != phase::listening || c.sock == INVALID_SOCKET) {
            if (c.acceptSocket != INVALID_SOCKET) {
                closesocket(c.acceptSocket);
                c.acceptSocket = INVALID_SOCKET;
            }
            return;
        }
        adoptAccepted(c, ok, arrived);
        acceptPeers(c, arrived);
    }
    for (auto& peer : arrived)
        attendTo(*peer);
}

// The bytes just read go to the channel's buffer: a new one of their exact
// size, or appended to what the user has not taken yet.
bool engine::keepReceived(channel& c, unsigned long length) {
    if (!c.received) {
        c.received = newNetDataBuffer(scratch_.data(), length);
        return c.received != nullptr;
    }
    unsigned long before = c.received->length();
    return c.received->append(scratch_.data(), static_cast<int>(length)) == before + length;
}

// Reads what the system holds, then leaves a zero-byte read pending that
// completes when more arrives; for a closing link, and for a connected one
// once the peer's end was noticed. Reading pauses at the receive limit.
void engine::readAvailable(channel& c) {
    unsigned long long total = 0;
    for (;;) {
        SOCKET s;
        unsigned long room;
        {
            slimGuard hold(c.lock);
            c.readIdle = true;
            c.readAtLimit = false;
            bool open = c.state == phase::connected || c.state == phase::closing;
            if (c.sock == INVALID_SOCKET || c.peerEnded || !open)
                return;
            unsigned long held = c.state == phase::closing || !c.received ? 0 : c.received->length();
            unsigned long limit = settings_.receiveLimit;
            room = held >= limit ? 0 : std::min<unsigned long>(scratch_.size(), limit - held);
            if (room == 0) {
                c.readAtLimit = true;  // the user's receive() resumes it
                return;
            }
            if (total >= readPerPass) {
                requeue(c);
                return;
            }
            c.readIdle = false;
            s = c.sock;
        }
        int got = recv(s, scratch_.data(), static_cast<int>(room), 0);
        int code = got < 0 ? WSAGetLastError() : 0;
        {
            slimGuard hold(c.lock);
            if (got > 0) {
                total += static_cast<unsigned long>(got);
                // Closing: read only to see the peer's end; the bytes go.
                if (c.state == phase::connected && !keepReceived(c, static_cast<unsigned long>(got))) {
                    c.readIdle = true;
                    c.connectionLost(WSAENOBUFS);
                    return;
                }
                // A full read most likely left more behind, and a large one
                // comes from a stream that goes on: reading again costs
                // less than a read pending until the next bytes arrive.
                if (static_cast<unsigned long>(got) == room || static_cast<unsigned long>(got) >= streamingRead)
                    continue;
            } else if (got == 0) {
                c.peerEnded = true;
                c.readIdle = true;
                return;
            } else if (code != WSAEWOULDBLOCK) {
                c.readIdle = true;
                c.connectionLost(code);
                return;
            }
        }
        c.readOp.overlapped = OVERLAPPED{};
        WSABUF none{0, nullptr};
        DWORD moved = 0, flags = 0;
        int rc = WSARecv(s, &none, 1, &moved, &flags, &c.readOp.overlapped, nullptr);
        code = rc == 0 ? 0 : WSAGetLastError();
        issued how = outcome(rc == 0, code, c);
        if (how == issued::doneNow)
            continue;  // bytes arrived meanwhile
        slimGuard hold(c.lock);
        if (how == issued::pending) {
            c.readOp.pending = true;
            return;
        }
        c.readIdle = true;
        c.connectionLost(code);
        return;
    }
}

void engine::readCompleted(channel& c, bool ok, int code) {
    if (!ok) {
        slimGuard hold(c.lock);
        c.readIdle = true;
        if (c.sock != INVALID_SOCKET)
            c.connectionLost(code);
        return;
    }
    readAvailable(c);
    settle(c);
}

// The most one send hands over. Under Wine each send costs a round trip to
// its server whatever its size, so the more it takes the better; but only
// half of a paced link's backlog, so that a sender that keeps up fills the
// other half while it goes and never finds the link idle.
unsigned long long engine::sendGather() const {
    return std::max<unsigned long long>(settings_.transferBacklog / 2, 1);
}

// Hands the queued sends to the system, gathered, one overlapped send at a
// time; the pieces stay queued until it completes.
void engine::sendQueued(channel& c) {
    unsigned long long total = 0;
    for (;;) {
        WSABUF pieces[gatherBuffers];
        DWORD count = 0;
        SOCKET s;
        {
            slimGuard hold(c.lock);
            if (c.sock == INVALID_SOCKET || c.sendOp.pending || c.outgoing.empty() ||
                (c.state != phase::connected && c.state != phase::closing))
                return;
            if (total >= writePerPass) {
                requeue(c);
                return;
            }
            unsigned long long gathered = 0;
            for (auto it = c.outgoing.begin();
                 it != c.outgoing.end() && count < gatherBuffers && gathered < sendGather(); ++it, ++count) {
                size_t skip = count == 0 ? c.frontSent : 0;
                pieces[count].buf = reinterpret_cast<char*>(it->data() + skip);
                pieces[count].len = static_cast<ULONG>(it->size() - skip);
                gathered += pieces[count].len;
            }
            c.inFlight = count;
            s = c.sock;
        }
        c.sendOp.overlapped = OVERLAPPED{};
        DWORD sent = 0;
        int rc = WSASend(s, pieces, count, &sent, 0, &c.sendOp.overlapped, nullptr);
        int code = rc == 0 ? 0 : WSAGetLastError();
        slimGuard hold(c.lock);
        switch (outcome(rc == 0, code, c)) {
        case issued::doneNow:
            c.popSent(sent);
            c.inFlight = 0;
            total += sent;
            continue;
        case issued::pending:
            c.sendOp.pending = true;
            return;
        case issued::failed:
            c.inFlight = 0;
            c.connectionLost(code);
            return;
        }
    }
}

void engine::sendCompleted(channel& c, bool ok, unsigned long bytes, int code) {
    {
        slimGuard hold(c.lock);
        if (ok) {
            c.popSent(bytes);
            c.inFlight = 0;
        } else {
            c.inFlight = 0;
            if (c.sock != INVALID_SOCKET)
                c.connectionLost(code);
            else
                c.dropOutgoing();
        }
    }
    sendQueued(c);
    settle(c);
}

// The user has let go: what was received is of no use any more; what was
// queued still goes out within the linger time.
void engine::beginClosing(channel& c) {
    delete c.received;
    c.received = nullptr;
    c.state = phase::closing;
    c.deadline = GetTickCount64() + settings_.lingerMs;
    track(c);
    if (c.abortRequested)
        c.closeSocket();
}

// After reads and sends: a connection whose peer ended closes once its
// queue is out; a closing one shuts its sending side once flushed and
// closes when the peer's end arrives.
void engine::settle(channel& c) {
    slimGuard hold(c.lock);
    if (c.sock == INVALID_SOCKET)
        return;
    bool flushed = c.outgoing.empty();
    if (c.state == phase::connected && c.peerEnded && flushed) {
        shutdown(c.sock, SD_SEND);
        c.closeSocket();
        c.state = phase::ended;
    } else if (c.state == phase::closing) {
        if (flushed && !c.sendShut) {
            shutdown(c.sock, SD_SEND);
            c.sendShut = true;
        }
        if (c.sendShut && c.peerEnded)
            c.closeSocket();
    }
}

}  // namespace vesk::net
