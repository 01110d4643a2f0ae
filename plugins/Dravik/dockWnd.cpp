#include "plugins/Dravik/dockWnd.h"

#include <cstdlib>

#include "plugins/Dravik/dock.h"
#include "plugins/Dravik/dockArea.h"
#include "plugins/Dravik/dockBand.h"
#include "plugins/Dravik/dockContainer.h"
#include "plugins/Dravik/dockSides.h"
#include "plugins/Dravik/paint.h"
#include "plugins/Dravik/skin.h"
#include "plugins/Dravik/wndProcs.h"

namespace vesk::ui {

namespace {

const char dockWindowClass[] = "Pelloran:Dravik32:DockWindow:1";
constexpr DWORD dockWindowStyle = 0x84CC1200;  // popup, caption, system menu, sizing border
constexpr DWORD dockWindowExStyle = WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE;
// The dragged rectangle's corner is this far up and left of the pointer.
constexpr int pointerInset = 15;
constexpr int ghostThickness = 2;

}  // namespace

VDockWnd::VDockWnd()
    : container_(new capsule<VDockContainer>()),
      dragStart_{::GetSystemMetrics(SM_CXDRAG), ::GetSystemMetrics(SM_CYDRAG)} {
    static_cast<IDockContainer*>(container_)->addRef();
    registerInterfaceOf<IDockWnd>(this);
    registerInterfaceOf<IWnd>(this);
    registerInterfaceOf<IWndEvents>(this);
    registerInterfaceOf<Igeneric>(this);
}

VDockWnd::~VDockWnd() {
    RemoveGhost();
    if (band_)
        band_->RemoveWindow(this);
    static_cast<IDockContainer*>(container_)->release();
}

void VDockWnd::ForgetDocking() {
    RemoveGhost();
    dock_ = nullptr;
    area_ = nullptr;
    band_ = nullptr;
    dropTarget_ = nullptr;
}

HWND VDockWnd::Create(const char* name, IWnd* dock, RECT* rect) {
    if (!dock)
        return nullptr;
    if (!Register(dockWindowClass, CS_DBLCLKS | CS_CLASSDC, nullptr, nullptr,
                  reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(2)), ___DefWindowProc))
        return nullptr;
    HWND made = VWnd::Create(dockWindowClass, dock->GetHandle(), rect, name, dockWindowStyle, dockWindowExStyle,
                             nullptr, nullptr);
    if (!made)
        return nullptr;
    dock_ = dynamic_cast<VDock*>(dock);
    RECT client;
    ::GetClientRect(made, &client);
    container_->Create(name, this, &client);
    return made;
}

IDockContainer* VDockWnd::GetContainer() { return container_; }
IDockArea* VDockWnd::GetDockedToDockArea() { return area_; }
IDockBand* VDockWnd::GetDockedToBand() { return band_; }

void VDockWnd::SetLastDragRect(RECT* rect) {
    if (rect)
        lastDrag_ = *rect;
}

int VDockWnd::SetDockedToBand(IDockBand* band) {
    band_ = dynamic_cast<VDockBand*>(band);
    return band ? 1 : 0;
}

void VDockWnd::DrawGhostRect(HDC dc, RECT* rect) {
    if (dc && rect)
        InvertFrame(dc, *rect, ghostThickness);
}

// The same drawing again: the inverted frame inverts back.
void VDockWnd::CleanGhostRect(HDC dc, RECT* rect) { DrawGhostRect(dc, rect); }

void VDockWnd::RemoveGhost() {
    if (!ghostShown_)
        return;
    windowDC screen(nullptr);
    CleanGhostRect(screen.get(), &drawn_);
    ghostShown_ = false;
}

int VDockWnd::DrawDragRect(int x, int y) {
    RemoveGhost();
    RECT out;
    GetDragRect(&out, POINT{x, y});
    windowDC screen(nullptr);
    if (screen) {
        drawn_ = ghost_;
        DrawGhostRect(screen.get(), &drawn_);
        ghostShown_ = true;
    }
    return 1;
}

int VDockWnd::EraseDragRect() {
    RemoveGhost();
    return 1;
}

