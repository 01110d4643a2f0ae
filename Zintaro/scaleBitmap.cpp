#include "Zintaro/scaleBitmap.h"

namespace vesk::zintaro {

namespace {

// The largest side a DIB here may have: far above any logo, and small
// enough that sizes and sums stay in range.
constexpr int largestSide = 16384;

bool isDibSize(int width, int height) {
    return width > 0 && height > 0 && width <= largestSide && height <= largestSide;
}

std::uint16_t fourThousandths(std::int64_t share, std::int64_t whole) {
    return static_cast<std::uint16_t>(share * 4096 / whole);
}

// Adds weighted bytes into one target pixel's three sums, if it exists.
void addTo(std::vector<std::uint32_t>& sums, const dibPixels& target, int x, int y, std::uint32_t weight,
           const BYTE* colour) {
    if (weight == 0 || x >= target.width || y >= target.height)
        return;
    std::uint32_t* sum = &sums[(static_cast<std::size_t>(y) * target.width + x) * 3];
    for (int c = 0; c < 3; ++c)
        sum[c] += weight * colour[c];
}

}  // namespace

std::size_t dibStride(int width) { return (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3); }

BITMAPINFO MakeDibHeader(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = isDibSize(width, height) ? static_cast<DWORD>(dibStride(width) * height) : 0;
    return info;
}

std::vector<scaleWeight> BuildScaleWeights(int n, int t) {
    std::vector<scaleWeight> weights;
    if (t <= 0 || t > n)
        return weights;
    weights.resize(static_cast<std::size_t>(n));
    // d: how far into the current target pixel the walk is, in units where a
    // source pixel is t long and a target pixel n long. A weight is the
    // difference of two rounded positions rather than a rounded length, so
    // the rounding of a target pixel's weights adds up to nothing.
    std::int64_t d = 0;
    for (scaleWeight& weight : weights) {
        std::int64_t s = d + t;
        std::uint16_t before = fourThousandths(d, n);
        if (s >= n) {
            weight.first = static_cast<std::uint16_t>(4096 - before);
            weight.second = fourThousandths(s - n, n);
            weight.closes = true;
            d = s - n;
        } else {
            weight.first = static_cast<std::uint16_t>(fourThousandths(s, n) - before);
            d = s;
        }
    }
    return weights;
}

dibPixels ShrinkDib(const dibPixels& source, int width, int height) {
    dibPixels target;
    if (!isDibSize(source.width, source.height) || source.bytes.size() < dibStride(source.width) * source.height)
        return target;
    std::vector<scaleWeight> across = BuildScaleWeights(source.width, width);
    std::vector<scaleWeight> down = BuildScaleWeights(source.height, height);
    if (across.empty() || down.empty())
        return target;
    target.width = width;
    target.height = height;
    target.bytes.assign(dibStride(width) * height, 0);

    // A target pixel's sum is at most 255 x 4096 x 4096 = 255 x 2^24: it
    // fits 32 bits unsigned, and its top byte is the averaged colour.
    std::vector<std::uint32_t> sums(static_cast<std::size_t>(width) * height * 3, 0);
    int targetY = 0;
    for (int y = 0; y < source.height; ++y) {
        const scaleWeight& row = down[y];
        const BYTE* line = &source.bytes[dibStride(source.width) * y];
        int targetX = 0;
        for (int x = 0; x < source.width; ++x) {
            const scaleWeight& column = across[x];
            const BYTE* colour = line + 3 * x;
            addTo(sums, target, targetX, targetY, std::uint32_t{column.first} * row.first, colour);
            addTo(sums, target, targetX + 1, targetY, std::uint32_t{column.second} * row.first, colour);
            addTo(sums, target, targetX, targetY + 1, std::uint32_t{column.first} * row.second, colour);
            addTo(sums, target, targetX + 1, targetY + 1, std::uint32_t{column.second} * row.second, colour);
            if (column.closes)
                ++targetX;
        }
        if (row.closes)
            ++targetY;
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                target.bytes[dibStride(width) * y + 3 * x + c] =
                    static_cast<BYTE>(sums[(static_cast<std::size_t>(y) * width + x) * 3 + c] >> 24);
    return target;
}

ownedBitmap ScaleBitmap(HBITMAP source, int width, int height) {
    BITMAP size = {};
    if (!source || !GetObjectW(source, sizeof size, &size) || !isDibSize(size.bmWidth, size.bmHeight) ||
        !isDibSize(width, height) || width > size.bmWidth || height > size.bmHeight)
        return ownedBitmap();
    screenDc screen;
    if (!screen)
        return ownedBitmap();

    dibPixels pixels;
    pixels.width = size.bmWidth;
    pixels.height = size.bmHeight;
    pixels.bytes.resize(dibStride(pixels.width) * pixels.height);
    BITMAPINFO sourceHeader = MakeDibHeader(pixels.width, pixels.height);
    if (GetDIBits(screen.get(), source, 0, static_cast<UINT>(pixels.height), pixels.bytes.data(), &sourceHeader,
                  DIB_RGB_COLORS) != pixels.height)
        return ownedBitmap();

    dibPixels shrunk = ShrinkDib(pixels, width, height);
    if (shrunk.width == 0)
        return ownedBitmap();
    ownedBitmap scaled(CreateCompatibleBitmap(screen.get(), width, height));
    BITMAPINFO targetHeader = MakeDibHeader(width, height);
    if (!scaled || SetDIBits(screen.get(), scaled.get(), 0, static_cast<UINT>(height), shrunk.bytes.data(),
                             &targetHeader, DIB_RGB_COLORS) != height)
        return ownedBitmap();
    return scaled;
}

}  // namespace vesk::zintaro
