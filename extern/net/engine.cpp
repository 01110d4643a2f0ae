#include "extern/net/engine.h"

#include <algorithm>
#include <cstddef>
#include <new>

#include "extern/net/channel.h"

namespace vesk::net {

namespace {

// The completion key of a wake; sockets complete with key 0.
constexpr ULONG_PTR wakeKey = 1;
// How long stop waits for cancelled operations to come back.
constexpr unsigned long long drainMs = 5000;

// States in which a channel's deadline ends something.
bool hasDeadline(phase p) { return p == phase::resolving || p == phase::dialling || p == phase::closing; }

ioOperation& operationOf(OVERLAPPED* done) {
    return *reinterpret_cast<ioOperation*>(reinterpret_cast<char*>(done) - offsetof(ioOperation, overlapped));
}

// Skipping the completion packet of an operation that completed at once is
// safe only when every provider hands out real system handles; a layered
// provider that does not would lose completions.
bool everyProviderSkipsSafely() {
    DWORD size = 0;
    if (WSAEnumProtocolsW(nullptr, nullptr, &size) != SOCKET_ERROR || WSAGetLastError() != WSAENOBUFS)
        return false;
    std::vector<unsigned char> space(size);
    auto* protocols = reinterpret_cast<WSAPROTOCOL_INFOW*>(space.data());
    int count = WSAEnumProtocolsW(nullptr, protocols, &size);
    if (count == SOCKET_ERROR)
        return false;
    for (int i = 0; i < count; ++i)
        if (protocols[i].iAddressFamily == AF_INET && protocols[i].iProtocol == IPPROTO_TCP &&
            !(protocols[i].dwServiceFlags1 & XP1_IFS_HANDLES))
            return false;
    return true;
}

template <class F>
bool extension(SOCKET s, GUID id, F& into) {
    DWORD got = 0;
    return WSAIoctl(s, SIO_GET_EXTENSION_FUNCTION_POINTER, &id, sizeof id, &into, sizeof into, &got, nullptr,
                    nullptr) == 0 &&
           into;
}

// A channel leaves the thread once it has no socket, nothing pending and
// nothing left to do.
bool finished(channel& c) {
    slimGuard hold(c.lock);
    if (c.sock != INVALID_SOCKET || c.acceptSocket != INVALID_SOCKET || c.pendingIo())
        return false;
    return c.state != phase::resolving && c.state != phase::dialReady && c.state != phase::listenReady;
}

}  // namespace

engine::engine(const engineSettings& settings) : settings_(settings) {}

engine::~engine() {
    stop();
    if (port_)
        CloseHandle(port_);
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
    if (!acceptEx_ || !connectEx_) {
        SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (probe == INVALID_SOCKET)
            return false;
        bool found = extension(probe, WSAID_ACCEPTEX, acceptEx_) && extension(probe, WSAID_CONNECTEX, connectEx_);
        closesocket(probe);
        if (!found)
            return false;
        skipOnSuccess_ = everyProviderSkipsSafely();
    }
    if (!port_ && !(port_ = CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1)))
        return false;
    try {
        scratch_.resize(std::max<unsigned long>(std::min(settings_.readPiece, settings_.receiveLimit), 1));
    } catch (...) {
        return false;
    }
    {
        slimGuard hold(lock_);
        stopping_ = false;
    }
    // Without notices every connection is read by the network thread.
    (void)notices_.start();
    thread_ = CreateThread(nullptr, 0, &engine::threadMain, this, 0, nullptr);
    if (thread_)
        return true;
    notices_.stop();
    return false;
}

void engine::stop() {
    {
        slimGuard hold(lock_);
        stopping_ = true;
    }
    if (!thread_)
        return;
    // Posted whatever the flag says, so that the thread surely sees it; were
    // the post refused, the thread's own time-out still finds stopping_.
    // Giving up the wait earlier would free what the thread still uses.
    PostQueuedCompletionStatus(port_, 0, wakeKey, nullptr);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
    notices_.stop();
}

// At most one wake packet in flight: the flag stays set until the thread
// has taken it, and the thread takes the queue only after that.
bool engine::attend(const std::shared_ptr<channel>& c) {
    {
        slimGuard hold(lock_);
        if (stopping_ || !thread_)
            return false;
        if (!c->attentionQueued) {
            try {
                attention_.push_back(c);
            } catch (...) {
                return false;
            }
            c->attentionQueued = true;
        }
    }
    if (!wakePending_.exchange(true) && !PostQueuedCompletionStatus(port_, 0, wakeKey, nullptr))
        wakePending_ = false;  // the thread's own time-out finds the queue
    return true;
}

