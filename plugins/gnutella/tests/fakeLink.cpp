#include "plugins/gnutella/tests/fakeLink.h"

#include <atomic>

#include "extern/net/CNetDataBuffer.h"

namespace vesk::gnutella::test {

namespace {

std::atomic<int> live{0};

class countedBuffer : public net::CNetDataBuffer {
public:
    countedBuffer(const void* data, unsigned long length) : CNetDataBuffer(data, length) { ++live; }
    ~countedBuffer() { --live; }
};

}  // namespace

fakeLink* fakeLink::make(const char* address, unsigned short port) {
    return new capsule<fakeLink>(address, port);
}

fakeLink::fakeLink(const char* address, unsigned short port) : address_(address), port_(port) {
    registerInterfaceOf<net::ITCPDescriptor>(this);
    registerInterfaceOf<net::IPrivateBaseDescriptor>(this);
    registerInterfaceOf<net::IOutQueue>(this);
    registerInterfaceOf<Igeneric>(static_cast<net::ITCPDescriptor*>(this));
}

int fakeLink::liveBuffers() {
    return live.load();
}

void fakeLink::deliver(const bytes& chunk) {
    std::lock_guard<std::mutex> hold(lock_);
    incoming_.push_back(chunk);
}

bool fakeLink::hasIncoming() const {
    std::lock_guard<std::mutex> hold(lock_);
    return !incoming_.empty();
}

std::vector<bytes> fakeLink::sends() const {
    std::lock_guard<std::mutex> hold(lock_);
    return sends_;
}

void fakeLink::clearSends() {
    std::lock_guard<std::mutex> hold(lock_);
    sends_.clear();
}

std::vector<std::string> fakeLink::events() const {
    std::lock_guard<std::mutex> hold(lock_);
    return events_;
}

void fakeLink::note(const char* event) {
    std::lock_guard<std::mutex> hold(lock_);
    events_.push_back(event);
}

int fakeLink::send(const void* data, unsigned long length) {
    if (refuseSends || statusValue != net::status::connected)
        return 0;
    const auto* p = static_cast<const unsigned char*>(data);
    std::lock_guard<std::mutex> hold(lock_);
    sends_.emplace_back(p, p + length);
    events_.push_back("send");
    return 1;
}

net::INetDataBuffer* fakeLink::receive() {
    bytes chunk;
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (incoming_.empty())
            return nullptr;
        chunk = incoming_.front();
        incoming_.pop_front();
    }
    auto* buffer = new capsule<countedBuffer>(chunk.data(), static_cast<unsigned long>(chunk.size()));
    buffer->addRef();  // the caller's
    return buffer;
}

int fakeLink::close() {
    note("close");
    statusValue = net::status::idle;
    return 1;
}

int fakeLink::shutdownLink() {
    note("shutdown");
    statusValue = net::status::idle;
    return 1;
}

int fakeLink::releaseLink() {
    note("release link");
    return 1;
}

int fakeLink::setSendMode(bool on) {
    note(on ? "mode on" : "mode off");
    return 1;
}

}  // namespace vesk::gnutella::test
