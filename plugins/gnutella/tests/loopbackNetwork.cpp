#include "plugins/gnutella/tests/loopbackNetwork.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>

#include "extern/net/communications.h"
#include "extern/net/engine.h"

namespace vesk::gnutella::test {

namespace {

// A descriptor that passes every call on, but dials 127.0.0.1 only.
class loopbackDescriptor : public objectBase, public net::ITCPDescriptor {
public:
    explicit loopbackDescriptor(net::ITCPDescriptor* real) : real_(real) {
        real_->addRef();
        registerInterfaceOf<net::ITCPDescriptor>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    ~loopbackDescriptor() { real_->release(); }

    int connect(const char* host, unsigned short port) override {
        if (!host || std::strcmp(host, "127.0.0.1") != 0) {
            ADD_FAILURE() << "a test dialled " << (host ? host : "(null)") << ":" << port;
            return 0;
        }
        return real_->connect(host, port);
    }
    int listen(unsigned short port) override { return real_->listen(port); }
    ITCPDescriptor* accept() override { return real_->accept(); }
    int status() override { return real_->status(); }
    int send(const void* bytes, unsigned long length) override { return real_->send(bytes, length); }
    net::INetDataBuffer* receive() override { return real_->receive(); }
    int close() override { return real_->close(); }
    int shutdownLink() override { return real_->shutdownLink(); }
    int releaseLink() override { return real_->releaseLink(); }
    const char* addressText() override { return real_->addressText(); }
    unsigned short port() override { return real_->port(); }
    int prepareLink() override { return real_->prepareLink(); }
    int setSendMode(bool on) override { return real_->setSendMode(on); }
    int setTransferMode(bool on) override { return real_->setTransferMode(on); }
    int lastError() override { return real_->lastError(); }
    int isOpen() override { return real_->isOpen(); }
    int setProxyServer(const char* host, unsigned short port) override { return real_->setProxyServer(host, port); }
    int setProxyType(int type) override { return real_->setProxyType(type); }
    int setProxyAuth(const char* user, const char* password) override {
        return real_->setProxyAuth(user, password);
    }

private:
    net::ITCPDescriptor* real_;  // one reference held
};

}  // namespace

loopbackNetwork::loopbackNetwork() {
    registerInterfaceOf<net::ICommunications>(this);
    registerInterfaceOf<Igeneric>(this);
    engine_ = std::make_shared<net::engine>();
    if (engine_->start())
        real_ = new capsule_core<net::communications>(engine_);
}

loopbackNetwork::~loopbackNetwork() {
    if (real_)
        interfaceCast<IcoreObject>(real_)->releaseCore();
    engine_->stop();
}

Igeneric* loopbackNetwork::createDescriptor(const char* className, IentityToken* owner) {
    Igeneric* made = real_ ? real_->createDescriptor(className, owner) : nullptr;
    net::ITCPDescriptor* real = interfaceCast<net::ITCPDescriptor>(made);
    if (!real)
        return made;
    return static_cast<net::ITCPDescriptor*>(new (std::nothrow) capsule<loopbackDescriptor>(real));
}

}  // namespace vesk::gnutella::test
