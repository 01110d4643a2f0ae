#include "plugins/Dravik/dockContainer.h"

#include "plugins/Dravik/dock.h"
#include "plugins/Dravik/dockArea.h"
#include "plugins/Dravik/dockBand.h"
#include "plugins/Dravik/dockSides.h"
#include "plugins/Dravik/dockWnd.h"
#include "plugins/Dravik/paint.h"
#include "plugins/Dravik/skin.h"
#include "plugins/Dravik/wndProcs.h"

namespace vesk::ui {

namespace {

const char containerClass[] = "Pelloran:Dravik32:DockContainer:1";
constexpr DWORD containerStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr int pointerInset = 15;
constexpr int gripperDepth = 20;  // the leading strip that drags the window
constexpr int gripperRoom = 11;   // beyond the border on the leading edge

enum border { topEdge, bottomEdge, leftEdge, rightEdge };

}  // namespace

VDockContainer::VDockContainer() {
    registerInterfaceOf<IDockContainer>(this);
    registerInterfaceOf<IWnd>(this);
    registerInterfaceOf<Igeneric>(this);
}

HWND VDockContainer::Create(const char* name, IWnd* dockWindow, RECT* rect) {
    if (!dockWindow)
        return nullptr;
    dockWindow_ = dynamic_cast<VDockWnd*>(dockWindow);
    if (!Register(containerClass, CS_DBLCLKS | CS_CLASSDC, nullptr, nullptr, nullptr, ___DefWindowProc))
        return nullptr;
    return VWnd::Create(containerClass, dockWindow->GetHandle(), rect, name, containerStyle, 0, nullptr, nullptr);
}

void VDockContainer::SetBorders(int top, int bottom, int left, int right) {
    borders_[topEdge] = top;
    borders_[bottomEdge] = bottom;
    borders_[leftEdge] = left;
    borders_[rightEdge] = right;
}

int VDockContainer::SetDockRect(DWORD vertical, RECT* rect) {
    if (vertical > 1 || !rect)
        return 0;
    docked_[vertical] = *rect;
    return 1;
}

int VDockContainer::GetDockRect(DWORD vertical, RECT* out) {
    if (vertical > 1 || !out)
        return 0;
    if (::IsRectEmpty(&docked_[vertical]))
        docked_[vertical] = RECT{0, 0, 100, 100};
    *out = docked_[vertical];
    return 1;
}

int VDockContainer::SetRect(RECT* rect) {
    if (!rect)
        return 0;
    floating_ = placement_ = *rect;
    return 1;
}

int VDockContainer::IsDocked() { return dockWindow_ && dockWindow_->Area() ? 1 : 0; }
int VDockContainer::IsVertical() { return dockWindow_ ? dockWindow_->IsVertical() : 0; }
bool VDockContainer::InBand() const { return dockWindow_ && dockWindow_->Band(); }

bool VDockContainer::Dockable() const {
    VDock* dock = dockWindow_ ? dockWindow_->Dock() : nullptr;
    return !dock || dock->GetDockable();
}

LRESULT VDockContainer::OnSize(LONG_PTR, LONG_PTR) {
    if (autoSizeChild_) {
        RECT client;
        ::GetClientRect(hWnd_, &client);
        if (HWND child = ::GetWindow(hWnd_, GW_CHILD))
            ::MoveWindow(child, 0, 0, client.right, client.bottom, TRUE);
    }
    if (InBand()) {
        RECT own;
        ::GetWindowRect(hWnd_, &own);
        docked_[IsVerticalSide(dockWindow_->GetDockAreaPos()) ? 1 : 0] = own;
    }
    return -1;
}

LRESULT VDockContainer::OnUnDocking(LONG_PTR, LONG_PTR) {
    if (!dockWindow_)
        return -1;
    HWND dockWindow = dockWindow_->GetHandle();
    SetParent(dockWindow);
    RECT window;
    if (::GetWindowRect(dockWindow, &window))
        ::MoveWindow(dockWindow, window.left, window.top, Width(window), Height(window), TRUE);
    RECT client;
    ::GetClientRect(dockWindow, &client);
    // Floating, the container has no frame of its own any more.
    ::SetWindowPos(hWnd_, nullptr, 0, 0, client.right, client.bottom, SWP_FRAMECHANGED | SWP_NOZORDER);
    dockWindow_->OnSize(0, MAKELPARAM(client.right, client.bottom));
    return -1;
}

bool VDockContainer::OverCloseBox(POINT screen) const {
    RECT window;
    if (::IsRectEmpty(&closeBox_) || !::GetWindowRect(hWnd_, &window))
        return false;
    return Contains(closeBox_, POINT{screen.x - window.left, screen.y - window.top});
}

LRESULT VDockContainer::OnNcHitTest(LONG_PTR, LONG_PTR lParam) {
    POINT screen = PointOf(lParam);
    if (!InBand())
        return HTCLIENT;
    if (OverCloseBox(screen))
        return HTCLOSE;
    RECT window;
    ::GetWindowRect(hWnd_, &window);
    bool onGripper = IsVertical() ? screen.y - window.top < gripperDepth : screen.x - window.left < gripperDepth;
    return onGripper ? HTCAPTION : HTCLIENT;
}

LRESULT VDockContainer::OnNcLButtonDown(LONG_PTR wParam, LONG_PTR lParam) {
    ::SetForegroundWindow(::GetAncestor(hWnd_, GA_ROOT));
    if (!Dockable())
        return 1;
    // Both are answered here: the default processing would close or move
    // the container itself.
    if (wParam == HTCLOSE) {
        closePressed_ = true;
        DrawCloseBox(closeLook::pressed);
        ::SetCapture(hWnd_);
        return 0;
    }
    if (wParam == HTCAPTION && dockWindow_) {
        ::BringWindowToTop(hWnd_);
        POINT at = PointOf(lParam);
        dragPress_ = POINT{at.x - pointerInset, at.y - pointerInset};
        dragging_ = true;
        dockWindow_->BeginGripperDrag(dragPress_);
        ::SetCapture(hWnd_);
        return 0;
    }
    return -1;
}

LRESULT VDockContainer::OnMouseMove(LONG_PTR, LONG_PTR lParam) {
    POINT screen = PointOf(lParam);
    ::ClientToScreen(hWnd_, &screen);
    if (closePressed_) {
        DrawCloseBox(OverCloseBox(screen) ? closeLook::pressed : closeLook::normal);
        return 0;
    }
    if (dragging_ && dockWindow_) {
        ::SetCursor(::LoadCursorA(nullptr, IDC_SIZEALL));
        dockWindow_->DrawDragRect(screen.x - pointerInset, screen.y - pointerInset);
        return 0;
    }
    return -1;
}

LRESULT VDockContainer::OnNcMouseMove(LONG_PTR wParam, LONG_PTR) {
    if (wParam == HTCLOSE) {
        ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
        if (Skinned())
            DrawCloseBox(closeLook::hot);
        return -1;
    }
    if (!Dockable()) {
        ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
        return -1;
    }
    ::SetCursor(::LoadCursorA(nullptr, IDC_SIZEALL));
    if (closeDrawn_ != closeLook::normal)
        DrawCloseBox(closeLook::normal);
    return -1;
}

void VDockContainer::EndPress() {
    dragPress_ = POINT{-1, -1};
    dragging_ = false;
    closePressed_ = false;
}

LRESULT VDockContainer::OnNcLButtonUp(LONG_PTR, LONG_PTR) {
    ::ReleaseCapture();
    EndPress();
    return -1;
}

LRESULT VDockContainer::OnLButtonUp(LONG_PTR wParam, LONG_PTR lParam) {
    ::ReleaseCapture();
    POINT screen = PointOf(lParam);
    ::ClientToScreen(hWnd_, &screen);
    bool closing = closePressed_;
    bool onClose = closing && OverCloseBox(screen);
    EndPress();
    if (closing) {
        DrawCloseBox(closeLook::normal);
        if (onClose && dockWindow_)
            dockWindow_->Hide();
        return 0;
    }
    return dockWindow_ ? dockWindow_->OnLButtonUp(wParam, lParam) : -1;
}

LRESULT VDockContainer::OnNotify(LONG_PTR wParam, LONG_PTR lParam) {
    return dockWindow_ ? dockWindow_->OnNotify(wParam, lParam) : -1;
}

LRESULT VDockContainer::OnNcCalcSize(LONG_PTR wParam, LONG_PTR lParam) {
    if (!IsDocked())
        return -1;
    RECT& r = wParam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : *reinterpret_cast<RECT*>(lParam);
    bool vertical = IsVertical() != 0;
    int top, bottom, left, right;
    if (Dockable()) {
        top = borders_[topEdge];
        bottom = borders_[bottomEdge];
        left = borders_[leftEdge];
        right = borders_[rightEdge];
        (vertical ? top : left) += gripperRoom;
    } else {
        // No gripper: a fixed container keeps room on its leading edge.
        top = left = 4;
        right = bottom = 2;
        if (!resizable_)
            (vertical ? top : left) = 9;
    }
    r.top += top;
    r.left += left;
    r.right -= right;
    r.bottom -= bottom;
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return 0;
}

LRESULT VDockContainer::OnNcPaint(LONG_PTR, LONG_PTR) {
    if (!IsDocked())
        return -1;
    RECT client, window;
    ::GetClientRect(hWnd_, &client);
    if (!::GetWindowRect(hWnd_, &window))
        return 0;
    windowDC dc(hWnd_, DCX_WINDOW | DCX_CACHE);
    if (!dc)
        return 0;
    // The strips between the border, the gripper and the client area: the
    // class has no brush and the content may just have moved off them.
    RECT frame = {0, 0, Width(window), Height(window)};
    POINT clientOrigin = {0, 0};
    ::ClientToScreen(hWnd_, &clientOrigin);
    int saved = ::SaveDC(dc.get());
    ::ExcludeClipRect(dc.get(), clientOrigin.x - window.left, clientOrigin.y - window.top,
                      clientOrigin.x - window.left + client.right, clientOrigin.y - window.top + client.bottom);
    FillBackground(dc.get(), frame);
    ::RestoreDC(dc.get(), saved);
    if (client.right == 0)
        return 0;
    DrawBorder(dc.get(), &frame);
    if (Dockable())
        DrawGripper(dc.get(), &frame);
    return 0;
}

void VDockContainer::DrawCloseBox(closeLook look) {
    windowDC dc(hWnd_, DCX_WINDOW | DCX_CACHE);
    if (!dc || ::IsRectEmpty(&closeBox_))
        return;
    RECT window;
    ::GetWindowRect(hWnd_, &window);
    int part = look == closeLook::normal ? skinPart::closeNormal
               : look == closeLook::pressed ? skinPart::closePressed
                                            : skinPart::closeHot;
    if (!DrawSkinPart(hWnd_, dc.get(), closeBox_.left, closeBox_.top, Width(window), 10, part)) {
        RECT box = closeBox_;
        ::DrawFrameControl(dc.get(), &box, DFC_CAPTION,
                           DFCS_CAPTIONCLOSE | (look == closeLook::pressed ? DFCS_PUSHED : 0));
    }
    closeDrawn_ = look;
}

long VDockContainer::DrawGripper(HDC dc, const RECT* rect) {
    if (!dc || !rect)
        return 0;
    const RECT& r = *rect;
    bool skinned = Skinned();
    if (IsVertical()) {
        // Along the top: two raised strips, the close box at their end.
        int stripLeft = r.left + 4, stripRight = r.right - 4;
        if (resizable_) {
            closeBox_ = RECT{stripRight - 12, 2, stripRight, 14};
            stripRight -= 14;
        } else {
            ::SetRectEmpty(&closeBox_);
        }
        if (skinned) {
            DrawSkinPart(hWnd_, dc, stripLeft, 0, Width(r), 15, skinPart::gripperVertical);
        } else {
            for (int i = 0; i < 2; ++i) {
                RECT strip = {stripLeft, r.top + 4 + 4 * i, stripRight, r.top + 7 + 4 * i};
                ::DrawEdge(dc, &strip, BDR_RAISEDINNER, BF_RECT);
            }
        }
    } else {
        // Down the left edge, below the close box.
        int stripTop = r.top + 4, stripBottom = r.bottom - 4;
        if (resizable_) {
            closeBox_ = RECT{2, 4, 14, 16};
            stripTop += 14;
        } else {
            ::SetRectEmpty(&closeBox_);
        }
        if (skinned) {
            DrawSkinPart(hWnd_, dc, 0, stripTop, 15, Height(r), skinPart::gripperHorizontal);
        } else {
            for (int i = 0; i < 2; ++i) {
                RECT strip = {r.left + 4 + 4 * i, stripTop, r.left + 7 + 4 * i, stripBottom};
                ::DrawEdge(dc, &strip, BDR_RAISEDINNER, BF_RECT);
            }
        }
    }
    if (resizable_)
        DrawCloseBox(closePressed_ ? closeLook::pressed : closeLook::normal);
    return 1;
}

long VDockContainer::DrawBorder(HDC dc, const RECT* rect) {
    if (!dc || !rect || !dockWindow_ || (!dockWindow_->Area() && !dockWindow_->Band()))
        return 0;
    struct edge {
        bool drawn;
        COLORREF colour;
    };
    const libraryColours& c = LibraryColours();
    edge top{true, c.highlight}, left{true, c.highlight}, bottom{true, c.shadow}, right{true, c.shadow};
    const edge none{false, 0};

    VDockBand* band = dockWindow_->Band();
    auto* before = band ? dynamic_cast<VDockBand*>(band->GetBandPrevious()) : nullptr;
    auto* after = band ? dynamic_cast<VDockBand*>(band->GetBandNext()) : nullptr;
    bool ownResizable = band && band->IsResizable();
    bool ownVisible = band && band->IsBandVisible();
    bool windowBefore = dockWindow_->GetDockWndPrevious() != nullptr;
    bool windowAfter = dockWindow_->GetDockWndNext() != nullptr;
    bool fullRow = dockWindow_->GetDockFullRow() != 0;
    bool locked = !Dockable();
    auto inBandRule = [&] {
        if (ownVisible)
            right = edge{true, c.highlight};
        if (windowBefore)
            top = edge{true, c.darkShadow};
        bottom = windowAfter ? edge{true, c.highlight} : none;
    };

    switch (dockWindow_->GetDockAreaPos()) {
    case side::top:
        if (fullRow && !locked)
            left = right = none;
        if (!after)
            bottom = none;
        if (before && before->IsResizable())
            top.colour = c.darkShadow;
        if (ownResizable && ownVisible)
            bottom = edge{true, c.highlight};
        break;
    case side::right:
        if (!before && !ownResizable)
            left = none;
        if (ownResizable) {
            if (ownVisible)
                left = edge{true, c.darkShadow};
            inBandRule();
        }
        if (after && after->IsResizable())
            right = edge{true, c.highlight};
        if (!after)
            right = none;
        break;
    case side::bottom:
        if (fullRow)
            left = right = none;
        if (after && after->IsResizable())
            bottom.colour = c.highlight;
        if (ownResizable) {
            top.colour = c.darkShadow;
            right = windowAfter ? edge{true, c.highlight} : none;
            left = windowBefore ? edge{true, c.darkShadow} : none;
        }
        break;
    case side::left:
        if (!before)
            left = none;
        if (ownResizable)
            inBandRule();
        if (before && before->IsResizable())
            left = edge{true, c.darkShadow};
        break;
    default:
        break;
    }

    const RECT& r = *rect;
    int w = Width(r), h = Height(r);
    if (!DrawSkinPart(hWnd_, dc, 0, 0, 10, h, skinPart::band)) {
        if (top.drawn)
            HorizontalLine(dc, r.left, r.right, r.top, top.colour);
        if (bottom.drawn)
            HorizontalLine(dc, r.left, r.right, r.bottom - 1, bottom.colour);
        if (left.drawn)
            VerticalLine(dc, r.left, r.top, r.bottom, left.colour);
        if (right.drawn)
            VerticalLine(dc, r.right - 1, r.top, r.bottom, right.colour);
    }
    if (locked && !resizable_ && !windowAfter) {
        // A separator at the far end of a fixed window that ends the band.
        if (IsVertical()) {
            HorizontalLine(dc, r.left, r.right, r.top + h - 2, c.shadow);
            HorizontalLine(dc, r.left, r.right, r.top + h - 1, c.highlight);
        } else {
            VerticalLine(dc, r.left + w - 2, r.top, r.bottom, c.shadow);
            VerticalLine(dc, r.left + w - 1, r.top, r.bottom, c.highlight);
        }
    }
    return 1;
}

}  // namespace vesk::ui
