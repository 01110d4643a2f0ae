#include "Zintaro/tests/dibCanvas.h"

#include <cstdio>
#include <stdexcept>
#include <vector>

namespace vesk::test {

namespace {

COLORREF fromDib(std::uint32_t value) { return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF); }

std::uint32_t toDib(COLORREF colour) {
    return (static_cast<std::uint32_t>(GetRValue(colour)) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

BITMAPINFO topDown32(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace

dibCanvas::dibCanvas(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info = topDown32(width, height);
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = dc_ ? CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (!bitmap_) {
        if (dc_)
            DeleteDC(dc_);
        throw std::runtime_error("cannot make a DIB section");
    }
    previous_ = SelectObject(dc_, bitmap_);
    bits_ = static_cast<std::uint32_t*>(bits);
    fill(RGB(0, 0, 0));
}

dibCanvas::~dibCanvas() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

COLORREF dibCanvas::pixel(int x, int y) const {
    GdiFlush();
    return fromDib(bits_[static_cast<size_t>(y) * width_ + x]);
}

void dibCanvas::fill(COLORREF colour) {
    GdiFlush();
    for (size_t i = 0; i < static_cast<size_t>(width_) * height_; ++i)
        bits_[i] = toDib(colour);
}

int dibCanvas::colouredPixels(int left, int top, int width, int height) const {
    int coloured = 0;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
            coloured += pixel(x, y) != RGB(0, 0, 0) ? 1 : 0;
    return coloured;
}

bool dibCanvas::save(const std::string& path) const {
    GdiFlush();
    const size_t stride = (static_cast<size_t>(width_) * 3 + 3) & ~size_t{3};
    std::vector<unsigned char> image(stride * height_, 0);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            std::uint32_t value = bits_[static_cast<size_t>(y) * width_ + x];
            unsigned char* out = &image[stride * (height_ - 1 - y) + 3 * x];  // bottom-up
            out[0] = value & 0xFF;
            out[1] = (value >> 8) & 0xFF;
            out[2] = (value >> 16) & 0xFF;
        }
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width_;
    info.biHeight = height_;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(image.size());
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + image.size());
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    bool written = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&info, sizeof info, 1, out) == 1 &&
                   std::fwrite(image.data(), image.size(), 1, out) == 1;
    return std::fclose(out) == 0 && written;
}

bitmapPixels readBitmap(HBITMAP bitmap) {
    bitmapPixels read;
    BITMAP size = {};
    if (!GetObjectW(bitmap, sizeof size, &size))
        return read;
    BITMAPINFO info = topDown32(size.bmWidth, size.bmHeight);
    std::vector<std::uint32_t> bits(static_cast<size_t>(size.bmWidth) * size.bmHeight);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(size.bmHeight), bits.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != size.bmHeight)
        return read;
    read.width = size.bmWidth;
    read.height = size.bmHeight;
    for (std::uint32_t value : bits)
        read.pixels.push_back(fromDib(value));
    return read;
}

HBITMAP makeBitmap(int width, int height, const std::function<COLORREF(int, int)>& colour) {
    std::vector<std::uint32_t> bits(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bits[static_cast<size_t>(y) * width + x] = toDib(colour(x, y));
    BITMAPINFO info = topDown32(width, height);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    if (bitmap &&
        SetDIBits(screen, bitmap, 0, static_cast<UINT>(height), bits.data(), &info, DIB_RGB_COLORS) != height) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
    ReleaseDC(nullptr, screen);
    return bitmap;
}

}  // namespace vesk::test