DWORD WINAPI engine::threadMain(void* self) {
    static_cast<engine*>(self)->run();
    return 0;
}

void engine::run() {
    for (;;) {
        DWORD bytes = 0;
        ULONG_PTR key = 0;
        OVERLAPPED* done = nullptr;
        DWORD wait = again_.empty() ? nextWaitMs(GetTickCount64()) : 0;
        BOOL ok = GetQueuedCompletionStatus(port_, &bytes, &key, &done, wait);
        if (done) {
            completed(operationOf(done), ok != FALSE, bytes);
        } else {
            // A wake, or the wait's end: either way the queue is looked at.
            // The flag is cleared first, so that a wake asked for after the
            // queue was taken is posted again.
            if (ok && key == wakeKey)
                wakePending_ = false;
            if (takeAttention())
                break;
        }
        comeBack();
        expireDeadlines(GetTickCount64());
    }
    endAll();
}

bool engine::takeAttention() {
    std::vector<std::shared_ptr<channel>> asked;
    {
        slimGuard hold(lock_);
        if (stopping_)
            return true;
        asked.swap(attention_);
        for (auto& c : asked)
            c->attentionQueued = false;
    }
    for (auto& c : asked) {
        try {
            live_.emplace(c.get(), c);
        } catch (...) {
            c->requestClose(true);  // the thread cannot keep it; nor can the user
            continue;
        }
        attendTo(*c);
        retire(*c);
    }
    return false;
}

void engine::completed(ioOperation& op, bool ok, unsigned long bytes) {
    channel& c = *op.owner;  // kept by live_ while the operation was pending
    op.pending = false;
    int code = 0;
    if (!ok) {
        // The Winsock code of the failure. The socket is still open unless
        // the thread closed it, and then the outcome no longer matters.
        DWORD moved = 0, flags = 0;
        SOCKET s = c.sock;
        if (s != INVALID_SOCKET && !WSAGetOverlappedResult(s, &op.overlapped, &moved, FALSE, &flags))
            code = WSAGetLastError();
        if (code == 0)
            code = WSAECONNABORTED;
    }
    switch (op.kind) {
    case ioKind::receive:
        readCompleted(c, ok, code);
        break;
    case ioKind::send:
        sendCompleted(c, ok, bytes, code);
        break;
    case ioKind::connect:
        dialCompleted(c, ok, code);
        break;
    case ioKind::accept:
        acceptCompleted(c, ok);
        break;
    }
    retire(c);
}

// With the channel's lock held, once it has entered a state with a deadline.
void engine::track(channel& c) {
    nextDeadline_ = std::min(nextDeadline_, c.deadline);
    if (c.timed)
        return;
    std::shared_ptr<channel> held = known(c);
    if (!held)
        return;
    try {
        timed_.push_back(held);
    } catch (...) {
        return;
    }
    c.timed = true;
}

void engine::expireDeadlines(unsigned long long now) {
    if (now < nextDeadline_)
        return;
    nextDeadline_ = ~0ull;
    std::vector<std::shared_ptr<channel>> expired;
    for (size_t i = 0; i < timed_.size();) {
        channel& c = *timed_[i];
        bool keep;
        {
            slimGuard hold(c.lock);
            keep = hasDeadline(c.state) && (c.sock != INVALID_SOCKET || c.state == phase::resolving);
            if (keep && now >= c.deadline) {
                if (c.state == phase::closing)
                    c.closeSocket();
                else
                    c.failWithSocket(WSAETIMEDOUT);
                keep = false;
            }
            if (keep)
                nextDeadline_ = std::min(nextDeadline_, c.deadline);
            else
                c.timed = false;
        }
        if (keep) {
            ++i;
            continue;
        }
        expired.push_back(std::move(timed_[i]));
        timed_[i] = std::move(timed_.back());
        timed_.pop_back();
    }
    for (auto& c : expired)
        retire(*c);
}

unsigned long engine::nextWaitMs(unsigned long long now) const {
    unsigned long long wait = settings_.idleWaitMs;
    if (nextDeadline_ != ~0ull)
        wait = std::min(wait, nextDeadline_ > now ? nextDeadline_ - now : 0);
    return static_cast<unsigned long>(wait);
}

