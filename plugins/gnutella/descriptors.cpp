#include "plugins/gnutella/descriptors.h"

#include <objbase.h>
#include <windows.h>

#include <cstring>

#include "plugins/gnutella/CGnutellaSearch.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/gnutellaInternal.h"

namespace vesk::gnutella {

bool IsKnownFunction(unsigned char code) {
    return code == function::ping || code == function::pong || code == function::push ||
           code == function::query || code == function::queryHit;
}

std::uint32_t ReadLe32(const unsigned char* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

void WriteLe32(unsigned char* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(v >> (8 * i));
}

void WriteLe16(unsigned char* at, std::uint16_t v) {
    at[0] = static_cast<unsigned char>(v);
    at[1] = static_cast<unsigned char>(v >> 8);
}

int WriteDescriptorHeader(unsigned char* out, const unsigned char* id, unsigned char functionCode,
                          unsigned char ttl, unsigned char hops, std::uint32_t payloadLength) {
    if (!out || !IsKnownFunction(functionCode))
        return -1;
    if (id)
        std::memcpy(out, id, guidSize);
    else if (NewMessageGuid(out) != 0)
        return -1;
    out[header::function] = functionCode;
    out[header::ttl] = ttl;
    out[header::hops] = hops;
    WriteLe32(out + header::payloadLength, payloadLength);
    return 0;
}

int BuildDescriptorHeader(unsigned char* out, const unsigned char* id, unsigned char functionCode,
                          std::uint32_t payloadLength) {
    return WriteDescriptorHeader(out, id, functionCode, g_Settings.m_LocalTTL, 0, payloadLength);
}

std::uint16_t Checksum16(const unsigned char* bytes, std::size_t count) {
    if (!bytes)
        count = 0;
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < count; i += 2)
        sum += static_cast<std::uint32_t>(bytes[i]) | static_cast<std::uint32_t>(bytes[i + 1]) << 8;
    if (count % 2)
        sum += bytes[count - 1];
    sum = (sum >> 16) + (sum & 0xFFFF);
    sum = (sum >> 16) + (sum & 0xFFFF);
    return static_cast<std::uint16_t>(~sum & 0xFFFF);
}

namespace {

// The bytes the check value covers.
constexpr std::size_t markFrom = 2;
constexpr std::size_t markCount = 6;

}  // namespace

int MarkGuidText(const char* guidText, unsigned char* out) {
    // "{" 8 digits "-" 4 digits ...: characters 1-8 and 10-13 are used.
    if (!out || !guidText || std::strlen(guidText) < 14)
        return -1;
    std::memcpy(out + 2, guidText + 1, 8);
    std::memcpy(out + 10, guidText + 10, 4);
    WriteLe16(out, Checksum16(out + markFrom, markCount));
    out[14] = 1;
    out[15] = 0;
    return 0;
}

int NewMessageGuid(unsigned char* out) {
    if (!out)
        return -1;
    GUID guid;
    if (FAILED(CoCreateGuid(&guid)))
        return -1;
    wchar_t wide[40] = {};
    if (StringFromGUID2(guid, wide, 40) == 0)
        return -1;
    char text[40] = {};
    if (WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr) == 0)
        return -1;
    return MarkGuidText(text, out);
}

bool IsMarkedGuid(const unsigned char* id) {
    if (!id)
        return false;
    std::uint16_t stored = static_cast<std::uint16_t>(id[0] | id[1] << 8);
    return stored == Checksum16(id + markFrom, markCount);
}

std::vector<unsigned char> QueryDescriptor(const unsigned char* id, const char* text, unsigned short minSpeed,
                                           unsigned char ttl) {
    if (!text)
        text = "";
    std::size_t textLength = std::strlen(text);
    std::uint32_t payload = static_cast<std::uint32_t>(textLength + 3);
    std::vector<unsigned char> bytes(descriptorHeaderSize + payload);
    if (WriteDescriptorHeader(bytes.data(), id, function::query, ttl, 0, payload) != 0)
        return {};
    unsigned char* at = bytes.data() + descriptorHeaderSize;
    WriteLe16(at, minSpeed);
    std::memcpy(at + 2, text, textLength);
    at[2 + textLength] = 0;
    return bytes;
}

net::INetDataBuffer* BuildQueryPacket(const CGnutellaSearch* search) {
    if (!search)
        return nullptr;
    std::vector<unsigned char> bytes;
    try {
        bytes = QueryDescriptor(search->m_Guid.bytes, search->m_Query, g_Settings.m_MinResponseSpeed,
                                g_Settings.m_LocalTTL);
    } catch (...) {
        return nullptr;
    }
    Ifactory* factory = moduleFactory();
    if (bytes.empty() || !factory)
        return nullptr;
    Igeneric* made =
        factory->create2(g_State.dataBufferClass, g_State.token, value(static_cast<void*>(bytes.data())),
                         value(static_cast<unsigned long>(bytes.size())));
    return newObjectAs<net::INetDataBuffer>(made);
}

}  // namespace vesk::gnutella
