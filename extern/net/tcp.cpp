#include "extern/net/tcp.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "extern/net/addresses.h"
#include "extern/net/channel.h"
#include "extern/net/engine.h"

namespace vesk::net {

namespace {

// How long listen() waits for the network thread to bind; it has nothing
// else in the way, so this is reached only when that thread is stuck.
constexpr unsigned listenSettleMs = 5000;
constexpr size_t longestHostName = 255;

sockaddr_in endpoint(unsigned short port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    return address;
}

}  // namespace

void* outQueueView::queryInterface(const char* typeName) {
    if (!typeName || std::strlen(typeName) < static_cast<size_t>(interfaceQueryPrefix))
        return nullptr;
    const char* name = typeName + interfaceQueryPrefix;
    if (std::strcmp(name, nameOf<IOutQueue>()) == 0 || std::strcmp(name, nameOf<Igeneric>()) == 0)
        return static_cast<Igeneric*>(this);
    return nullptr;
}

int outQueueView::addRef() { return owner_.addRef(); }
int outQueueView::release() { return owner_.release(); }
unsigned long outQueueView::size() { return owner_.waitingBuffers(); }

tcp::tcp(std::shared_ptr<engine> e) : engine_(std::move(e)), outQueue_(*this) { registerInterfaces(); }

tcp::tcp(std::shared_ptr<engine> e, std::shared_ptr<channel> accepted)
    : engine_(std::move(e)), channel_(std::move(accepted)), outQueue_(*this) {
    registerInterfaces();
}

tcp::~tcp() {
    slimGuard hold(lock_);
    detach(false);
}

void tcp::registerInterfaces() {
    registerInterfaceOf<ITCPDescriptor>(this);
    registerInterfaceOf<IPrivateBaseDescriptor>(this);
    registerInterfaceOf<Igeneric>(this);
}

std::shared_ptr<channel> tcp::current() {
    slimGuard hold(lock_);
    return channel_;
}

void tcp::detach(bool abort) {
    if (!channel_)
        return;
    detachedError_ = channel_->errorCode();
    channel_->requestClose(abort);
    lastDetached_ = channel_;
    engine_->attend(channel_);
    channel_.reset();
    listener_ = false;
    addressText_[0] = '\0';
}

bool tcp::begin(const std::shared_ptr<channel>& c) {
    detach(false);
    channel_ = c;
    if (engine_->attend(c))
        return true;
    c->fail(WSAENETDOWN);
    return false;
}

int tcp::listen(unsigned short port) {
    slimGuard hold(lock_);
    std::shared_ptr<channel> c;
    try {
        c = std::make_shared<channel>(phase::listenReady, endpoint(port));
    } catch (...) {
        return 0;
    }
    if (!begin(c))
        return 0;
    listener_ = true;
    c->waitSettled(listenSettleMs);
    int now = c->status();
    if (now == status::failed)
        return 0;
    if (now != status::listening && now != status::peerWaiting) {
        c->requestClose(true);
        c->fail(WSAETIMEDOUT);
        return 0;
    }
    return 1;
}

ITCPDescriptor* tcp::accept() {
    std::shared_ptr<channel> listener = current();
    if (!listener)
        return nullptr;
    bool wakeNeeded = false;
    std::shared_ptr<channel> peer = listener->takeWaitingPeer(wakeNeeded);
    if (wakeNeeded)
        engine_->attend(listener);
    if (!peer)
        return nullptr;
    tcp* made = new (std::nothrow) capsule<tcp>(engine_, peer);
    if (!made) {
        peer->requestClose(true);
        engine_->attend(peer);
        return nullptr;
    }
    made->addRef();  // the caller's
    return made;
}

int tcp::connect(const char* host, unsigned short port) {
    slimGuard hold(lock_);
    std::shared_ptr<channel> c;
    try {
        c = std::make_shared<channel>(phase::resolving, endpoint(port));
    } catch (...) {
        return 0;
    }
    c->deadline = GetTickCount64() + engine_->settings().dialTimeoutMs;
    c->noDelay = noDelay_;
    bool named = false;
    if (!host || !*host || strnlen(host, longestHostName + 1) > longestHostName) {
        detach(false);
        channel_ = c;
        c->fail(WSAEINVAL);
        return 0;
    }
    if (parseDottedAddress(host, c->peer.sin_addr))
        c->state = phase::dialReady;
    else
        named = true;
    if (!begin(c))
        return 0;
    if (named) {
        bool started = false;
        try {
            started = startLookup(engine_, c, host);
        } catch (...) {
        }
        if (!started) {
            c->fail(WSAENOBUFS);
            return 0;
        }
    }
    return 1;
}

int tcp::status() {
    std::shared_ptr<channel> c = current();
    return c ? c->status() : status::idle;
}

int tcp::send(const void* bytes, unsigned long length) {
    std::shared_ptr<channel> c;
    unsigned long long limit;
    {
        slimGuard hold(lock_);
        c = channel_;
        limit = transferMode_ ? engine_->settings().transferBacklog : engine_->settings().linkBacklog;
    }
    if (!c)
        return 0;
    bool wakeNeeded = false;
    bool taken = c->queue(bytes, length, limit, wakeNeeded);
    if (wakeNeeded)
        engine_->attend(c);
    return taken ? 1 : 0;
}

INetDataBuffer* tcp::receive() {
    std::shared_ptr<channel> c = current();
    if (!c)
        return nullptr;
    const engineSettings& settings = engine_->settings();
    bool wakeNeeded = false;
    receivedBytes* bytes = c->takeReceived(std::min(settings.readPiece, settings.receiveLimit), wakeNeeded);
    if (wakeNeeded)
        engine_->attend(c);
    if (!bytes)
        return nullptr;
    bytes->compact();
    bytes->addRef();  // the caller's
    return bytes;
}

int tcp::close() {
    slimGuard hold(lock_);
    detach(false);
    return 1;
}

int tcp::shutdownLink() { return close(); }

int tcp::releaseLink() {
    slimGuard hold(lock_);
    detach(true);
    if (std::shared_ptr<channel> flushing = lastDetached_.lock()) {
        flushing->requestClose(true);
        engine_->attend(flushing);
    }
    return 1;
}

const char* tcp::addressText() {
    slimGuard hold(lock_);
    if (!channel_) {
        addressText_[0] = '\0';
    } else if (listener_) {
        if (!addressText_[0]) {
            std::string own = localAddressText();
            std::strncpy(addressText_, own.c_str(), sizeof addressText_ - 1);
            addressText_[sizeof addressText_ - 1] = '\0';
        }
    } else {
        sockaddr_in peer = channel_->address();
        if (peer.sin_addr.s_addr)
            formatDottedAddress(peer.sin_addr, addressText_);
        else
            addressText_[0] = '\0';
    }
    return addressText_;
}

unsigned short tcp::port() {
    std::shared_ptr<channel> c = current();
    return c ? ntohs(c->address().sin_port) : 0;
}

int tcp::prepareLink() {
    setTransferMode(false);
    setSendMode(false);
    return 1;
}

// Send mode lets the system gather the small writes of a burst (Nagle);
// leaving it pushes them out.
int tcp::setSendMode(bool on) {
    slimGuard hold(lock_);
    noDelay_ = !on;
    if (channel_) {
        channel_->setNoDelay(noDelay_);
        engine_->attend(channel_);
    }
    return 1;
}

int tcp::setTransferMode(bool on) {
    slimGuard hold(lock_);
    transferMode_ = on;
    return 1;
}

int tcp::lastError() {
    slimGuard hold(lock_);
    return channel_ ? channel_->errorCode() : detachedError_;
}

int tcp::isOpen() {
    switch (status()) {
    case status::listening:
    case status::peerWaiting:
    case status::connecting:
    case status::connected:
        return 1;
    default:
        return 0;
    }
}

int tcp::setProxyServer(const char*, unsigned short) { return 0; }
int tcp::setProxyType(int) { return 0; }
int tcp::setProxyAuth(const char*, const char*) { return 0; }

unsigned long tcp::waitingBuffers() {
    std::shared_ptr<channel> c = current();
    return c ? c->outgoingCount() : 0;
}

}  // namespace vesk::net
