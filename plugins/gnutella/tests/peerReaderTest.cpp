// The reader every handler reads peer bytes through: reads stop at the end
// whatever the offset, and a buffer's position past its end leaves nothing.
#include <gtest/gtest.h>

#include <cstdint>

#include "core/capsule.h"
#include "extern/net/CNetDataBuffer.h"
#include "plugins/gnutella/peerReader.h"

namespace vesk::gnutella::test {
namespace {

TEST(PeerReader, ReadsLittleEndianFieldsAndStopsAtTheEnd) {
    const unsigned char bytes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 'h', 'i', 0, 'x'};
    peerReader r(bytes, sizeof bytes);
    EXPECT_EQ(r.U8(), 0x01);
    EXPECT_EQ(r.Le16(), 0x0302);
    EXPECT_EQ(r.Le32(), 0x07060504u);
    EXPECT_EQ(r.Text(10), "hi");
    EXPECT_EQ(r.Remaining(), 1u);
    EXPECT_FALSE(r.Failed());
    EXPECT_EQ(r.Le32(), 0u);
    EXPECT_TRUE(r.Failed());
    EXPECT_EQ(r.Remaining(), 1u) << "a failed read moves nothing";

    struct row {
        std::size_t at, n;
        bool fits;
    } rows[] = {{0, 11, true}, {11, 0, true}, {10, 2, false}, {12, 0, false}, {SIZE_MAX, 1, false},
                {1, SIZE_MAX, false}, {SIZE_MAX - 3, 4, false}};
    for (const row& x : rows) {
        peerReader fresh(bytes, sizeof bytes);
        EXPECT_EQ(fresh.BytesAt(x.at, x.n) != nullptr, x.fits) << x.at << "+" << x.n;
        EXPECT_EQ(fresh.Failed(), !x.fits);
    }
    peerReader none(nullptr, 40);
    EXPECT_EQ(none.Remaining(), 0u);
    EXPECT_EQ(peerReader(bytes, 5).Text(2), std::string("\x01\x02"));
}

TEST(PeerReader, ABufferThatShrankBehindItsPositionLeavesNothing) {
    const unsigned char bytes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    auto* buffer = new capsule<net::CNetDataBuffer>(bytes, 10ul);
    buffer->addRef();
    buffer->seek(6, 0);
    peerReader fromSix = peerReader::AtPosition(buffer);
    EXPECT_EQ(fromSix.Remaining(), 4u);
    EXPECT_EQ(fromSix.U8(), 7);
    buffer->resize(4);
    EXPECT_EQ(peerReader::AtPosition(buffer).Remaining(), 0u);
    EXPECT_EQ(peerReader::AtPosition(nullptr).Remaining(), 0u);
    buffer->release();
}

}  // namespace
}  // namespace vesk::gnutella::test
