// A player's window stand-in: a memory context holding a 32-bit top-down
// DIB section whose pixels the test reads directly.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vesk::test {

class dibCanvas {
public:
    dibCanvas(int width, int height);  // black; throws when it cannot be made
    ~dibCanvas();
    dibCanvas(const dibCanvas&) = delete;
    dibCanvas& operator=(const dibCanvas&) = delete;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    RECT rect() const { return {0, 0, width_, height_}; }

    COLORREF pixel(int x, int y) const;
    void fill(COLORREF colour);
    // Pixels other than black inside the box (left, top, width, height).
    int colouredPixels(int left, int top, int width, int height) const;
    // Writes the canvas as a 24-bit BMP file; false when it cannot.
    bool save(const std::string& path) const;

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    std::uint32_t* bits_ = nullptr;  // 0x00RRGGBB, row by row from the top
};

// A bitmap's pixels as COLORREFs, row by row from the top; empty when it
// cannot be read.
struct bitmapPixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    COLORREF at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
bitmapPixels readBitmap(HBITMAP bitmap);

// A new bitmap compatible with the screen, width x height, whose pixel
// (x, y) is colour(x, y); the caller deletes it. Null when it cannot be made.
HBITMAP makeBitmap(int width, int height, const std::function<COLORREF(int, int)>& colour);

}  // namespace vesk::test
