// The one way the module reads bytes a peer sent: little-endian fields and
// byte runs, each checked against the end first (off > size - n, which
// cannot overflow). A read that would pass the end reads nothing, yields 0
// and marks the reader failed; the caller checks Failed() once after its
// reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "vesk/net.h"

namespace vesk::gnutella {

class peerReader {
public:
    peerReader(const unsigned char* bytes, std::size_t size);

    // The bytes of a received buffer from its position on. A position past
    // the end (the buffer shrank after it was set) leaves nothing to read.
    static peerReader AtPosition(net::INetDataBuffer* buffer);

    std::size_t Remaining() const { return size_ - offset_; }
    std::size_t Offset() const { return offset_; }
    bool Failed() const { return failed_; }

    std::uint8_t U8();
    std::uint16_t Le16();
    std::uint32_t Le32();
    // The next n bytes (null when fewer are left), then past them.
    const unsigned char* Bytes(std::size_t n);
    bool Skip(std::size_t n) { return Bytes(n) != nullptr || n == 0; }
    // Text up to a zero byte (read past) or the end, at most limit
    // characters kept; never fails.
    std::string Text(std::size_t limit);

    // Reads at a fixed offset from the start, not moving the reader; they
    // fail the same way.
    std::uint8_t U8At(std::size_t at);
    std::uint32_t Le32At(std::size_t at);
    const unsigned char* BytesAt(std::size_t at, std::size_t n);

private:
    bool has(std::size_t at, std::size_t n) const { return at <= size_ && n <= size_ - at; }

    const unsigned char* bytes_;
    std::size_t size_;
    std::size_t offset_ = 0;
    bool failed_ = false;
};

}  // namespace vesk::gnutella
