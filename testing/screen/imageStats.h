// What tells a screenshot apart: how many colours it has (a blank or
// one-colour window has very few) and a digest of its pixels (two shots of
// a window whose state changed differ in it).
#pragma once

#include <cstddef>
#include <cstdint>

#include "testing/screen/rgbImage.h"

namespace vesk::testing {

// Distinct colours among the pixels.
std::size_t ColourCount(const rgbImage& image);

// FNV-1a over the size and the pixels.
std::uint64_t PixelDigest(const rgbImage& image);

}  // namespace vesk::testing
