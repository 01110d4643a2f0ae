// Cutting a link's byte stream into descriptors: which headers are valid,
// where a descriptor starts after garbage, and what one link holds between
// reads (the bytes behind the last descriptor handled, and the beginning
// of one not yet whole). No I/O: ReadDescriptors feeds it.
//
// Framing never drops good data. A chunk is taken at a descriptor boundary;
// while the beginning of a descriptor is held, the next bytes complete it;
// a new start is searched for only when the header at a boundary fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vesk::gnutella {

// Most payload bytes of a Ping or a Pong: current servents send Pings with
// a small extension block and Pongs longer than their 14 bytes.
constexpr std::uint32_t extensionPayloadLimit = 4096;

// Payload length limits by function: Ping up to extensionPayloadLimit, Pong
// 14 up to it, Push 26, Query 3 to 257, Query Hit 11 to 65535 (all other
// functions are invalid).
bool PayloadLengthFits(unsigned char functionCode, std::uint32_t payloadLength);

// A header that follows another one: TTL and hops within maxTtl, a known
// function and a payload length it allows. 0 when valid, -1 when not.
int CheckDescriptorHeader(const unsigned char* header, unsigned char maxTtl);

// The header at the start of bytes (available >= 23): its function and
// payload length; and when a whole second header lies behind its
// descriptor (available > payload length + 46), that header by
// CheckDescriptorHeader. 0 when the descriptor may be taken, -1 when not.
int CheckDescriptorFrame(const unsigned char* bytes, std::size_t available, unsigned char maxTtl);

constexpr std::size_t noStart = static_cast<std::size_t>(-1);

// The first offset from 0 to length - 24 at which CheckDescriptorFrame
// passes, or noStart (always for 23 bytes or fewer).
std::size_t FindDescriptorStart(const unsigned char* bytes, std::size_t length, unsigned char maxTtl);

// Bytes still to handle: data from start on. Taking a descriptor off the
// front moves start instead of copying the rest.
struct byteRun {
    std::vector<unsigned char> data;
    std::size_t start = 0;

    const unsigned char* Begin() const { return data.data() + start; }
    std::size_t Size() const { return data.size() - start; }
    bool Empty() const { return Size() == 0; }
    void Clear() {
        data.clear();
        start = 0;
    }
};

// What one link holds between reads (the active host thread's alone).
struct framingState {
    byteRun leftover;                    // behind the last descriptor handled
    std::vector<unsigned char> partial;  // a descriptor's beginning
    std::int32_t zeroHopGarbage = 0;     // garbage chunks with a zero hops byte
    std::uint32_t exceptions = 0;        // failures caught while handling
};

struct frameVerdict {
    enum outcome {
        waiting,     // kept as the partial until more bytes come
        descriptor,  // a whole descriptor of `size` bytes starts the chunk
        garbage      // no descriptor start in it: the caller counts and discards it
    };
    outcome what;
    std::size_t size;
};

// Frames one chunk: joins it to the partial held, moves a chunk that fails
// at its boundary to the first valid start found in it, keeps a chunk too
// short for its descriptor as the partial.
frameVerdict FrameChunk(framingState& state, byteRun& chunk, unsigned char maxTtl);

// Most garbage chunks a link may send, and most of those with a zero byte
// where the hops are: one more drops the link.
constexpr std::uint32_t garbageLimit = 120;
constexpr std::int32_t zeroHopGarbageLimit = 10;

// Counts one garbage chunk (hopsByte: its byte at offset 18) in the link's
// counters; true when the link is to be dropped for it.
bool CountGarbageChunk(std::uint32_t& garbage, std::uint32_t& dropped, std::int32_t& zeroHopGarbage,
                       unsigned char hopsByte);

}  // namespace vesk::gnutella
