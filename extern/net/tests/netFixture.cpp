#include "extern/net/tests/netFixture.h"

namespace vesk::net::test {

stalledListener::stalledListener() : listener_(0) { filler_ = plainConnect(listener_.port()); }

stalledListener::~stalledListener() {
    closePlain(filler_);
    closePlain(taken_);
}

void stalledListener::release() {
    if (taken_ == INVALID_SOCKET)
        taken_ = listener_.acceptOne();
}

void NetTest::TearDown() {
    if (service_)
        interfaceCast<IcoreObject>(service_)->releaseCore();
    if (engine_)
        engine_->stop();
}

void NetTest::start(const engineSettings& settings) {
    engineSettings chosen = settings;
    // Long enough that anything left to the thread's own timer, instead of
    // a wake, stalls the test past its deadlines.
    chosen.idleWaitMs = 3600 * 1000;
    engine_ = std::make_shared<engine>(chosen);
    ASSERT_TRUE(engine_->start());
    service_ = new capsule_core<communications>(engine_);
}

ref<ITCPDescriptor> NetTest::newDescriptor() {
    Igeneric* made = service_->createDescriptor("vesk::net::tcp", nullptr);
    return ref<ITCPDescriptor>(interfaceCast<ITCPDescriptor>(made));
}

void NetTest::dialPlain(plainListener& peer, ref<ITCPDescriptor>& dialled, SOCKET& accepted) {
    dialled = newDescriptor();
    ASSERT_EQ(dialled->connect("127.0.0.1", peer.port()), 1);
    accepted = peer.acceptOne();
    ASSERT_NE(accepted, INVALID_SOCKET);
    ASSERT_EQ(settledStatus(dialled.get()), status::connected);
}

void NetTest::connectedPair(ref<ITCPDescriptor>& dialled, ref<ITCPDescriptor>& accepted) {
    ref<ITCPDescriptor> listener = newDescriptor();
    ASSERT_EQ(listener->listen(0), 1);
    dialled = newDescriptor();
    ASSERT_EQ(dialled->connect("127.0.0.1", listener->port()), 1);
    ASSERT_TRUE(waitFor([&] { return listener->status() == status::peerWaiting; }));
    accepted = ref<ITCPDescriptor>::adopt(listener->accept());
    ASSERT_TRUE(accepted);
    ASSERT_EQ(settledStatus(dialled.get()), status::connected);
}

size_t NetTest::drain(ITCPDescriptor* d, std::vector<unsigned char>& into) {
    ref<INetDataBuffer> got = ref<INetDataBuffer>::adopt(d->receive());
    if (!got)
        return 0;
    unsigned long length = got->length();
    EXPECT_GT(length, 0u) << "an empty buffer is given as null";
    EXPECT_EQ(got->data()[length], 0) << "no zero after the bytes";
    into.insert(into.end(), got->data(), got->data() + length);
    return length;
}

int NetTest::settledStatus(ITCPDescriptor* d, unsigned milliseconds) {
    waitFor([&] { return d->status() != status::connecting; }, milliseconds);
    return d->status();
}

size_t NetTest::fillUntilStalled(ITCPDescriptor* d, unsigned seed, size_t piece, size_t most) {
    // A refusal this long means the link is full, not that the network
    // thread has yet to hand the backlog on; were the machine slow enough to
    // make it the latter, the link would only hold less.
    const unsigned stallMs = 300;
    size_t taken = 0;
    std::vector<unsigned char> block;
    while (taken < most) {
        block = pattern(seed, taken, piece);
        auto sent = [&] { return d->send(block.data(), static_cast<unsigned long>(piece)) == 1; };
        if (!sent() && !waitFor(sent, stallMs))
            return taken;
        taken += piece;
    }
    ADD_FAILURE() << "the link took " << taken << " bytes and never stalled";
    return taken;
}

unsigned long NetTest::waiting(ITCPDescriptor* d) {
    auto* base = interfaceCast<IPrivateBaseDescriptor>(d);
    return base ? base->outQueue()->size() : ~0ul;
}

}  // namespace vesk::net::test
