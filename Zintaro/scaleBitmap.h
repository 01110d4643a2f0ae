// Shrinking a picture by area averaging: every source pixel adds its colour
// to the target pixels it covers, weighted by how much of each it covers.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "Zintaro/gdiObjects.h"

namespace vesk::zintaro {

// The header of a 24-bit bottom-up DIB of width x height pixels, rows
// aligned to 4 bytes.
BITMAPINFO MakeDibHeader(int width, int height);

// Bytes of one row of a 24-bit DIB.
std::size_t dibStride(int width);

// 24-bit pixels as MakeDibHeader describes them.
struct dibPixels {
    int width = 0;
    int height = 0;
    std::vector<BYTE> bytes;  // dibStride(width) x height
};

// How one source pixel of a row or column is shared out, in 4096ths of a
// target pixel: first to the current target pixel, second to the next one.
// closes: the current target pixel has all it gets; the next source pixel
// adds to the next one.
struct scaleWeight {
    std::uint16_t first = 0;
    std::uint16_t second = 0;
    bool closes = false;
};

// The weights of n source pixels shrunk to t (0 < t <= n); empty for any
// other pair. Each target pixel's weights add up to exactly 4096, so that a
// flat colour stays that colour.
std::vector<scaleWeight> BuildScaleWeights(int n, int t);

// The source shrunk to width x height (at most the source's size, at least
// 1 x 1); an empty picture (width 0) for a size it cannot make.
dibPixels ShrinkDib(const dibPixels& source, int width, int height);

// A new bitmap compatible with the screen: source shrunk to width x height.
// Growing in either direction is refused (an empty owner), as is a source
// that cannot be read.
ownedBitmap ScaleBitmap(HBITMAP source, int width, int height);

}  // namespace vesk::zintaro
