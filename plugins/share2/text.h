// Text helpers of the share engine.
#pragma once

#include <cstdlib>
#include <cstring>
#include <string>

namespace vesk::share2 {

// The C run-time's lower-casing, as the share list and the listings are
// compared with it.
inline std::string lowerCase(std::string text) {
    if (!text.empty())
        _strlwr(&text[0]);
    return text;
}

}  // namespace vesk::share2
