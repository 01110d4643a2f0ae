#include "Zintaro/gdiObjects.h"

#include <atomic>

namespace vesk::zintaro {

namespace {

std::atomic<long> live{0};
std::atomic<long> everMade{0};

}  // namespace

long liveGdiObjects() { return live.load(); }

long gdiObjectsMade() { return everMade.load(); }

namespace gdiCount {

void made() {
    ++live;
    ++everMade;
}

void deleted() { --live; }

}  // namespace gdiCount

memoryDc::memoryDc(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {
    if (dc_)
        gdiCount::made();
}

memoryDc::~memoryDc() {
    if (dc_ && DeleteDC(dc_))
        gdiCount::deleted();
}

screenDc::screenDc() : dc_(GetDC(nullptr)) {
    if (dc_)
        gdiCount::made();
}

screenDc::~screenDc() {
    if (dc_ && ReleaseDC(nullptr, dc_))
        gdiCount::deleted();
}

selection::selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {
    if (previous_ == HGDI_ERROR)
        previous_ = nullptr;
}

selection::~selection() {
    if (previous_)
        SelectObject(dc_, previous_);
}

}  // namespace vesk::zintaro
