#include "plugins/Dravik/dockBand.h"

#include <algorithm>
#include <cmath>

#include "plugins/Dravik/dock.h"
#include "plugins/Dravik/dockArea.h"
#include "plugins/Dravik/dockContainer.h"
#include "plugins/Dravik/dockSides.h"
#include "plugins/Dravik/dockWnd.h"
#include "plugins/Dravik/paint.h"
#include "plugins/Dravik/skin.h"

namespace vesk::ui {

namespace {

constexpr int sizerWidth = 4;
constexpr int ghostLine = 3;

// Coordinates along the band (x in a horizontal area, y in a vertical one)
// and across it.
int alongStart(const RECT& r, bool horizontal) { return horizontal ? r.left : r.top; }
int alongEnd(const RECT& r, bool horizontal) { return horizontal ? r.right : r.bottom; }
int along(POINT p, bool horizontal) { return horizontal ? p.x : p.y; }
int across(POINT p, bool horizontal) { return horizontal ? p.y : p.x; }
void setAlong(RECT& r, bool horizontal, int start, int end) {
    if (horizontal) {
        r.left = start;
        r.right = end;
    } else {
        r.top = start;
        r.bottom = end;
    }
}

void moveContainer(HWND container, const RECT& r, UINT flags) {
    ::SetWindowPos(container, nullptr, r.left, r.top, Width(r), Height(r), flags);
}

HCURSOR sharedCursor(LPCSTR id) { return ::LoadCursorA(nullptr, id); }

}  // namespace

VDockBand::VDockBand() {
    registerInterfaceOf<IDockBand>(this);
    registerInterfaceOf<IWnd>(this);
    registerInterfaceOf<Igeneric>(this);
}

VDockBand::~VDockBand() {
    HideGhost();
    // The band has no window of its own: the handle is its area's.
    hWnd_ = nullptr;
}

int VDockBand::Create(IDockArea* area) {
    area_ = dynamic_cast<VDockArea*>(area);
    hWnd_ = area_ ? area_->GetHandle() : nullptr;
    return 1;
}

int VDockBand::Side() const { return area_ ? area_->Side() : 0; }
bool VDockBand::Horizontal() const { return !IsVerticalSide(Side()); }

bool VDockBand::Dockable() const {
    VDock* dock = area_ ? area_->DockObject() : nullptr;
    return !dock || dock->GetDockable();
}

std::vector<VDockWnd*> VDockBand::VisibleWindows() const {
    std::vector<VDockWnd*> shown;
    for (VDockWnd* window : windows_)
        if (window->GetVisible())
            shown.push_back(window);
    return shown;
}

int VDockBand::IsResizable() {
    for (VDockWnd* window : windows_)
        if (window->Container()->IsResizable())
            return 1;
    return 0;
}

int VDockBand::IsFull() {
    for (VDockWnd* window : windows_)
        if (window->GetDockFullRow())
            return 1;
    return 0;
}

int VDockBand::IsBandVisible() { return VisibleWindows().empty() ? 0 : 1; }

RECT VDockBand::SizerStrip(const RECT& b) const {
    switch (Side()) {
    case side::top:
        return RECT{b.left, b.bottom - sizerWidth, b.right, b.bottom};
    case side::right:
        return RECT{b.left, b.top, b.left + sizerWidth, b.bottom};
    case side::bottom:
        return RECT{b.left, b.top, b.right, b.top + sizerWidth};
    case side::left:
        return RECT{b.right - sizerWidth, b.top, b.right, b.bottom};
    default:
        return RECT{0, 0, 0, 0};
    }
}

int VDockBand::GetSizerRect(RECT* out) {
    if (!out)
        return 0;
    if (!IsResizable()) {
        ::SetRectEmpty(out);
        return 0;
    }
    *out = SizerStrip(rect_);
    return 1;
}

int VDockBand::GetWindowRect(RECT* out) {
    if (!out)
        return 0;
    *out = rect_;
    return ::IsRectEmpty(&rect_) ? 0 : 1;
}

int VDockBand::AddWindow(IDockWnd* dockWindow) {
    auto* window = dynamic_cast<VDockWnd*>(dockWindow);
    if (!window)
        return 0;
    window->SetDockedToBand(this);
    bool horizontal = Horizontal();
    int start = alongStart(window->PlacementRect(), horizontal);
    auto at = std::find_if(windows_.begin(), windows_.end(), [&](VDockWnd* other) {
        return alongStart(other->PlacementRect(), horizontal) > start;
    });
    windows_.insert(at, window);
    return 1;
}

long VDockBand::RemoveWindow(IDockWnd* dockWindow) {
    auto* window = dynamic_cast<VDockWnd*>(dockWindow);
    windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
    if (window)
        window->SetDockedToBand(nullptr);
    if (gapBefore_ == window || gapAfter_ == window)
        ResetDrag();
    return static_cast<long>(windows_.size());
}

long VDockBand::GetWidth() {
    int largest = 0;
    bool any = false;
    for (VDockWnd* window : VisibleWindows()) {
        RECT r;
        window->GetRect(Side(), &r);
        largest = std::max(largest, static_cast<int>(Width(r)));
        any = true;
    }
    if (!any)
        return 0;
    return std::max(0, largest + (IsResizable() ? 5 : 1) + widthAdjust_);
}

long VDockBand::GetHeight() {
    int largest = 0;
    bool any = false;
    for (VDockWnd* window : VisibleWindows()) {
        RECT r;
        window->GetRect(Side(), &r);
        largest = std::max(largest, static_cast<int>(Height(r)));
        any = true;
    }
    if (!any)
        return 0;
    if (IsResizable())
        return std::max(7, largest + 6 + heightAdjust_);
    return std::max(0, largest + heightAdjust_);
}

void VDockBand::ChangeThickness(int change, int& adjustment) {
    // The layout in between stores the new sizes in the containers, so the
    // change stays once the adjustment is gone.
    adjustment = change;
    VDock* dock = area_ ? area_->DockObject() : nullptr;
    IFrameWnd* frame = dock ? dock->Frame() : nullptr;
    IWnd* frameWindow = interfaceCast<IWnd>(frame);
    RECT client;
    if (frame && frameWindow && ::GetClientRect(frameWindow->GetHandle(), &client)) {
        frame->Resize(&client, nullptr, client.right, client.bottom);
        frame->Resize(&client, nullptr, client.right, client.bottom);
    }
    adjustment = 0;
}

int VDockBand::SetWidth(int change) {
    long now = GetWidth();
    if (now + change < 5)
        change = 5 - static_cast<int>(now);
    ChangeThickness(change, widthAdjust_);
    return 1;
}

int VDockBand::SetHeight(int change) {
    ChangeThickness(change, heightAdjust_);
    return 1;
}

// The band's rectangle across the band, each side inset as its containers
// need: by `inset` on the edge facing the frame's centre, by the side
// margins elsewhere.
RECT VDockBand::AcrossRange(const RECT& b, int inset) const {
    switch (Side()) {
    case side::top:
        return RECT{b.left, b.top, b.right, b.bottom - inset};
    case side::bottom:
        return RECT{b.left, b.top + inset, b.right, b.bottom};
    case side::right:
        return RECT{b.left + 4, b.top, b.right - 1, b.bottom};
    case side::left:
        return RECT{b.left + 1, b.top, b.right - 4, b.bottom};
    default:
        return b;
    }
}

void VDockBand::PercentPass(const RECT& band, const std::vector<VDockWnd*>& shown) {
    bool horizontal = Horizontal();
    int start = alongStart(band, horizontal), end = alongEnd(band, horizontal);
    int length = end - start;
    int gap = horizontal ? 4 : 6;
    int minimum = Dockable() ? 16 : 2;
    RECT acrossRange = AcrossRange(band, 6);
    int position = start;
    for (size_t i = 0; i < shown.size(); ++i) {
        // Percent sizes come from stored settings: a share is kept within
        // the band, and windows whose shares sum over 1 stay inside it.
        double share = static_cast<double>(length) * shown[i]->GetDockPercentSize();
        int size = std::isfinite(share) ? static_cast<int>(std::clamp(share, 0.0, static_cast<double>(length))) : 0;
        if (!horizontal) {
            if (Side() == side::left)
                size = std::max(size, 16);
            size = std::max(size, minimum);
        }
        int from = std::min(position, end);
        int to = i + 1 == shown.size() ? end : std::clamp(position + size, from, end);
        RECT placement = acrossRange;
        setAlong(placement, horizontal, from, to);
        shown[i]->Container()->SetPlacementRect(placement);
        position = to + gap;
    }
}

void VDockBand::EvenPass(const RECT& band, const std::vector<VDockWnd*>& shown) {
    bool horizontal = Horizontal();
    int start = alongStart(band, horizontal), end = alongEnd(band, horizontal);
    int length = end - start;
    if (length <= 0 || shown.empty())
        return;
    int share = length / static_cast<int>(shown.size());
    int gap = horizontal ? 4 : 6;
    RECT acrossRange = AcrossRange(band, 4);
    int position = start;
    for (VDockWnd* window : shown) {
        int to = position + (shown.size() < 2 ? share : share - 4);
        RECT placement = acrossRange;
        setAlong(placement, horizontal, position, to);
        window->Container()->SetPlacementRect(placement);
        window->SetDockPercentsize(static_cast<float>(to - position) / static_cast<float>(length));
        position = to + gap;
    }
}

void VDockBand::PlaceWindows(const RECT& band, const std::vector<VDockWnd*>& shown, bool even) {
    bool horizontal = Horizontal();
    int end = alongEnd(band, horizontal);
    int previousEnd = alongStart(band, horizontal);
    for (VDockWnd* window : shown) {
        VDockContainer* container = window->Container();
        if (container->IsResizable()) {
            RECT placement = container->PlacementRect();
            moveContainer(container->GetHandle(), placement, even ? 0 : SWP_DEFERERASE);
            previousEnd = alongEnd(placement, horizontal);
            continue;
        }
        RECT docked;
        window->GetRect(Side(), &docked);
        int size = horizontal ? Width(docked) : Height(docked);
        int from = alongStart(window->PlacementRect(), horizontal);
        if (!even && from + size > end && from > previousEnd)
            from = end - size;
        if (from < previousEnd)
            from = previousEnd;
        RECT placed = horizontal ? RECT{from, band.top, from + size, band.top + Height(docked)}
                                 : RECT{band.left, from, band.right, from + size};
        if (!even) {
            window->SetRect(&placed);
            container->SetDockRect(horizontal ? 0 : 1, &placed);
        }
        if (window->GetDockFullRow())
            setAlong(placed, horizontal, alongStart(band, horizontal), end);
        moveContainer(container->GetHandle(), placed, 0);
        container->SetPlacementRect(placed);
        previousEnd = alongEnd(placed, horizontal);
    }
}

int VDockBand::Resize(RECT* band, HDWP, int, int) {
    if (!band)
        return 0;
    std::vector<VDockWnd*> shown = VisibleWindows();
    if (IsResizable() && !shown.empty())
        PercentPass(*band, shown);
    PlaceWindows(*band, shown, false);
    rect_ = *band;
    widthAdjust_ = heightAdjust_ = 0;
    return 0;
}

int VDockBand::ResizePercent(RECT* band, HDWP, int, int) {
    if (!band)
        return 0;
    std::vector<VDockWnd*> shown = VisibleWindows();
    if (IsResizable() && !shown.empty())
        EvenPass(*band, shown);
    PlaceWindows(*band, shown, true);
    rect_ = *band;
    widthAdjust_ = heightAdjust_ = 0;
    return 0;
}

IDockBand* VDockBand::GetBandPrevious() {
    if (!area_)
        return nullptr;
    for (IDockBand* band = area_->GetBandOffset(this, -1); band; band = area_->GetBandOffset(band, -1))
        if (dynamic_cast<VDockBand*>(band)->IsBandVisible())
            return band;
    return nullptr;
}

IDockBand* VDockBand::GetBandNext() {
    if (!area_)
        return nullptr;
    for (IDockBand* band = area_->GetBandOffset(this, 1); band; band = area_->GetBandOffset(band, 1))
        if (dynamic_cast<VDockBand*>(band)->IsBandVisible())
            return band;
    return nullptr;
}

IDockWnd* VDockBand::GetDockWindowOffset(IDockWnd* dockWindow, int direction) {
    auto* window = dynamic_cast<VDockWnd*>(dockWindow);
    auto at = std::find(windows_.begin(), windows_.end(), window);
    if (!window || at == windows_.end())
        return nullptr;
    if (direction == -1)
        return at == windows_.begin() ? nullptr : *(at - 1);
    return at + 1 == windows_.end() ? nullptr : *(at + 1);
}

int VDockBand::LeastLength() {
    bool horizontal = Horizontal();
    bool resizableBand = IsResizable() != 0;
    int least = 0, count = 0;
    for (VDockWnd* window : VisibleWindows()) {
        if (window->Container()->IsResizable()) {
            least += leastWindowLength;
        } else {
            RECT docked;
            window->GetRect(Side(), &docked);
            least += horizontal ? Width(docked) : Height(docked);
        }
        ++count;
    }
    if (resizableBand && count > 1)
        least += (count - 1) * (horizontal ? 4 : 6);
    return least;
}

int VDockBand::DrawSizerRect(HDC dc, RECT* rect) {
    if (dc && rect)
        NestedFocusFrames(dc, *rect);
    return 1;
}

LRESULT VDockBand::OnPaint(LONG_PTR, LONG_PTR) {
    HWND areaWindow = area_ ? area_->GetHandle() : nullptr;
    if (!areaWindow)
        return -1;
    windowDC dc(areaWindow, DCX_CACHE | DCX_CLIPCHILDREN);
    if (!dc)
        return -1;
    const RECT& b = rect_;
    if (DrawSkinPart(areaWindow, dc.get(), b.left, b.top, Width(b), Height(b), skinPart::band))
        return 0;
    const libraryColours& c = LibraryColours();
    int h = Height(b);
    if (IsResizable()) {
        switch (Side()) {
        case side::top:
            HorizontalLine(dc.get(), b.left, b.right, b.bottom, c.darkShadow);
            break;
        case side::right:
            VerticalLine(dc.get(), b.left - 1, b.top, b.bottom, c.highlight);
            VerticalLine(dc.get(), b.left + 4, b.top + 1, b.top + h - 4, c.darkShadow);
            VerticalLine(dc.get(), b.left + 3, b.top + 1, b.top + h, c.shadow);
            break;
        case side::bottom:
            HorizontalLine(dc.get(), b.left, b.right, b.top - 1, c.highlight);
            HorizontalLine(dc.get(), b.left, b.right, b.top + 5, c.shadow);
            break;
        case side::left:
            VerticalLine(dc.get(), b.right, b.top, b.bottom, c.darkShadow);
            VerticalLine(dc.get(), b.right - 5, b.top + 1, b.top + h - 4, c.highlight);
            VerticalLine(dc.get(), b.right - 1, b.top + 1, b.top + h, c.shadow);
            break;
        default:
            break;
        }
    }
    if (!Dockable()) {
        HorizontalLine(dc.get(), b.left, b.right, b.top + 1, c.highlight);
        HorizontalLine(dc.get(), b.left, b.right, b.bottom - 1, c.shadow);
    }
    return -1;
}

RECT VDockBand::ClientRectOf(VDockWnd* window) {
    RECT r;
    window->GetRect(Side(), &r);
    if (area_)
        ::MapWindowPoints(nullptr, area_->GetHandle(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool VDockBand::InSizerZone(POINT at, const RECT& window) const {
    const RECT& b = rect_;
    switch (Side()) {
    case side::top:
        return at.y >= b.bottom - sizerWidth && at.y < b.bottom;
    case side::bottom:
        return at.y >= b.top && at.y < b.top + sizerWidth;
    case side::right:
        return at.x >= b.left && at.x < b.left + sizerWidth;
    case side::left:
        return at.x >= window.right - sizerWidth;
    default:
        return false;
    }
}

void VDockBand::ShowGhost(const RECT& screen) {
    HideGhost();
    windowDC dc(nullptr);
    if (!dc)
        return;
    ghost_ = screen;
    DrawSizerRect(dc.get(), &ghost_);
    ghostShown_ = true;
}

void VDockBand::HideGhost() {
    if (!ghostShown_)
        return;
    windowDC dc(nullptr);
    if (dc)
        DrawSizerRect(dc.get(), &ghost_);
    ghostShown_ = false;
}

void VDockBand::ResetDrag() {
    HideGhost();
    press_ = POINT{-1, -1};
    drag_ = drag::none;
    gapBefore_ = gapAfter_ = nullptr;
}

LRESULT VDockBand::OnLButtonDown(LONG_PTR, LONG_PTR lParam) {
    ResetDrag();
    press_ = PointOf(lParam);
    if (!IsResizable() || windows_.empty() || !area_)
        return -1;
    bool horizontal = Horizontal();
    bool trimmed = Side() != side::top;  // the bottom, right and left areas stop 2 pixels short
    int previousEnd = 0;
    VDockWnd* previous = nullptr;
    for (VDockWnd* window : VisibleWindows()) {
        RECT r = ClientRectOf(window);
        RECT ghost;
        if (InSizerZone(press_, r)) {
            drag_ = drag::sizer;
            ::SetCursor(sharedCursor(horizontal ? IDC_SIZENS : IDC_SIZEWE));
            ghost = SizerStrip(rect_);
        } else if (previous && along(press_, horizontal) >= previousEnd &&
                   along(press_, horizontal) < alongEnd(r, horizontal) - (trimmed ? 2 : 0)) {
            drag_ = drag::gap;
            gapBefore_ = previous;
            gapAfter_ = window;
            ::SetCursor(sharedCursor(horizontal ? IDC_SIZEWE : IDC_SIZENS));
            int at = along(press_, horizontal);
            ghost = horizontal ? RECT{at, rect_.top, at + ghostLine, rect_.bottom}
                               : RECT{rect_.left, at, rect_.right, at + ghostLine};
        } else {
            previousEnd = alongEnd(r, horizontal);
            previous = window;
            continue;
        }
        ::MapWindowPoints(area_->GetHandle(), nullptr, reinterpret_cast<POINT*>(&ghost), 2);
        ShowGhost(ghost);
        break;
    }
    return -1;
}

LRESULT VDockBand::OnMouseMove(LONG_PTR, LONG_PTR lParam) {
    if (!IsResizable() || !area_)
        return -1;
    bool horizontal = Horizontal();
    POINT at = PointOf(lParam);
    int previousEnd = 0;
    bool first = true;
    for (VDockWnd* window : VisibleWindows()) {
        RECT r = ClientRectOf(window);
        int position = along(at, horizontal);
        bool inGap = !first && position >= previousEnd && position < alongStart(r, horizontal);
        bool clearOfSizer = true;
        switch (Side()) {
        case side::top:
            clearOfSizer = at.y < r.bottom - 4;
            break;
        case side::bottom:
            clearOfSizer = at.y > r.top + 4;
            break;
        case side::right:
            clearOfSizer = at.x > r.left + 4;
            break;
        case side::left:
            clearOfSizer = at.x < r.right - 4;
            break;
        default:
            break;
        }
        if (inGap && clearOfSizer)
            ::SetCursor(sharedCursor(horizontal ? IDC_SIZEWE : IDC_SIZENS));
        previousEnd = alongEnd(r, horizontal);
        first = false;
    }
    bool acrossDrag = drag_ == drag::sizer;
    if (area_->IsDragging() && drag_ != drag::none) {
        // The ghost follows the pointer on its drag axis only.
        POINT screen = at;
        ::ClientToScreen(area_->GetHandle(), &screen);
        RECT moved = ghost_;
        bool movesY = acrossDrag == horizontal;
        if (movesY) {
            moved.top = screen.y;
            moved.bottom = screen.y + ghostLine;
        } else {
            moved.left = screen.x;
            moved.right = screen.x + ghostLine;
        }
        ShowGhost(moved);
        ::SetCursor(sharedCursor(movesY ? IDC_SIZENS : IDC_SIZEWE));
    }
    RECT sizer;
    if (GetSizerRect(&sizer) && Contains(sizer, at))
        ::SetCursor(sharedCursor(horizontal ? IDC_SIZENS : IDC_SIZEWE));
    if (press_.x != -1 || press_.y != -1) {
        if (drag_ == drag::gap)
            ::SetCursor(sharedCursor(horizontal ? IDC_SIZEWE : IDC_SIZENS));
        else if (drag_ == drag::sizer)
            ::SetCursor(sharedCursor(horizontal ? IDC_SIZENS : IDC_SIZEWE));
    }
    return -1;
}

void VDockBand::EndGapDrag(POINT at) {
    bool horizontal = Horizontal();
    int minimum = Dockable() ? 15 : 2;
    VDockContainer* earlier = gapBefore_->Container();
    VDockContainer* later = gapAfter_->Container();
    RECT first = earlier->PlacementRect(), second = later->PlacementRect();
    int boundary = alongEnd(first, horizontal) + along(at, horizontal) - along(press_, horizontal);
    boundary = std::max(boundary, alongStart(first, horizontal) + minimum);
    boundary = std::min(boundary, alongEnd(second, horizontal) - minimum);
    setAlong(first, horizontal, alongStart(first, horizontal), boundary);
    setAlong(second, horizontal, boundary, alongEnd(second, horizontal));
    earlier->SetPlacementRect(first);
    later->SetPlacementRect(second);
    RECT areaClient;
    ::GetClientRect(area_->GetHandle(), &areaClient);
    float length = static_cast<float>(horizontal ? Width(areaClient) : Height(areaClient));
    if (length > 0) {
        gapBefore_->SetDockPercentsize(static_cast<float>(horizontal ? Width(first) : Height(first)) / length);
        gapAfter_->SetDockPercentsize(static_cast<float>(horizontal ? Width(second) : Height(second)) / length);
    }
    ::SetWindowPos(area_->GetHandle(), nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOCOPYBITS);
    for (VDockContainer* container : {later, earlier}) {
        moveContainer(container->GetHandle(), container->PlacementRect(), SWP_NOCOPYBITS);
        ::InvalidateRect(container->GetHandle(), nullptr, TRUE);
        ::UpdateWindow(container->GetHandle());
    }
}

void VDockBand::EndSizerDrag(POINT at) {
    bool horizontal = Horizontal();
    int moved = across(at, horizontal) - across(press_, horizontal);
    VDock* dock = area_->DockObject();
    int s = Side();
    int change = (s == side::top || s == side::left) ? moved : -moved;
    if (dock) {
        // The area may grow only as far as the space between it and the
        // opposite area, less 9 pixels, on every side.
        int opposite = s == side::top ? side::bottom : s == side::bottom ? side::top : s == side::left ? side::right
                                                                                                   : side::left;
        VDockArea* other = dock->Area(opposite);
        long now = horizontal ? area_->GetHeight() : area_->GetWidth();
        long otherThickness = horizontal ? other->GetHeight() : other->GetWidth();
        long room;
        if (horizontal) {
            room = dock->LayoutSize().cy - otherThickness;
        } else {
            RECT frame;
            IWnd* frameWindow = dock->GetParentClass();
            room = frameWindow && ::GetWindowRect(frameWindow->GetHandle(), &frame) ? Width(frame) - otherThickness
                                                                                     : dock->LayoutSize().cx;
        }
        if (now + change > room)
            change = static_cast<int>(room - 9 - now);
    }
    if (horizontal)
        SetHeight(change);
    else
        SetWidth(change);
}

LRESULT VDockBand::OnLButtonUp(LONG_PTR, LONG_PTR lParam) {
    bool pressed = press_.x != -1 || press_.y != -1;
    if (IsResizable() && pressed && area_) {
        HideGhost();
        POINT at = PointOf(lParam);
        // A press that started no drag changes nothing.
        if (drag_ == drag::gap && gapBefore_ && gapAfter_)
            EndGapDrag(at);
        else if (drag_ == drag::sizer)
            EndSizerDrag(at);
    }
    ResetDrag();
    return -1;
}

}  // namespace vesk::ui