long VDockWnd::GetDragRect(RECT* out, POINT point) {
    dropTarget_ = nullptr;
    bool resizable = container_->IsResizable() != 0;
    RECT containerRect = {0, 0, 0, 0};
    ::GetWindowRect(container_->GetHandle(), &containerRect);
    int x = point.x, y = point.y;
    RECT candidate = resizable ? RECT{x, y, x + 100, y + 100}
                               : RECT{x, y, x + Width(containerRect), y + Height(containerRect)};
    struct tried {
        int side;
        int allowed;
    } order[] = {{side::left, dockVertical_}, {side::right, dockVertical_}, {side::top, dockHorizontal_},
                 {side::bottom, dockHorizontal_}};
    for (const tried& t : order) {
        VDockArea* area = dock_ ? dock_->Area(t.side) : nullptr;
        if (!t.allowed || !area)
            continue;
        RECT probe;
        if (!resizable)
            probe = t.side == side::top ? RECT{x, y, x + 1, y + 10} : RECT{x, y, x + 10, y + 10};
        else if (t.side == side::top)
            probe = RECT{x - 1, y + 3, x + 1, y + 20};
        else if (t.side == side::bottom)
            probe = RECT{x - 1, y - 1, x + 1, y + 100};
        else
            probe = RECT{x - 10, y - 10, x + 100, y + 10};
        if (!area->IsRectWindowOver(&probe))
            continue;
        dropTarget_ = area;
        lastDrag_ = candidate;
        if (out)
            *out = candidate;
        ghost_ = candidate;
        if (resizable) {
            // As deep as the area across it, the candidate's extent along it.
            ::GetWindowRect(area->GetHandle(), &ghost_);
            if (IsVerticalSide(t.side)) {
                ghost_.left = candidate.left;
                ghost_.right = candidate.right;
            } else {
                ghost_.top = candidate.top;
                ghost_.bottom = candidate.bottom;
            }
        }
        return 1;
    }
    RECT own = {0, 0, 0, 0};
    ::GetWindowRect(hWnd_, &own);
    ::OffsetRect(&own, x - own.left, y - own.top);
    ghost_ = lastDrag_ = own;
    if (out)
        *out = own;
    return 0;
}

void VDockWnd::SetRect(const RECT* rect) {
    if (rect)
        placement_ = *rect;
}

long VDockWnd::GetRect(int sideId, RECT* out) {
    if (!out)
        return 0;
    if (sideId >= side::top && sideId <= side::left)
        ::GetWindowRect(GetContainerHandle(), out);
    else
        ::GetWindowRect(hWnd_, out);
    return 1;
}

void VDockWnd::SetDockRect(RECT* rect) {
    if (!rect)
        return;
    placement_ = lastDrag_ = *rect;
    MoveWindow(rect, TRUE);
    container_->SetFloatingRect(*rect);
}

void VDockWnd::GetDockRect(RECT* out) {
    if (out)
        *out = container_->PlacementRect();
}

int VDockWnd::GetDockAreaPos() { return area_ ? area_->Side() : 0; }

int VDockWnd::GetDockBandPos() { return area_ && band_ ? area_->GetBandPos(band_) : -1; }

int VDockWnd::IsVertical() { return area_ ? area_->IsVertical() : 0; }

HWND VDockWnd::GetContainerHandle() { return container_ ? container_->GetHandle() : nullptr; }

void VDockWnd::LayOutFrame() {
    if (area_)
        area_->LayOutFrame();
}

void VDockWnd::Hide() {
    visible_ = 0;
    ::ShowWindow(hWnd_, SW_HIDE);
    ::ShowWindow(GetContainerHandle(), SW_HIDE);
    LayOutFrame();
}

void VDockWnd::Show() {
    visible_ = 1;
    ::ShowWindow(GetContainerHandle(), SW_SHOW);
    if (area_)
        LayOutFrame();
    else
        ::ShowWindow(hWnd_, SW_SHOW);
}

IDockWnd* VDockWnd::GetDockWndNext() {
    for (IDockWnd* next = band_ ? band_->GetDockWindowOffset(this, 1) : nullptr; next;
         next = band_->GetDockWindowOffset(next, 1))
        if (::IsWindowVisible(next->GetContainerHandle()))
            return next;
    return nullptr;
}

IDockWnd* VDockWnd::GetDockWndPrevious() {
    for (IDockWnd* previous = band_ ? band_->GetDockWindowOffset(this, -1) : nullptr; previous;
         previous = band_->GetDockWindowOffset(previous, -1))
        if (::IsWindowVisible(previous->GetContainerHandle()))
            return previous;
    return nullptr;
}

void VDockWnd::BeginGripperDrag(POINT start) {
    RemoveGhost();
    press_ = start;
    dragging_ = true;
    DrawDragRect(start.x, start.y);
}

