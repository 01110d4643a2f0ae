// The frame's non-client area while the current skin draws it: borders,
// caption boxes and their hit tests, by the skin's values.
#include "plugins/Dravik/frameWnd.h"
#include "plugins/Dravik/paint.h"
#include "plugins/Dravik/skin.h"

#include <utility>

namespace vesk::ui {

namespace {

struct captionBox {
    unsigned sizeId, xId, yId;
    LRESULT hit;
};

// In the order hit tests try them.
const captionBox closeBox = {skinValue::closeBoxSize, skinValue::closeBoxX, skinValue::closeBoxY, HTCLOSE};
const captionBox maximizeBox = {skinValue::maximizeBoxSize, skinValue::maximizeBoxX, skinValue::maximizeBoxY,
                                HTMAXBUTTON};
const captionBox minimizeBox = {skinValue::minimizeBoxSize, skinValue::minimizeBoxX, skinValue::minimizeBoxY,
                                HTMINBUTTON};
const captionBox systemBox = {skinValue::systemBoxSize, skinValue::systemBoxX, skinValue::systemBoxY, HTSYSMENU};
const captionBox* const hitOrder[] = {&closeBox, &maximizeBox, &minimizeBox, &systemBox};

// The box relative to the window's top-left corner; a negative x offset
// counts from the right edge.
RECT boxRect(const captionBox& box, int windowWidth) {
    const skinData& skin = CurrentSkin();
    SIZE size = skin.Size(box.sizeId);
    int x = skin.Number(box.xId);
    if (x < 0)
        x += windowWidth;
    int y = skin.Number(box.yId);
    return RECT{x, y, x + size.cx, y + size.cy};
}

}  // namespace

LRESULT VFrameWnd::OnNcCalcSize(LONG_PTR wParam, LONG_PTR lParam) {
    if (!Skinned())
        return -1;
    if (wParam) {
        const skinData& skin = CurrentSkin();
        RECT& client = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0];
        client.top += skin.Number(skinValue::borderTop);
        client.left += skin.Number(skinValue::borderLeft);
        client.right -= skin.Number(skinValue::borderRight);
        client.bottom -= skin.Number(skinValue::borderBottom);
    }
    return 0;
}

LRESULT VFrameWnd::OnNcPaint(LONG_PTR, LONG_PTR) {
    if (!Skinned())
        return -1;
    RECT window;
    ::GetWindowRect(hWnd_, &window);
    windowDC dc(hWnd_, DCX_WINDOW | DCX_CACHE);
    if (!dc)
        return 0;
    int width = Width(window);
    DrawSkinPart(hWnd_, dc.get(), 0, 0, width, Height(window), skinPart::frame);
    for (auto [box, part] : {std::pair{&closeBox, skinPart::closeBox}, std::pair{&maximizeBox, skinPart::maximizeBox}}) {
        RECT r = boxRect(*box, width);
        DrawSkinPart(hWnd_, dc.get(), r.left, r.top, Width(r), Height(r), part);
    }
    return 0;
}

LRESULT VFrameWnd::OnNcActivate(LONG_PTR, LONG_PTR) {
    // Unskinned, the platform paints the caption's active state itself.
    if (!Skinned())
        return -1;
    ::PostMessageA(hWnd_, WM_NCPAINT, 1, 0);
    return 1;
}

LRESULT VFrameWnd::OnNcHitTest(LONG_PTR, LONG_PTR lParam) {
    if (!Skinned())
        return -1;
    RECT window;
    ::GetWindowRect(hWnd_, &window);
    POINT screen = PointOf(lParam);
    POINT at = {screen.x - window.left, screen.y - window.top};
    int width = Width(window);
    for (const captionBox* box : hitOrder)
        if (Contains(boxRect(*box, width), at))
            return box->hit;
    const skinData& skin = CurrentSkin();
    RECT caption = {skin.Number(skinValue::borderLeft), 5, width, skin.Number(skinValue::borderTop)};
    return Contains(caption, at) ? HTCAPTION : -1;
}

LRESULT VFrameWnd::OnNcLButtonDown(LONG_PTR wParam, LONG_PTR) {
    if (!Skinned())
        return -1;
    // A box acted on here is done: the default processing would act on the
    // same click again (a second close).
    if (wParam == HTSYSMENU) {
        RECT window;
        ::GetWindowRect(hWnd_, &window);
        RECT box = boxRect(systemBox, Width(window));
        ::TrackPopupMenu(::GetSystemMenu(hWnd_, FALSE), TPM_LEFTBUTTON, window.left + box.left,
                         window.top + CurrentSkin().Number(skinValue::borderTop), 0, hWnd_, nullptr);
        return 0;
    }
    if (wParam == HTCLOSE) {
        ::SendMessageA(hWnd_, WM_CLOSE, 0, 0);
        return 0;
    }
    return -1;
}

}  // namespace vesk::ui
