// One incoming HTTP request as the upload side reads it (ParseHttpRequest).
// Longer texts than the fields hold are cut.
#pragma once

#include <cstdint>

namespace vesk::gnutella {

class CGnutellaHTTP {
public:
    CGnutellaHTTP() = default;
    virtual ~CGnutellaHTTP() = default;

    char method[30] = {};        // before the first blank
    char requestLine[262] = {};  // the first line up to its last blank: method and path
    std::int32_t majorVersion = 0;
    std::int32_t minorVersion = 0;
    char userAgent[260] = {};      // the "User-Agent:" value
    char connection[260] = {};     // the "Connection:" value
    // "Range: bytes=start-end", the end inclusive and optional; the whole
    // file without the header. A range that is not two unsigned 32-bit
    // numbers (or one and a dash) is marked unreadable, never guessed at.
    std::uint32_t rangeStart = 0;
    std::uint32_t rangeEnd = 0;
    bool hasRangeEnd = false;
    bool rangeUnreadable = false;
};

}  // namespace vesk::gnutella
