// A Gnutella link in memory, standing for the network module's descriptor:
// what the module sends on it is recorded, what it receives is scripted,
// and the test sets its status, the buffers waiting in its out queue and
// whether it takes sends. The buffers it hands out count themselves, so a
// test sees that each was released once. A worker thread may use it while
// the test looks at it.
#pragma once

#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "core/capsule.h"
#include "vesk/net.h"

namespace vesk::gnutella::test {

using bytes = std::vector<unsigned char>;

class fakeLink : public objectBase,
                 public net::ITCPDescriptor,
                 public net::IPrivateBaseDescriptor,
                 public net::IOutQueue {
public:
    // A new link (count 0) connected to address:port.
    static fakeLink* make(const char* address = "1.2.3.4", unsigned short port = 6346);

    fakeLink(const char* address, unsigned short port);

    // Bytes for a later receive(), each chunk handed out whole.
    void deliver(const bytes& chunk);
    bool hasIncoming() const;
    // Every accepted send, in order.
    std::vector<bytes> sends() const;
    void clearSends();
    // "send", "mode on", "mode off", "close", "shutdown", "release link", in order.
    std::vector<std::string> events() const;

    std::atomic<int> statusValue{net::status::connected};
    std::atomic<unsigned long> waitingBuffers{0};  // what outQueue()->size() tells
    std::atomic<bool> refuseSends{false};

    // Received buffers made and not yet destroyed, over all links.
    static int liveBuffers();

    int listen(unsigned short) override { return 0; }
    net::ITCPDescriptor* accept() override { return nullptr; }
    int connect(const char*, unsigned short) override { return 0; }
    int status() override { return statusValue; }
    int send(const void* data, unsigned long length) override;
    net::INetDataBuffer* receive() override;
    int close() override;
    int shutdownLink() override;
    int releaseLink() override;
    const char* addressText() override { return address_.c_str(); }
    unsigned short port() override { return port_; }
    int prepareLink() override { return 1; }
    int setSendMode(bool on) override;
    int setTransferMode(bool) override { return 1; }
    int lastError() override { return 0; }
    int isOpen() override { return statusValue == net::status::connected; }
    int setProxyServer(const char*, unsigned short) override { return 0; }
    int setProxyType(int) override { return 0; }
    int setProxyAuth(const char*, const char*) override { return 0; }

    net::IOutQueue* outQueue() override { return this; }
    unsigned long size() override { return waitingBuffers; }

private:
    void note(const char* event);

    mutable std::mutex lock_;
    std::string address_;
    unsigned short port_;
    std::deque<bytes> incoming_;
    std::vector<bytes> sends_;
    std::vector<std::string> events_;
};

}  // namespace vesk::gnutella::test
