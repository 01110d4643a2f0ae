#include "plugins/gnutella/framing.h"

#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/peerReader.h"

namespace vesk::gnutella {

namespace {

std::uint32_t payloadLengthOf(const unsigned char* header) {
    return ReadLe32(header + header::payloadLength);
}

bool startFits(const unsigned char* header) {
    return PayloadLengthFits(header[header::function], payloadLengthOf(header));
}

}  // namespace

bool PayloadLengthFits(unsigned char functionCode, std::uint32_t payloadLength) {
    switch (functionCode) {
        case function::ping:  // current servents add an extension block
            return payloadLength <= extensionPayloadLimit;
        case function::pong:  // its first 14 bytes are read, the rest left alone
            return payloadLength >= 14 && payloadLength <= extensionPayloadLimit;
        case function::push:
            return payloadLength == 26;
        case function::query:
            return payloadLength >= 3 && payloadLength <= 257;
        case function::queryHit:
            return payloadLength >= 11 && payloadLength <= 65535;
        default:
            return false;
    }
}

int CheckDescriptorHeader(const unsigned char* header, unsigned char maxTtl) {
    if (header[header::hops] > maxTtl || header[header::ttl] > maxTtl)
        return -1;
    return startFits(header) ? 0 : -1;
}

int CheckDescriptorFrame(const unsigned char* bytes, std::size_t available, unsigned char maxTtl) {
    peerReader frame(bytes, available);
    const unsigned char* head = frame.BytesAt(0, descriptorHeaderSize);
    if (!head)
        return -1;
    std::uint64_t behind = static_cast<std::uint64_t>(payloadLengthOf(head)) + descriptorHeaderSize;
    if (available > behind + descriptorHeaderSize) {
        const unsigned char* next = frame.BytesAt(static_cast<std::size_t>(behind), descriptorHeaderSize);
        if (!next || CheckDescriptorHeader(next, maxTtl) != 0)
            return -1;
    }
    return startFits(head) ? 0 : -1;
}

std::size_t FindDescriptorStart(const unsigned char* bytes, std::size_t length, unsigned char maxTtl) {
    if (length <= descriptorHeaderSize)
        return noStart;
    for (std::size_t offset = 0; offset + descriptorHeaderSize + 1 <= length; ++offset)
        if (CheckDescriptorFrame(bytes + offset, length - offset, maxTtl) == 0)
            return offset;
    return noStart;
}

frameVerdict FrameChunk(framingState& state, byteRun& chunk, unsigned char maxTtl) {
    // A held partial of a whole header passed its frame check when it was
    // kept: the bytes that follow belong to its descriptor.
    bool headerChecked = false;
    if (!state.partial.empty()) {
        headerChecked = state.partial.size() >= descriptorHeaderSize;
        state.partial.insert(state.partial.end(), chunk.Begin(), chunk.Begin() + chunk.Size());
        chunk.data.swap(state.partial);
        chunk.start = 0;
        state.partial.clear();
    }
    if (chunk.Size() < descriptorHeaderSize) {
        state.partial.assign(chunk.Begin(), chunk.Begin() + chunk.Size());
        chunk.Clear();
        return {frameVerdict::waiting, 0};
    }
    if (!headerChecked && CheckDescriptorFrame(chunk.Begin(), chunk.Size(), maxTtl) != 0) {
        std::size_t found = FindDescriptorStart(chunk.Begin(), chunk.Size(), maxTtl);
        if (found == noStart)
            return {frameVerdict::garbage, 0};
        chunk.start += found;
    }
    std::size_t whole = descriptorHeaderSize + payloadLengthOf(chunk.Begin());
    if (chunk.Size() < whole) {
        state.partial.assign(chunk.Begin(), chunk.Begin() + chunk.Size());
        chunk.Clear();
        return {frameVerdict::waiting, 0};
    }
    return {frameVerdict::descriptor, whole};
}

bool CountGarbageChunk(std::uint32_t& garbage, std::uint32_t& dropped, std::int32_t& zeroHopGarbage,
                       unsigned char hopsByte) {
    ++garbage;
    ++dropped;
    if (garbage > garbageLimit)
        return true;
    if (hopsByte != 0)
        return false;
    if (zeroHopGarbage >= zeroHopGarbageLimit)
        return true;
    ++zeroHopGarbage;
    return false;
}

}  // namespace vesk::gnutella
