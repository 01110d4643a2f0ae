// A network thread of its own for each test, descriptors made through the
// communications service, and the test's side of the wire.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/capsule.h"
#include "extern/net/communications.h"
#include "extern/net/engine.h"
#include "extern/net/tests/loopback.h"
#include "vesk/data.h"
#include "vesk/net.h"

namespace vesk::net::test {

// A plain listener whose backlog is full: dials to it stay in progress
// until release() takes the connection that fills it.
class stalledListener {
public:
    stalledListener();
    ~stalledListener();
    unsigned short port() const { return listener_.port(); }
    void release();
    plainListener& listener() { return listener_; }

private:
    plainListener listener_;
    SOCKET filler_ = INVALID_SOCKET;
    SOCKET taken_ = INVALID_SOCKET;
};

class NetTest : public ::testing::Test {
protected:
    void TearDown() override;
    // Starts the network thread; call once per test (in the test body, so
    // that ASSERTs stop it).
    void start(const engineSettings& settings = engineSettings());
    // A new descriptor with one reference held by the returned ref.
    ref<ITCPDescriptor> newDescriptor();
    // A descriptor dialled to the test's plain listener, settled as
    // connected, and the test's accepted end.
    void dialPlain(plainListener& peer, ref<ITCPDescriptor>& dialled, SOCKET& accepted);
    // A connected pair: one dialled, one accepted from a listener.
    void connectedPair(ref<ITCPDescriptor>& dialled, ref<ITCPDescriptor>& accepted);

    // Appends whatever receive() gives; checks the zero after the bytes.
    // Returns the count appended.
    size_t drain(ITCPDescriptor* d, std::vector<unsigned char>& into);
    int settledStatus(ITCPDescriptor* d, unsigned milliseconds = 15000);
    unsigned long waiting(ITCPDescriptor* d);
    // Sends the stream seed from byte 0 in pieces while the peer reads
    // nothing, until the link refuses a piece for a while: the system's
    // buffers and then the link's backlog are full. The bytes taken; the
    // test fails when the link never stalled within most bytes.
    size_t fillUntilStalled(ITCPDescriptor* d, unsigned seed, size_t piece, size_t most = 64u << 20);

    winsockSession winsock_;
    std::shared_ptr<engine> engine_;
    ICommunications* service_ = nullptr;
};

}  // namespace vesk::net::test