void VDockWnd::EndPress() {
    press_ = POINT{-1, -1};
    dragging_ = false;
    dropTarget_ = nullptr;
}

LRESULT VDockWnd::OnClose(LONG_PTR, LONG_PTR) {
    // Never destroyed by closing: the window comes back with Show.
    if (closable_)
        Hide();
    return 1;
}

LRESULT VDockWnd::OnNcLButtonDown(LONG_PTR wParam, LONG_PTR lParam) {
    ::SetForegroundWindow(hWnd_);
    if (wParam != HTCAPTION)
        return -1;
    ::BringWindowToTop(hWnd_);
    press_ = PointOf(lParam);
    RECT window;
    ::GetWindowRect(hWnd_, &window);
    pressOffset_ = POINT{press_.x - window.left, press_.y - window.top};
    RemoveGhost();
    ::SetRectEmpty(&ghost_);
    ::SetCapture(hWnd_);
    // The library moves the window itself: no move loop of the platform.
    return 0;
}

LRESULT VDockWnd::OnMouseMove(LONG_PTR, LONG_PTR lParam) {
    if (press_.x == -1 && press_.y == -1)
        return -1;
    POINT pointer = PointOf(lParam);
    ::ClientToScreen(hWnd_, &pointer);
    if (!dragging_ &&
        (std::abs(pointer.x - press_.x) > dragStart_.cx || std::abs(pointer.y - press_.y) > dragStart_.cy))
        dragging_ = true;
    if (dragging_)
        DrawDragRect(pointer.x - pointerInset, pointer.y - pointerInset);
    return 0;
}

LRESULT VDockWnd::OnLButtonUp(LONG_PTR, LONG_PTR) {
    ::ReleaseCapture();
    if (press_.x == -1 && press_.y == -1)
        return -1;
    RemoveGhost();
    // A click without a drag leaves the window where it is.
    if (dragging_) {
        if (IDockArea* target = dropTarget_) {
            target->Dock(this);
        } else {
            if (area_)
                area_->UnDock(this);
            MoveWindow(&lastDrag_, TRUE);
        }
    }
    EndPress();
    return 0;
}

LRESULT VDockWnd::OnSize(LONG_PTR, LONG_PTR lParam) {
    // Only the floating window holds its container; a docked container
    // belongs to its band.
    HWND container = GetContainerHandle();
    if (container && ::GetParent(container) == hWnd_)
        ::MoveWindow(container, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
    return -1;
}

LRESULT VDockWnd::OnUnDocking(LONG_PTR area, LONG_PTR band) {
    area_ = nullptr;
    container_->OnUnDocking(area, band);
    if (!dropTarget_ && visible_)
        ::ShowWindow(hWnd_, SW_SHOW);
    return -1;
}

LRESULT VDockWnd::OnDocking(LONG_PTR area, LONG_PTR band) {
    ::ShowWindow(hWnd_, SW_HIDE);
    HWND container = GetContainerHandle();
    if (!visible_)
        ::ShowWindow(container, SW_HIDE);
    area_ = dynamic_cast<VDockArea*>(reinterpret_cast<IDockArea*>(area));
    band_ = dynamic_cast<VDockBand*>(reinterpret_cast<IDockBand*>(band));
    if (!area_)
        return -1;
    container_->SetParent(area_->GetHandle());
    RECT docked;
    container_->GetDockRect(area_->IsVertical(), &docked);
    ::MoveWindow(container, docked.left, docked.top, Width(docked), Height(docked), FALSE);
    // The band places it; the frame changes with the docked state.
    ::SetWindowPos(container, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOSIZE);
    if (dock_ && dock_->GetDockResizePercentEven() && band_) {
        RECT bandRect = band_->BandRect();
        band_->ResizePercent(&bandRect, nullptr, 0, 0);
    }
    return -1;
}

LRESULT VDockWnd::OnNcCalcSize(LONG_PTR wParam, LONG_PTR lParam) {
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

LRESULT VDockWnd::OnNcPaint(LONG_PTR, LONG_PTR) {
    if (!Skinned())
        return -1;
    RECT window;
    ::GetWindowRect(hWnd_, &window);
    windowDC dc(hWnd_, DCX_WINDOW | DCX_CACHE);
    if (!dc)
        return -1;
    return DrawSkinPart(hWnd_, dc.get(), 0, 0, Width(window), Height(window), skinPart::frame) ? 0 : -1;
}

}  // namespace vesk::ui
