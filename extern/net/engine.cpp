#include "extern/net/engine.h"

#include <ws2tcpip.h>

#include <algorithm>

#include "extern/net/channel.h"

namespace vesk::net {

namespace {

constexpr unsigned readPiece = 64 * 1024;
// Per pass and socket, so that one busy connection cannot starve the rest.
constexpr unsigned readPerPass = 256 * 1024;
constexpr unsigned long long writePerPass = 1024 * 1024;
constexpr int gatherBuffers = 16;
// The longest wait while some sockets did not fit into this pass's select.
constexpr unsigned long long turnWaitMs = 20;

bool setNonBlocking(SOCKET s) {
    u_long on = 1;
    return ioctlsocket(s, FIONBIO, &on) == 0;
}

void closeSocket(channel& c) {
    if (c.sock != INVALID_SOCKET) {
        closesocket(c.sock);
        c.sock = INVALID_SOCKET;
    }
}

// A connection that broke: nothing more can be sent, received bytes stay
// for the user.
void connectionLost(channel& c, int code) {
    closeSocket(c);
    c.peerEnded = true;
    c.error = code;
    c.dropOutgoing();
    if (c.state == phase::connected)
        c.state = phase::ended;
}

void failWithSocket(channel& c, int code) {
    closeSocket(c);
    c.failLocked(code);
}

void abortPeers(std::deque<std::shared_ptr<channel>>& peers) {
    for (auto& p : peers)
        p->requestClose(true);
    peers.clear();
}

// States in which a channel's deadline ends something.
bool hasDeadline(phase p) { return p == phase::resolving || p == phase::dialling || p == phase::closing; }

// A channel leaves the thread once it has no socket and nothing left to do.
bool finished(channel& c) {
    std::lock_guard<std::mutex> hold(c.lock);
    if (c.sock != INVALID_SOCKET)
        return false;
    return c.state != phase::resolving && c.state != phase::dialReady && c.state != phase::listenReady;
}

}  // namespace

engine::engine(const engineSettings& settings) : settings_(settings) {}

engine::~engine() {
    stop();
    if (wakeSocket_ != INVALID_SOCKET)
        closesocket(wakeSocket_);
    if (winsockUp_)
        WSACleanup();
}

bool engine::start() {
    if (thread_)
        return true;
    if (!winsockUp_) {
        WSADATA data;
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
            return false;
        winsockUp_ = true;
    }
    if (wakeSocket_ == INVALID_SOCKET) {
        SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        if (s == INVALID_SOCKET)
            return false;
        sockaddr_in self{};
        self.sin_family = AF_INET;
        self.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof self;
        if (!setNonBlocking(s) || bind(s, reinterpret_cast<sockaddr*>(&self), sizeof self) != 0 ||
            getsockname(s, reinterpret_cast<sockaddr*>(&self), &length) != 0) {
            closesocket(s);
            return false;
        }
        wakeSocket_ = s;
        wakeAddress_ = self;
    }
    {
        std::lock_guard<std::mutex> hold(lock_);
        stopping_ = false;
    }
    thread_ = CreateThread(nullptr, 0, &engine::threadMain, this, 0, nullptr);
    return thread_ != nullptr;
}

void engine::stop() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        stopping_ = true;
    }
    if (!thread_)
        return;
    // Sent whatever the flag says, so that the thread surely sees it. The
    // thread blocks on nothing but this socket's select, so the wait ends;
    // giving up earlier would free what the thread still uses.
    signalWake();
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
}

bool engine::adopt(const std::shared_ptr<channel>& c) {
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (stopping_ || !thread_)
            return false;
        try {
            newcomers_.push_back(c);
        } catch (...) {
            return false;
        }
    }
    wake();
    return true;
}

// At most one datagram in flight: the flag stays set until the thread has
// drained the socket, and the thread reads channel state only after that.
void engine::wake() {
    if (wakeSocket_ == INVALID_SOCKET || wakePending_.exchange(true))
        return;
    if (!signalWake())
        wakePending_ = false;
}

