// Copies into the fixed character fields of the module's records: at most
// the field less one character, always terminated.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

namespace vesk::gnutella {

template <std::size_t N>
void CopyText(char (&out)[N], const std::string& text) {
    std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

}  // namespace vesk::gnutella