// For a channel that has more to do than one step gives it: it comes back
// after whatever waits at the port, without a wake through the port.
void engine::requeue(channel& c) {
    if (c.again)
        return;
    std::shared_ptr<channel> held = known(c);
    if (!held)
        return;
    try {
        again_.push_back(held);
    } catch (...) {
        c.readIdle = true;  // left for the user's next call or the safety net
        return;
    }
    c.again = true;
}

void engine::comeBack() {
    if (again_.empty())
        return;
    std::shared_ptr<channel> next = std::move(again_.front());
    again_.pop_front();
    next->again = false;
    attendTo(*next);
    retire(*next);
}

void engine::retire(channel& c) {
    if (!finished(c))
        return;
    if (c.watched != INVALID_SOCKET) {
        notices_.forget(c.watched, c);
        c.watched = INVALID_SOCKET;
    }
    live_.erase(&c);
}

std::shared_ptr<channel> engine::known(channel& c) {
    auto found = live_.find(&c);
    return found == live_.end() ? nullptr : found->second;
}

SOCKET engine::newSocket() {
    return WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_OVERLAPPED);
}

// Non-blocking for the plain reads and sends, tied to the port for the
// rest. False with the Winsock error left for the caller.
bool engine::prepareSocket(channel& c, SOCKET s) {
    u_long on = 1;
    if (ioctlsocket(s, FIONBIO, &on) != 0)
        return false;
    if (CreateIoCompletionPort(reinterpret_cast<HANDLE>(s), port_, 0, 0) != port_)
        return false;
    c.skipOnSuccess = skipOnSuccess_ && SetFileCompletionNotificationModes(reinterpret_cast<HANDLE>(s),
                                                                          FILE_SKIP_COMPLETION_PORT_ON_SUCCESS);
    if (settings_.socketSendBuffer > 0) {
        // Only the system's own memory is at stake: a refusal changes nothing else.
        int size = settings_.socketSendBuffer;
        (void)setsockopt(s, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&size), sizeof size);
    }
    return true;
}

// At stop: every socket closes, nobody is left waiting for a dial, and the
// channels stay until the system has handed back every operation on them.
void engine::endAll() {
    {
        slimGuard hold(lock_);
        for (auto& c : attention_) {
            c->attentionQueued = false;
            live_.emplace(c.get(), c);
        }
        attention_.clear();
    }
    size_t pending = 0;
    for (auto& entry : live_) {
        channel& c = *entry.second;
        slimGuard hold(c.lock);
        c.closeSocket();
        if (c.acceptSocket != INVALID_SOCKET) {
            closesocket(c.acceptSocket);
            c.acceptSocket = INVALID_SOCKET;
        }
        switch (c.state) {
        case phase::connected:
            c.peerEnded = true;
            c.error = WSAENETDOWN;
            c.dropOutgoing();
            c.state = phase::ended;
            break;
        case phase::ended:
        case phase::failed:
        case phase::closing:
            break;
        default:
            c.failLocked(WSAENETDOWN);
            break;
        }
        WakeAllConditionVariable(&c.settled);
        for (ioOperation* op : {&c.readOp, &c.sendOp, &c.linkOp})
            pending += op->pending ? 1 : 0;
    }
    unsigned long long end = GetTickCount64() + drainMs;
    while (pending > 0) {
        unsigned long long now = GetTickCount64();
        if (now >= end)
            break;
        DWORD bytes = 0;
        ULONG_PTR key = 0;
        OVERLAPPED* done = nullptr;
        GetQueuedCompletionStatus(port_, &bytes, &key, &done, static_cast<DWORD>(end - now));
        if (done && operationOf(done).pending) {
            ioOperation& op = operationOf(done);
            op.pending = false;
            --pending;
            slimGuard hold(op.owner->lock);
            if (op.kind == ioKind::send) {
                op.owner->inFlight = 0;
                op.owner->dropOutgoing();
            }
        }
    }
    if (pending > 0) {
        // The system still owns buffers in these channels, so they are never
        // freed. Reached only when cancelled operations never came back.
        try {
            auto* kept = new std::vector<std::shared_ptr<channel>>();
            for (auto& entry : live_)
                if (entry.second->pendingIo())
                    kept->push_back(entry.second);
        } catch (...) {
        }
    }
    live_.clear();
    timed_.clear();
    again_.clear();
    nextDeadline_ = ~0ull;
}

}  // namespace vesk::net