bool engine::signalWake() {
    char signal = 1;
    return sendto(wakeSocket_, &signal, 1, 0, reinterpret_cast<sockaddr*>(&wakeAddress_), sizeof wakeAddress_) !=
           SOCKET_ERROR;
}

// The flag is cleared after the socket is empty: cleared before, a wake
// sent meanwhile would be swallowed with its flag left set, and every later
// wake skipped.
void engine::drainWake() {
    char sink[64];
    while (recv(wakeSocket_, sink, sizeof sink, 0) > 0) {
    }
    wakePending_ = false;
}

DWORD WINAPI engine::threadMain(void* self) {
    static_cast<engine*>(self)->run();
    return 0;
}

void engine::run() {
    for (;;) {
        {
            std::lock_guard<std::mutex> hold(lock_);
            if (stopping_)
                break;
        }
        takeNewcomers();
        unsigned long long now = GetTickCount64();
        // In order: a listener closed before a new one on the same port is
        // gone by the time the new one binds.
        for (size_t i = 0; i < live_.size(); ++i)
            advance(*live_[i], now);
        live_.erase(std::remove_if(live_.begin(), live_.end(), [](auto& c) { return finished(*c); }), live_.end());

        fd_set readable, writable, failed;
        FD_ZERO(&readable);
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(wakeSocket_, &readable);
        // Beyond the select's capacity, the next pass starts with the first
        // one left out, and comes soon, so that every socket takes its turn.
        const u_int capacity = std::min<u_int>(std::max(settings_.selectCapacity, 2u), FD_SETSIZE);
        size_t count = live_.size();
        size_t start = count ? rotation_ % count : 0;
        bool leftOut = false;
        unsigned long long wakeAt = now + settings_.idleWaitMs;
        for (size_t k = 0; k < count; ++k) {
            channel& c = *live_[(start + k) % count];
            std::lock_guard<std::mutex> hold(c.lock);
            if (c.deadline && hasDeadline(c.state))
                wakeAt = std::min(wakeAt, c.deadline);
            if (c.sock == INVALID_SOCKET || leftOut)
                continue;
            if (readable.fd_count >= capacity || writable.fd_count >= capacity) {
                leftOut = true;
                rotation_ = start + k;
                wakeAt = std::min(wakeAt, now + turnWaitMs);
                continue;
            }
            switch (c.state) {
            case phase::dialling:
                FD_SET(c.sock, &writable);
                FD_SET(c.sock, &failed);
                break;
            case phase::connected:
            case phase::closing:
                if (!c.peerEnded && (!c.received || c.received->length() < settings_.receiveLimit))
                    FD_SET(c.sock, &readable);
                if (!c.outgoing.empty())
                    FD_SET(c.sock, &writable);
                break;
            case phase::listening:
                if (c.waitingPeers.size() < settings_.maxWaitingPeers)
                    FD_SET(c.sock, &readable);
                break;
            default:
                break;
            }
        }

        unsigned long long waitMs = wakeAt > now ? wakeAt - now : 0;
        timeval wait{static_cast<long>(waitMs / 1000), static_cast<long>(waitMs % 1000) * 1000};
        if (select(0, &readable, &writable, &failed, &wait) == SOCKET_ERROR) {
            Sleep(1);  // a socket went away under us; the next pass rebuilds the sets
            continue;
        }
        if (FD_ISSET(wakeSocket_, &readable))
            drainWake();
        for (auto& c : live_)
            serve(*c, readable, writable, failed);
        for (auto& c : accepted_)
            live_.push_back(std::move(c));
        accepted_.clear();
    }
    endAll();
}

void engine::takeNewcomers() {
    std::vector<std::shared_ptr<channel>> arrived;
    {
        std::lock_guard<std::mutex> hold(lock_);
        arrived.swap(newcomers_);
    }
    for (auto& c : arrived)
        live_.push_back(std::move(c));
}

