#include "plugins/gnutella/CGnutellaPacket.h"

#include <algorithm>
#include <new>

namespace vesk::gnutella {

namespace {

// The payload bytes a packet keeps of each function, at most.
std::size_t keptPayload(unsigned char functionCode) {
    switch (functionCode) {
        case function::pong:
            return 14;
        case function::push:
            return 26;
        case function::query:
            return 258;
        default:
            return 0;
    }
}

constexpr std::size_t hitSummaryHead = 11;

}  // namespace

CGnutellaPacket* ClonePacketBytes(const unsigned char* bytes, std::size_t length) {
    if (!bytes || length < descriptorHeaderSize || !IsKnownFunction(bytes[header::function]))
        return nullptr;
    CGnutellaPacket* packet = new (std::nothrow) CGnutellaPacket();
    if (!packet)
        return nullptr;
    std::copy(bytes, bytes + descriptorHeaderSize, packet->m_Header);
    const unsigned char* payload = bytes + descriptorHeaderSize;
    std::size_t available = length - descriptorHeaderSize;
    try {
        if (packet->Function() == function::queryHit) {
            std::size_t head = std::min(available, hitSummaryHead);
            packet->m_Payload.assign(payload, payload + head);
            packet->m_Payload.insert(packet->m_Payload.end(), bytes + length - guidSize, bytes + length);
        } else {
            packet->m_Payload.assign(payload, payload + std::min(available, keptPayload(packet->Function())));
        }
    } catch (...) {
        delete packet;
        return nullptr;
    }
    return packet;
}

CGnutellaPacket* ClonePacket(net::INetDataBuffer* buffer) {
    if (!buffer)
        return nullptr;
    return ClonePacketBytes(buffer->data(), buffer->length());
}

}  // namespace vesk::gnutella
