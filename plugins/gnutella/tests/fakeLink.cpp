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

bytes fakeLink::allSent() const {
    bytes all;
    for (const bytes& b : sends_)
        all.insert(all.end(), b.begin(), b.end());
    return all;
}

int fakeLink::send(const void* data, unsigned long length) {
    if (refuseSends || statusValue != net::status::connected)
        return 0;
    const auto* p = static_cast<const unsigned char*>(data);
    sends_.emplace_back(p, p + length);
    events_.push_back("send");
    return 1;
}

net::INetDataBuffer* fakeLink::receive() {
    if (incoming_.empty())
        return nullptr;
    bytes chunk = incoming_.front();
    incoming_.pop_front();
    auto* buffer = new capsule<countedBuffer>(chunk.data(), static_cast<unsigned long>(chunk.size()));
    buffer->addRef();  // the caller's
    return buffer;
}

int fakeLink::close() {
    events_.push_back("close");
    statusValue = net::status::idle;
    return 1;
}

int fakeLink::shutdownLink() {
    events_.push_back("shutdown");
    statusValue = net::status::idle;
    return 1;
}

int fakeLink::releaseLink() {
    events_.push_back("release link");
    return 1;
}

int fakeLink::setSendMode(bool on) {
    events_.push_back(on ? "mode on" : "mode off");
    return 1;
}

}  // namespace vesk::gnutella::test
