// One known host: an entry of the host cache, the successful-host list or
// the quick-connect list, with its row in the host-cache list.
#pragma once

#include <cstdint>
#include <string>

#include "vesk/ss.h"

namespace vesk::gnutella {

constexpr std::size_t catchAddressSize = 260;

class CGnutellaHostCatch {
public:
    // From a pong: the four address bytes and the port.
    CGnutellaHostCatch(const unsigned char* address, std::uint16_t port);
    // From text (settings, web caches, handshake replies): a dotted address
    // or a host name (cut to 259 characters); the address bytes are set
    // only when the text is a dotted address.
    CGnutellaHostCatch(const char* addressText, std::uint16_t port);
    virtual ~CGnutellaHostCatch();
    CGnutellaHostCatch(const CGnutellaHostCatch&) = delete;
    CGnutellaHostCatch& operator=(const CGnutellaHostCatch&) = delete;

    // The row's attributes: address text, key and port.
    void FillRow();

    // The key of a host made from text: the text as kept (cut to 259
    // characters), ":" and the port.
    static std::string KeyOf(const char* addressText, std::uint16_t port);
    // The address bytes of a text, set only when it is a dotted address.
    static void AddressOf(const char* addressText, unsigned char* address);

    std::uint32_t m_Kilobytes = 0;  // shared, from its pong
    std::uint32_t m_Files = 0;      // shared, from its pong
    ss::IAgent* m_Row = nullptr;    // one reference held; may be null
    std::string m_Key;              // address text, ":" and the port in decimal
    unsigned char m_Address[4] = {};
    char m_AddressText[catchAddressSize] = {};
    std::uint16_t m_Port = 0;

private:
    void finish();
};

}  // namespace vesk::gnutella
