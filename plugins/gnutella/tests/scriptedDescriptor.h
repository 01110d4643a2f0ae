// A descriptor whose answers the test sets: its status (or a failure
// thrown from status()), whether sends are taken, and what was sent.
#pragma once

#include <stdexcept>
#include <string>

#include "core/capsule.h"
#include "vesk/net.h"

namespace vesk::gnutella::test {

class scriptedDescriptor : public objectBase, public net::ITCPDescriptor {
public:
    scriptedDescriptor() {
        registerInterfaceOf<net::ITCPDescriptor>(this);
        registerInterfaceOf<Igeneric>(this);
    }

    int statusValue = net::status::connected;
    bool statusFails = false;
    int sendResult = 1;
    std::string sent;  // every byte handed to send, taken or not
    int closes = 0;

    int status() override {
        if (statusFails)
            throw std::runtime_error("status failed");
        return statusValue;
    }
    int send(const void* bytes, unsigned long length) override {
        sent.append(static_cast<const char*>(bytes), length);
        return sendResult;
    }
    int listen(unsigned short) override { return 0; }
    ITCPDescriptor* accept() override { return nullptr; }
    int connect(const char*, unsigned short) override { return 0; }
    net::INetDataBuffer* receive() override { return nullptr; }
    int close() override {
        ++closes;
        statusValue = net::status::idle;
        return 1;
    }
    int shutdownLink() override { return close(); }
    int releaseLink() override { return 1; }
    const char* addressText() override { return "127.0.0.1"; }
    unsigned short port() override { return 6346; }
    int prepareLink() override { return 1; }
    int setSendMode(bool) override { return 1; }
    int setTransferMode(bool) override { return 1; }
    int lastError() override { return 0; }
    int isOpen() override { return statusValue != net::status::idle; }
    int setProxyServer(const char*, unsigned short) override { return 0; }
    int setProxyType(int) override { return 0; }
    int setProxyAuth(const char*, const char*) override { return 0; }
};

}  // namespace vesk::gnutella::test
