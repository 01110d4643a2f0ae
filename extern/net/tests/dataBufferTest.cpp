// The data buffer: its two construct forms, the zero after the bytes, and
// its buffer view, which readers append to and read back through.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/buffer.h"
#include "extern/net/CNetDataBuffer.h"

namespace vesk::net::test {
namespace {

std::string bytesOf(INetDataBuffer* b) {
    return std::string(reinterpret_cast<const char*>(b->data()), b->length());
}

// Holds the new object (count 0) for the test's scope; null stays null.
ref<INetDataBuffer> held(Igeneric* made) { return ref<INetDataBuffer>(interfaceCast<INetDataBuffer>(made)); }

TEST(NetDataBuffer, BothConstructFormsCopyTheBytes) {
    ref<Iconstruct> construct(new capsule<_constructNetDataBuffer>());
    EXPECT_STREQ(construct->getClassName(), "vesk::net::CNetDataBuffer");
    char source[] = "GNUTELLA\0OK";  // a zero inside is counted like any byte
    const unsigned long size = 11;

    value args[] = {value(4L), value(static_cast<void*>(source)), value(size), value(static_cast<const char*>(nullptr)),
                    value(static_cast<unsigned short>(0))};
    ref<INetDataBuffer> fromTwo = held(construct->create2(value(static_cast<void*>(source)), value(size)));
    ref<INetDataBuffer> fromArray = held(construct->createWithArgs(args));
    for (INetDataBuffer* b : {fromTwo.get(), fromArray.get()}) {
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->length(), size);
        EXPECT_EQ(bytesOf(b), std::string(source, size));
        EXPECT_EQ(b->data()[size], 0);
        EXPECT_NE(b->data(), reinterpret_cast<unsigned char*>(source));
    }
    source[0] = 'X';
    EXPECT_EQ(fromTwo->data()[0], 'G');
    EXPECT_EQ(fromArray->data()[0], 'G');
}

TEST(NetDataBuffer, NewBufferStartsWithoutAReference) {
    ref<Iconstruct> construct(new capsule<_constructNetDataBuffer>());
    Igeneric* made = construct->create2(value(static_cast<void*>(const_cast<char*>("ab"))), value(2ul));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->addRef(), 1);
    EXPECT_EQ(made->release(), 0);
}

TEST(NetDataBuffer, ValuesOfOtherKindsGiveNoBytesOrNoBuffer) {
    ref<Iconstruct> construct(new capsule<_constructNetDataBuffer>());
    char text[] = "abc";
    // Wrong codes count as no bytes: an empty buffer that still ends in zero.
    struct {
        value bytes, length;
    } empties[] = {
        {value(static_cast<const char*>(text)), value(3ul)},      // a C string, not an untyped pointer
        {value(static_cast<void*>(text)), value(3L)},             // a signed length
        {value(static_cast<void*>(nullptr)), value(3ul)},         // no bytes
    };
    for (auto& c : empties) {
        ref<INetDataBuffer> b = held(construct->create2(c.bytes, c.length));
        ASSERT_TRUE(b);
        EXPECT_EQ(b->length(), 0u);
        EXPECT_EQ(b->data()[0], 0);
    }
    value shortCount[] = {value(1L), value(static_cast<void*>(text))};
    EXPECT_EQ(construct->createWithArgs(nullptr), nullptr);
    EXPECT_EQ(construct->createWithArgs(shortCount), nullptr);
    EXPECT_EQ(construct->create(), nullptr);
    EXPECT_EQ(construct->create1(value(static_cast<void*>(text))), nullptr);
}

TEST(NetDataBuffer, BufferViewChangesTheSameBytesAndKeepsTheZero) {
    ref<INetDataBuffer> response(newNetDataBuffer("HTTP/1.1 200 OK\r\n", 17));
    ref<INetDataBuffer> more(newNetDataBuffer("Server: x\r\n\r\nbody", 17));
    ASSERT_TRUE(response && more);
    Ibuffer* view = response->asBuffer();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(interfaceCast<Ibuffer>(response.get()), view);

    // Grown piece by piece, as a reader waiting for the end of a header does.
    for (int i = 0; i < 200; ++i)
        view->appendBuffer(more->asBuffer());
    EXPECT_EQ(response->length(), 17u + 200 * 17);
    EXPECT_EQ(view->resize(0), response->length());
    EXPECT_EQ(response->data()[response->length()], 0);
    EXPECT_EQ(bytesOf(response.get()).substr(17, 17), "Server: x\r\n\r\nbody");
    EXPECT_EQ(bufferData(view), response->data());

    // Its own bytes appended to itself, across a growth of the block.
    unsigned before = view->resize(0);
    view->append(response->data(), static_cast<int>(before));
    EXPECT_EQ(response->length(), 2u * before);
    EXPECT_EQ(std::memcmp(response->data(), response->data() + before, before), 0);
    EXPECT_EQ(response->data()[response->length()], 0);

    view->resize(4);
    EXPECT_EQ(bytesOf(response.get()), "HTTP");
    EXPECT_EQ(response->data()[4], 0);
    view->assign(response->data() + 1, 2);  // from its own bytes
    EXPECT_EQ(bytesOf(response.get()), "TT");
    EXPECT_EQ(response->data()[2], 0);

    ref<Ibuffer> copy(view->clone());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->resize(0), 2u);
    view->assign(nullptr, 0);
    EXPECT_EQ(response->length(), 0u);
    EXPECT_EQ(response->data()[0], 0);
}

}  // namespace
}  // namespace vesk::net::test