void engine::advance(channel& c, unsigned long long now) {
    std::unique_lock<std::mutex> hold(c.lock);
    switch (c.state) {
    case phase::resolving:
        if (c.closeRequested)
            c.state = phase::ended;
        else if (now >= c.deadline)
            c.failLocked(WSAETIMEDOUT);
        break;
    case phase::dialReady:
        if (c.closeRequested)
            c.state = phase::ended;
        else
            dial(c);
        break;
    case phase::dialling:
        if (c.closeRequested) {
            closeSocket(c);
            c.state = phase::ended;
        } else if (now >= c.deadline) {
            failWithSocket(c, WSAETIMEDOUT);
        }
        break;
    case phase::connected:
        if (c.closeRequested) {
            // The user is gone: what was received is of no use any more.
            delete c.received;
            c.received = nullptr;
            c.state = phase::closing;
            c.deadline = now + settings_.lingerMs;
            if (c.abortRequested)
                closeSocket(c);
            break;
        }
        c.applyNoDelay();
        if (c.peerEnded && c.outgoing.empty() && c.sock != INVALID_SOCKET) {
            shutdown(c.sock, SD_SEND);
            closeSocket(c);
            c.state = phase::ended;
        }
        break;
    case phase::closing:
        if (c.abortRequested || now >= c.deadline) {
            closeSocket(c);
            break;
        }
        if (c.outgoing.empty() && !c.sendShut && c.sock != INVALID_SOCKET) {
            shutdown(c.sock, SD_SEND);
            c.sendShut = true;
        }
        if (c.sendShut && c.peerEnded)
            closeSocket(c);
        break;
    case phase::listenReady:
        if (c.closeRequested) {
            c.state = phase::ended;
            c.settled.notify_all();
        } else {
            bindAndListen(c);
        }
        break;
    case phase::listening:
        if (c.closeRequested) {
            closeSocket(c);
            c.state = phase::ended;
            std::deque<std::shared_ptr<channel>> unclaimed;
            unclaimed.swap(c.waitingPeers);
            hold.unlock();
            abortPeers(unclaimed);
        }
        break;
    case phase::ended:
    case phase::failed:
        closeSocket(c);
        break;
    }
}

void engine::dial(channel& c) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        c.failLocked(WSAGetLastError());
        return;
    }
    c.sock = s;
    if (!setNonBlocking(s)) {
        failWithSocket(c, WSAGetLastError());
        return;
    }
    c.applyNoDelay();
    if (connect(s, reinterpret_cast<sockaddr*>(&c.peer), sizeof c.peer) == 0) {
        c.state = phase::connected;
        return;
    }
    int code = WSAGetLastError();
    if (code == WSAEWOULDBLOCK || code == WSAEINPROGRESS)
        c.state = phase::dialling;
    else
        failWithSocket(c, code);
}

void engine::bindAndListen(channel& c) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
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
    if (!setNonBlocking(s) || bind(s, reinterpret_cast<sockaddr*>(&c.peer), sizeof c.peer) != 0 ||
        ::listen(s, SOMAXCONN) != 0 || getsockname(s, reinterpret_cast<sockaddr*>(&c.peer), &length) != 0) {
        failWithSocket(c, WSAGetLastError());
        return;
    }
    c.state = phase::listening;
    c.settled.notify_all();
}

void engine::serve(channel& c, fd_set& readable, fd_set& writable, fd_set& failed) {
    std::lock_guard<std::mutex> hold(c.lock);
    if (c.sock == INVALID_SOCKET)
        return;
    switch (c.state) {
    case phase::dialling:
        if (FD_ISSET(c.sock, &writable) || FD_ISSET(c.sock, &failed)) {
            int code = 0;
            int length = sizeof code;
            if (getsockopt(c.sock, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&code), &length) != 0)
                code = WSAGetLastError();
            if (code == 0 && FD_ISSET(c.sock, &failed))
                code = WSAECONNREFUSED;
            if (code != 0) {
                failWithSocket(c, code);
                return;
            }
            c.state = phase::connected;
            writeSome(c);  // bytes queued while dialling
        }
        break;
    case phase::connected:
    case phase::closing:
        if (FD_ISSET(c.sock, &readable))
            readSome(c);
        if (c.sock != INVALID_SOCKET && FD_ISSET(c.sock, &writable))
            writeSome(c);
        break;
    case phase::listening:
        if (FD_ISSET(c.sock, &readable))
            acceptSome(c);
        break;
    default:
        break;
    }
}

