#include "testing/screen/screenCapture.h"

namespace vesk::testing {
namespace {

// A memory copy of the screen in a top-down 32-bit section.
class screenCopy {
public:
    screenCopy(int width, int height) {
        screen_ = ::GetDC(nullptr);
        memory_ = screen_ ? ::CreateCompatibleDC(screen_) : nullptr;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        if (memory_)
            bitmap_ = ::CreateDIBSection(memory_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        if (bitmap_ && bits_)
            old_ = ::SelectObject(memory_, bitmap_);
    }
    ~screenCopy() {
        if (old_)
            ::SelectObject(memory_, old_);
        if (bitmap_)
            ::DeleteObject(bitmap_);
        if (memory_)
            ::DeleteDC(memory_);
        if (screen_)
            ::ReleaseDC(nullptr, screen_);
    }
    screenCopy(const screenCopy&) = delete;
    screenCopy& operator=(const screenCopy&) = delete;

    // The pixels (blue, green, red, unused) after the copy; null on failure.
    const unsigned char* copyFrom(int left, int top, int width, int height) {
        if (!old_ || !::BitBlt(memory_, 0, 0, width, height, screen_, left, top, SRCCOPY))
            return nullptr;
        ::GdiFlush();
        return static_cast<const unsigned char*>(bits_);
    }

private:
    HDC screen_ = nullptr;
    HDC memory_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

}  // namespace

rgbImage CaptureScreenArea(const RECT& area) {
    rgbImage image;
    int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return image;
    screenCopy copy(width, height);
    const unsigned char* bgrx = copy.copyFrom(area.left, area.top, width, height);
    if (!bgrx)
        return image;
    image.width = width;
    image.height = height;
    image.rgb.resize(image.pixelCount() * 3);
    for (std::size_t i = 0; i < image.pixelCount(); ++i) {
        image.rgb[3 * i] = bgrx[4 * i + 2];
        image.rgb[3 * i + 1] = bgrx[4 * i + 1];
        image.rgb[3 * i + 2] = bgrx[4 * i];
    }
    return image;
}

rgbImage CaptureScreen() {
    RECT all = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return CaptureScreenArea(all);
}

rgbImage CaptureWindow(HWND window) {
    RECT area, shown;
    if (!window || !::GetWindowRect(window, &area))
        return {};
    // A maximized window reaches past the screen's edges by its border;
    // outside the screen the copy would be black.
    int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN), top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    RECT screen = {left, top, left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                   top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    if (!::IntersectRect(&shown, &area, &screen))
        return {};
    return CaptureScreenArea(shown);
}

}  // namespace vesk::testing
