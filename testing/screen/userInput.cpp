#include "testing/screen/userInput.h"

namespace vesk::testing {

bool PostDrag(HWND window, POINT from, POINT to) {
    RECT place = {};
    if (!::GetWindowRect(window, &place))
        return false;
    POINT screen = {place.left + from.x, place.top + from.y};
    DWORD_PTR hit = HTCLIENT;
    if (!::SendMessageTimeoutA(window, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y), SMTO_ABORTIFHUNG, 5000,
                               &hit))
        return false;
    auto clientPoint = [window, &place](POINT at) {
        POINT p = {place.left + at.x, place.top + at.y};
        ::ScreenToClient(window, &p);
        return MAKELPARAM(p.x, p.y);
    };
    bool pressed = hit == HTCLIENT ? ::PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, clientPoint(from))
                                   : ::PostMessageA(window, WM_NCLBUTTONDOWN, hit, MAKELPARAM(screen.x, screen.y));
    if (!pressed)
        return false;
    const int steps = 8;
    for (int i = 1; i <= steps; ++i) {
        POINT at = {from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps};
        if (!::PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, clientPoint(at)))
            return false;
    }
    return ::PostMessageA(window, WM_LBUTTONUP, 0, clientPoint(to)) != 0;
}

}  // namespace vesk::testing
