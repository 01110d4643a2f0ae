#include "Zintaro/bitmapDrawing.h"

#include <algorithm>
#include <cmath>

namespace vesk::zintaro {

namespace {

bool bitmapSize(HBITMAP bitmap, int& width, int& height) {
    BITMAP info = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return false;
    width = info.bmWidth;
    height = info.bmHeight;
    return true;
}

// A one-bit mask drawn into from a context, with its own context.
struct maskPlane {
    maskPlane(HDC dc, int width, int height)
        : context(dc), bitmap(CreateBitmap(width, height, 1, 1, nullptr)), selected(context.get(), bitmap.get()) {}
    explicit operator bool() const { return context && bitmap && selected; }

    memoryDc context;
    ownedBitmap bitmap;
    selection selected;
};

// A colour bitmap like dc's, with its own context; a one-bit mask blitted
// into it gives black for 0 and white for 1.
struct colourPlane {
    colourPlane(HDC dc, int width, int height)
        : context(dc), bitmap(CreateCompatibleBitmap(dc, width, height)), selected(context.get(), bitmap.get()) {
        if (context) {
            SetTextColor(context.get(), RGB(0, 0, 0));
            SetBkColor(context.get(), RGB(255, 255, 255));
        }
    }
    explicit operator bool() const { return context && bitmap && selected; }

    memoryDc context;
    ownedBitmap bitmap;
    selection selected;
};

}  // namespace

ownedBitmap RotateBitmap(HDC dc, HBITMAP source, double angle, COLORREF fill) {
    int width = 0, height = 0;
    if (!bitmapSize(source, width, height))
        return ownedBitmap();
    double cosine = std::cos(angle), sine = std::sin(angle);
    // Where the corners land; the origin is one of them.
    const POINT corners[] = {{0, 0}, {width, 0}, {0, height}, {width, height}};
    long minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (const POINT& corner : corners) {
        auto x = static_cast<long>(corner.x * cosine + corner.y * sine);
        auto y = static_cast<long>(-corner.x * sine + corner.y * cosine);
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    if (maxX - minX <= 0 || maxY - minY <= 0)
        return ownedBitmap();

    ownedBitmap turned(CreateCompatibleBitmap(dc, maxX - minX, maxY - minY));
    if (!turned)
        return ownedBitmap();
    {
        memoryDc target(dc), from(dc);
        ownedBrush brush(CreateSolidBrush(fill));
        selection turnedIn(target.get(), turned.get());
        selection sourceIn(from.get(), source);
        selection brushIn(target.get(), brush.get());
        if (!target || !from || !brush || !turnedIn || !sourceIn || !brushIn ||
            !PatBlt(target.get(), 0, 0, maxX - minX, maxY - minY, PATCOPY))
            return ownedBitmap();
        XFORM turn = {};
        turn.eM11 = static_cast<FLOAT>(cosine);
        turn.eM12 = static_cast<FLOAT>(-sine);
        turn.eM21 = static_cast<FLOAT>(sine);
        turn.eM22 = static_cast<FLOAT>(cosine);
        turn.eDx = static_cast<FLOAT>(-minX);
        turn.eDy = static_cast<FLOAT>(-minY);
        if (!SetGraphicsMode(target.get(), GM_ADVANCED) || !SetWorldTransform(target.get(), &turn) ||
            !BitBlt(target.get(), 0, 0, width, height, from.get(), 0, 0, SRCCOPY))
            return ownedBitmap();
    }
    return turned;
}

bool TransparentDraw(HDC dc, HBITMAP bitmap, int x, int y, COLORREF key) {
    int width = 0, height = 0;
    if (!bitmapSize(bitmap, width, height))
        return false;
    memoryDc picture(dc);
    selection pictureIn(picture.get(), bitmap);
    maskPlane keyMask(dc, width, height), drawnMask(dc, width, height);
    colourPlane kept(dc, width, height), drawn(dc, width, height);
    if (!picture || !pictureIn || !keyMask || !drawnMask || !kept || !drawn)
        return false;
    // Colour to one bit: pixels of the source context's background colour
    // become 1.
    SetBkColor(picture.get(), key);
    return BitBlt(keyMask.context.get(), 0, 0, width, height, picture.get(), 0, 0, SRCCOPY) &&
           BitBlt(drawnMask.context.get(), 0, 0, width, height, keyMask.context.get(), 0, 0, NOTSRCCOPY) &&
           // The destination where the key is, black elsewhere.
           BitBlt(kept.context.get(), 0, 0, width, height, dc, x, y, SRCCOPY) &&
           BitBlt(kept.context.get(), 0, 0, width, height, keyMask.context.get(), 0, 0, SRCAND) &&
           // The picture where the key is not, black elsewhere.
           BitBlt(drawn.context.get(), 0, 0, width, height, picture.get(), 0, 0, SRCCOPY) &&
           BitBlt(drawn.context.get(), 0, 0, width, height, drawnMask.context.get(), 0, 0, SRCAND) &&
           BitBlt(kept.context.get(), 0, 0, width, height, drawn.context.get(), 0, 0, SRCPAINT) &&
           BitBlt(dc, x, y, width, height, kept.context.get(), 0, 0, SRCCOPY);
}

}  // namespace vesk::zintaro
