// The descriptor class "vesk::net::tcp": the user's handle on one
// connection or listener at a time. Its own lock makes every operation safe
// from any thread; the connection itself lives in a channel served by the
// network thread.
#pragma once

#include <memory>

#include "core/capsule.h"
#include "extern/net/slimLock.h"
#include "vesk/net.h"

namespace vesk::net {

class channel;
class engine;

class tcp;

// The out-queue object of a descriptor: part of it, counted with it.
class outQueueView final : public IOutQueue {
public:
    explicit outQueueView(tcp& owner) : owner_(owner) {}
    void* queryInterface(const char* typeName) override;
    int addRef() override;
    int release() override;
    unsigned long size() override;

private:
    tcp& owner_;
};

class tcp : public objectBase, public ITCPDescriptor, public IPrivateBaseDescriptor {
public:
    explicit tcp(std::shared_ptr<engine> e);
    // A descriptor for a connection the network thread accepted.
    tcp(std::shared_ptr<engine> e, std::shared_ptr<channel> accepted);
    ~tcp();  // closes what it has, as close() does
    tcp(const tcp&) = delete;
    tcp& operator=(const tcp&) = delete;

    int listen(unsigned short port) override;
    ITCPDescriptor* accept() override;
    int connect(const char* host, unsigned short port) override;
    int status() override;
    int send(const void* bytes, unsigned long length) override;
    INetDataBuffer* receive() override;
    int close() override;
    int shutdownLink() override;
    int releaseLink() override;
    const char* addressText() override;
    unsigned short port() override;
    int prepareLink() override;
    int setSendMode(bool on) override;
    int setTransferMode(bool on) override;
    int lastError() override;
    int isOpen() override;
    int setProxyServer(const char* host, unsigned short port) override;
    int setProxyType(int type) override;
    int setProxyAuth(const char* user, const char* password) override;

    IOutQueue* outQueue() override { return &outQueue_; }
    unsigned long waitingBuffers();

private:
    void registerInterfaces();
    std::shared_ptr<channel> current();
    // Gives the channel up (with the lock held); abort drops what it had
    // not sent yet.
    void detach(bool abort);
    // A new channel in place of the current one, handed to the network
    // thread; false when that thread is gone (the channel then failed).
    bool begin(const std::shared_ptr<channel>& c);

    std::shared_ptr<engine> engine_;
    slimLock lock_;
    std::shared_ptr<channel> channel_;
    std::weak_ptr<channel> lastDetached_;  // may still be flushing
    int detachedError_ = 0;
    bool listener_ = false;
    bool transferMode_ = false;
    bool noDelay_ = false;
    char addressText_[16] = "";
    outQueueView outQueue_;
};

}  // namespace vesk::net
