// Strict dotted IPv4 text: four decimal parts of one to three digits, each
// at most 255, separated by dots, and nothing else.
#pragma once

#include <cstdint>

namespace vesk {

// The address in host byte order when the text is one; null text is not.
bool parseDottedIpv4(const char* text, std::uint32_t* address);

}  // namespace vesk
