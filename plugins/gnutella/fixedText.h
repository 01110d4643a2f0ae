// Copies into the fixed character fields of the module's records, always
// terminated: cut to the field, or only when the text fits whole.
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

// Copies the text into the field only when it fits whole; false (field
// untouched) otherwise: a cut address or name would name someone else.
template <std::size_t N>
bool CopyWhole(char (&out)[N], const char* text) {
    std::size_t length = text ? std::strlen(text) : N;
    if (length >= N)
        return false;
    std::memcpy(out, text, length + 1);
    return true;
}

}  // namespace vesk::gnutella
