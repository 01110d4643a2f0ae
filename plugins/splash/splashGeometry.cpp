#include "plugins/splash/splashGeometry.h"

namespace vesk::splash {

namespace {

constexpr DWORD styleKept = 0xDF39FFFF;
constexpr DWORD styleAdded = 0x82000000;  // WS_POPUP | WS_CLIPCHILDREN

}  // namespace

POINT splashOrigin(unsigned width, unsigned height) {
    return {static_cast<LONG>(width / 2) - 200, static_cast<LONG>(height / 2) - 146};
}

DWORD splashStyle(DWORD style) {
    return (style & styleKept) | styleAdded;
}

}  // namespace vesk::splash
