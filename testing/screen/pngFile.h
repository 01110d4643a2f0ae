// PNG files of screenshots: 8-bit RGB, no filtering, deflate's stored
// blocks. Larger than a compressed file, but needs no library and any
// viewer reads it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "testing/screen/rgbImage.h"

namespace vesk::testing {

// The CRC-32 PNG chunks carry (over the chunk type and data).
std::uint32_t PngCrc32(const unsigned char* bytes, std::size_t length);

// The whole file; empty for an empty image.
std::vector<unsigned char> EncodePng(const rgbImage& image);

// Writes the file whole or not at all (a new file beside it, then moved).
bool WritePngFile(const std::string& path, const rgbImage& image);

}  // namespace vesk::testing
