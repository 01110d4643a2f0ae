#include "core/dottedAddress.h"

namespace vesk {

bool parseDottedIpv4(const char* text, std::uint32_t* address) {
    if (!text)
        return false;
    std::uint32_t result = 0;
    const char* at = text;
    for (int part = 0; part < 4; ++part) {
        if (part > 0 && *at++ != '.')
            return false;
        unsigned number = 0;
        int digits = 0;
        while (*at >= '0' && *at <= '9' && digits < 4) {
            number = number * 10 + static_cast<unsigned>(*at - '0');
            ++digits;
            ++at;
        }
        if (digits == 0 || digits > 3 || number > 255)
            return false;
        result = result << 8 | number;
    }
    if (*at != '\0')
        return false;
    if (address)
        *address = result;
    return true;
}

}  // namespace vesk
