#include "extern/net/channel.h"

#include <cstring>
#include <new>

#include "vesk/net.h"

namespace vesk::net {

channel::channel(phase start, const sockaddr_in& address) : state(start), peer(address) {}

channel::~channel() {
    delete received;
    if (sock != INVALID_SOCKET)
        closesocket(sock);
}

int channel::status() {
    std::lock_guard<std::mutex> hold(lock);
    bool bytesWaiting = received && received->length() > 0;
    switch (state) {
    case phase::resolving:
    case phase::dialReady:
    case phase::dialling:
        return status::connecting;
    case phase::connected:
        // The end is told only once every received byte was handed out.
        return peerEnded && !bytesWaiting ? status::idle : status::connected;
    case phase::ended:
        return bytesWaiting ? status::connected : status::idle;
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
    std::lock_guard<std::mutex> hold(lock);
    return error;
}

sockaddr_in channel::address() {
    std::lock_guard<std::mutex> hold(lock);
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

bool channel::queue(const void* bytes, unsigned long length, unsigned long long backlogLimit, bool& wakeNeeded) {
    wakeNeeded = false;
    std::lock_guard<std::mutex> hold(lock);
    if (!canSend())
        return false;
    if (length == 0)
        return true;
    if (!bytes)
        return false;
    if (!outgoing.empty() && outgoingBytes + length > backlogLimit)
        return false;
    try {
        const auto* first = static_cast<const unsigned char*>(bytes);
        outgoing.emplace_back(first, first + length);
    } catch (...) {
        return false;
    }
    outgoingBytes += length;
    wakeNeeded = state == phase::connected && outgoing.size() == 1;
    return true;
}

unsigned long channel::outgoingCount() {
    std::lock_guard<std::mutex> hold(lock);
    return static_cast<unsigned long>(outgoing.size());
}

receivedBytes* channel::takeReceived(unsigned long limit, bool& wakeNeeded) {
    std::lock_guard<std::mutex> hold(lock);
    wakeNeeded = false;
    if (!received || received->length() == 0)
        return nullptr;
    receivedBytes* taken = received;
    received = nullptr;
    wakeNeeded = taken->length() >= limit;
    return taken;
}

std::shared_ptr<channel> channel::takeWaitingPeer() {
    std::lock_guard<std::mutex> hold(lock);
    if (waitingPeers.empty())
        return nullptr;
    std::shared_ptr<channel> next = waitingPeers.front();
    waitingPeers.pop_front();
    return next;
}

void channel::requestClose(bool abort) {
    std::lock_guard<std::mutex> hold(lock);
    closeRequested = true;
    if (abort) {
        abortRequested = true;
        dropOutgoing();
    }
}

void channel::setNoDelay(bool on) {
    std::lock_guard<std::mutex> hold(lock);
    noDelay = on;
}

void channel::fail(int code) {
    std::lock_guard<std::mutex> hold(lock);
    failLocked(code);
}

void channel::failLocked(int code) {
    state = phase::failed;
    error = code;
    dropOutgoing();
    settled.notify_all();
}

void channel::waitSettled(unsigned milliseconds) {
    std::unique_lock<std::mutex> hold(lock);
    settled.wait_for(hold, std::chrono::milliseconds(milliseconds),
                     [this] { return state != phase::listenReady; });
}

void channel::dropOutgoing() {
    outgoing.clear();
    frontSent = 0;
    outgoingBytes = 0;
}

}  // namespace vesk::net
