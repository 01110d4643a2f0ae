#include "plugins/gnutella/addresses.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace vesk::gnutella {

namespace {

// Longest part of a dotted text, and of a port text, that is read at all.
constexpr std::size_t partLimit = 11;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

unsigned DecimalValue(const char* from, const char* to) {
    while (from < to && (*from == ' ' || (*from >= '\t' && *from <= '\r')))
        ++from;
    bool negative = from < to && *from == '-';
    if (from < to && (*from == '-' || *from == '+'))
        ++from;
    unsigned n = 0;
    for (; from < to && *from >= '0' && *from <= '9'; ++from)
        n = n * 10 + static_cast<unsigned>(*from - '0');
    return negative ? 0u - n : n;
}

int IpToText(const unsigned char* address, char* out) {
    if (!address || !out)
        return -1;
    std::snprintf(out, addressTextSize, "%u.%u.%u.%u", address[0], address[1], address[2], address[3]);
    return 0;
}

int TextToIp(const char* text, unsigned char* out) {
    if (!text || !out)
        return -1;
    const char* part = text;
    for (int i = 0; i < 4; ++i) {
        const char* end = i < 3 ? std::strchr(part, '.') : part + std::strlen(part);
        if (!end || static_cast<std::size_t>(end - part) > partLimit)
            return -1;
        out[i] = static_cast<unsigned char>(DecimalValue(part, end) & 0xFF);
        part = end + 1;
    }
    return 0;
}

int IdToHex(const unsigned char* id, char* out) {
    if (!id || !out)
        return -1;
    static const char digits[] = "0123456789ABCDEF";
    for (int i = 0; i < 16; ++i) {
        out[2 * i] = digits[id[i] >> 4];
        out[2 * i + 1] = digits[id[i] & 0x0F];
    }
    out[32] = '\0';
    return 0;
}

bool IsPrivateAddress(const unsigned char* address) {
    if (!address)
        return false;
    return address[0] == 10 || (address[0] == 172 && address[1] >= 16 && address[1] <= 31) ||
           (address[0] == 192 && address[1] == 168);
}

bool IsPrivateAddressText(const char* text) {
    if (!text)
        return false;
    for (const char* prefix : {"192.168.", "10.", "127."})
        if (std::strncmp(text, prefix, std::strlen(prefix)) == 0)
            return true;
    if (std::strncmp(text, "172.", 4) != 0 || !isDigit(text[4]) || !isDigit(text[5]) || text[6] != '.')
        return false;
    int second = (text[4] - '0') * 10 + (text[5] - '0');
    return second >= 16 && second <= 31;
}

bool IsAddressText(const char* text) {
    if (!text)
        return false;
    int dots = 0, run = 0;
    for (const char* c = text; *c; ++c) {
        if (*c == '.') {
            if (++dots > 3)
                return false;
            run = 0;
        } else if (!isDigit(*c) || ++run > 3) {
            return false;
        }
    }
    return true;
}

int SplitHostPort(const char* text, char* host, std::size_t hostSize, unsigned short* port) {
    if (!host || hostSize == 0)
        return 0;
    host[0] = '\0';
    if (!text)
        return 0;
    const char* colon = std::strchr(text, ':');
    std::size_t hostLength = colon ? static_cast<std::size_t>(colon - text) : std::strlen(text);
    if (hostLength > hostSize - 1)
        hostLength = hostSize - 1;
    std::memcpy(host, text, hostLength);
    host[hostLength] = '\0';
    if (!colon || !port)
        return 0;
    const char* digits = colon + 1;
    std::size_t length = std::strlen(digits);
    bool valid = length > 0 && length <= partLimit;
    for (std::size_t i = 0; valid && i < length; ++i)
        valid = isDigit(digits[i]);
    *port = valid ? static_cast<unsigned short>(DecimalValue(digits, digits + length) & 0xFFFF) : 0;
    return 0;
}

}  // namespace vesk::gnutella
