#include "testing/screen/imageStats.h"

#include <unordered_set>

namespace vesk::testing {

std::size_t ColourCount(const rgbImage& image) {
    std::unordered_set<std::uint32_t> colours;
    for (std::size_t i = 0; i + 2 < image.rgb.size(); i += 3)
        colours.insert(static_cast<std::uint32_t>(image.rgb[i]) << 16 |
                       static_cast<std::uint32_t>(image.rgb[i + 1]) << 8 | image.rgb[i + 2]);
    return colours.size();
}

std::uint64_t PixelDigest(const rgbImage& image) {
    std::uint64_t digest = 14695981039346656037ull;
    auto mix = [&digest](std::uint32_t byte) {
        digest ^= byte & 0xFF;
        digest *= 1099511628211ull;
    };
    for (int shift = 0; shift < 32; shift += 8) {
        mix(static_cast<std::uint32_t>(image.width) >> shift);
        mix(static_cast<std::uint32_t>(image.height) >> shift);
    }
    for (unsigned char byte : image.rgb)
        mix(byte);
    return digest;
}

}  // namespace vesk::testing