void engine::readSome(channel& c) {
    unsigned total = 0;
    while (total < readPerPass) {
        char* into;
        char discard[4096];
        int room;
        if (c.state == phase::closing) {
            into = discard;
            room = sizeof discard;
        } else {
            if (!c.received) {
                c.received = new (std::nothrow) receivedBytes();
                if (!c.received)
                    return;  // tried again on the next pass
            }
            if (c.received->length() >= settings_.receiveLimit)
                return;
            into = reinterpret_cast<char*>(c.received->reserveTail(readPiece));
            if (!into)
                return;
            room = readPiece;
        }
        int got = recv(c.sock, into, room, 0);
        if (got > 0) {
            if (into != discard)
                c.received->commitTail(static_cast<unsigned>(got));
            total += static_cast<unsigned>(got);
            if (got < room)
                return;  // most likely all there was; select tells otherwise
            continue;
        }
        if (got == 0) {
            c.peerEnded = true;
            return;
        }
        int code = WSAGetLastError();
        if (code != WSAEWOULDBLOCK)
            connectionLost(c, code);
        return;
    }
}

void engine::writeSome(channel& c) {
    unsigned long long total = 0;
    while (!c.outgoing.empty() && total < writePerPass) {
        WSABUF pieces[gatherBuffers];
        DWORD count = 0;
        for (auto it = c.outgoing.begin(); it != c.outgoing.end() && count < gatherBuffers; ++it, ++count) {
            size_t skip = count == 0 ? c.frontSent : 0;
            pieces[count].buf = reinterpret_cast<char*>(it->data() + skip);
            pieces[count].len = static_cast<ULONG>(it->size() - skip);
        }
        DWORD sent = 0;
        if (WSASend(c.sock, pieces, count, &sent, 0, nullptr, nullptr) == SOCKET_ERROR) {
            int code = WSAGetLastError();
            if (code != WSAEWOULDBLOCK)
                connectionLost(c, code);
            return;
        }
        if (sent == 0)
            return;
        total += sent;
        c.outgoingBytes -= sent;
        size_t left = sent;
        while (left > 0) {
            size_t rest = c.outgoing.front().size() - c.frontSent;
            if (left < rest) {
                c.frontSent += left;
                break;
            }
            left -= rest;
            c.outgoing.pop_front();
            c.frontSent = 0;
        }
    }
}

void engine::acceptSome(channel& c) {
    while (c.waitingPeers.size() < settings_.maxWaitingPeers) {
        sockaddr_in from{};
        int length = sizeof from;
        SOCKET s = accept(c.sock, reinterpret_cast<sockaddr*>(&from), &length);
        if (s == INVALID_SOCKET)
            return;  // nobody more, or a peer that gave up before we took it
        if (!setNonBlocking(s)) {
            closesocket(s);
            continue;
        }
        std::shared_ptr<channel> peer;
        try {
            peer = std::make_shared<channel>(phase::connected, from);
        } catch (...) {
            closesocket(s);
            return;
        }
        peer->sock = s;  // from here on the channel closes it
        try {
            accepted_.push_back(peer);
        } catch (...) {
            return;
        }
        try {
            c.waitingPeers.push_back(peer);
        } catch (...) {
            // Not yet seen by any other thread, so no lock is needed.
            peer->closeRequested = peer->abortRequested = true;
            return;
        }
    }
}

// At stop: every socket closes and nobody is left waiting for a dial.
void engine::endAll() {
    takeNewcomers();
    for (auto& c : accepted_)
        live_.push_back(std::move(c));
    accepted_.clear();
    for (auto& c : live_) {
        std::lock_guard<std::mutex> hold(c->lock);
        closeSocket(*c);
        switch (c->state) {
        case phase::connected:
            c->peerEnded = true;
            c->error = WSAENETDOWN;
            c->dropOutgoing();
            c->state = phase::ended;
            break;
        case phase::ended:
        case phase::failed:
        case phase::closing:
            break;
        default:
            c->failLocked(WSAENETDOWN);
            break;
        }
        c->settled.notify_all();
    }
    live_.clear();
}

}  // namespace vesk::net
