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
    std::int32_t rangeStart = -1;  // 0 without a "Range:" header
    std::int32_t rangeEnd = -1;    // -1 when the range is open
};

}  // namespace vesk::gnutella
