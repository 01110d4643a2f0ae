#include "plugins/Dravik/dockArea.h"

#include <algorithm>
#include <new>

#include "plugins/Dravik/dock.h"
#include "plugins/Dravik/dockBand.h"
#include "plugins/Dravik/dockContainer.h"
#include "plugins/Dravik/dockSides.h"
#include "plugins/Dravik/dockWnd.h"
#include "plugins/Dravik/dravikIds.h"
#include "plugins/Dravik/libraryModule.h"
#include "plugins/Dravik/paint.h"
#include "plugins/Dravik/skin.h"
#include "plugins/Dravik/wndProcs.h"

namespace vesk::ui {

namespace {

const char areaClass[] = "Pelloran:Dravik32:DockArea:1";
constexpr DWORD areaStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
// The drop point lies this far inside the dragged rectangle's corner.
constexpr int dropInset = 15;

}  // namespace

VDockArea::VDockArea() {
    ReadSystemColours();
    registerInterfaceOf<IDockArea>(this);
    registerInterfaceOf<IWnd>(this);
    registerInterfaceOf<Igeneric>(this);
}

VDockArea::~VDockArea() {
    for (VDockBand* band : bands_)
        static_cast<IDockBand*>(band)->release();
}

VDock* VDockArea::DockObject() const { return dynamic_cast<VDock*>(parent_); }

HWND VDockArea::Create(IWnd* parent, RECT* rect, const char* title, DWORD style, DWORD exStyle, HMENU menu, WORD,
                       void*, DWORD vertical) {
    if (!parent)
        return nullptr;
    parent_ = parent;
    if (auto* parentWindow = dynamic_cast<VWnd*>(parent))
        SetModuleInstance(parentWindow->GetModuleInstance());
    vertical_ = vertical ? 1 : 0;
    if (!Register(areaClass, CS_DBLCLKS | CS_CLASSDC, nullptr, nullptr, nullptr, ___DefWindowProc))
        return nullptr;
    const RECT& place = rect ? *rect : defaultRect_;
    int width = rect ? Width(place) : CW_USEDEFAULT, height = rect ? Height(place) : CW_USEDEFAULT;
    // The parent's child map is not told: the dock manager keeps its areas.
    HWND made = ::CreateWindowExA(exStyle, areaClass, title, style, place.left, place.top, width, height,
                                  parent->GetHandle(), menu, GetModuleInstance(),
                                  static_cast<void*>(static_cast<IWnd*>(this)));
    if (!made)
        return nullptr;
    Attach(made);
    return made;
}

HWND VDockArea::Create(IWnd* dock, DWORD sideId) {
    if (!dock)
        return nullptr;
    side_ = static_cast<int>(sideId);
    RECT client = {0, 0, 0, 0};
    ::GetClientRect(dock->GetHandle(), &client);
    RECT strip = client;
    switch (side_) {
    case side::top:
        strip.bottom = strip.top + GetHeight();
        break;
    case side::bottom:
        strip.top = strip.bottom - GetHeight();
        break;
    case side::left:
        strip.right = strip.left + GetWidth();
        break;
    case side::right:
        strip.left = strip.right - GetWidth();
        break;
    default:
        break;
    }
    return Create(dock, &strip, nullptr, areaStyle, 0, nullptr, 0, nullptr, IsVerticalSide(side_));
}

long VDockArea::GetWidth() {
    if (!vertical_)
        return 0;
    long sum = 0;
    for (VDockBand* band : bands_)
        if (band->IsBandVisible())
            sum += band->GetWidth();
    return sum;
}

long VDockArea::GetHeight() {
    if (vertical_)
        return 0;
    long sum = 0;
    for (VDockBand* band : bands_)
        if (band->IsBandVisible())
            sum += band->GetHeight();
    return sum;
}

int VDockArea::IsRectWindowOver(RECT* rect) {
    RECT area;
    if (!rect || !hWnd_ || !::GetWindowRect(hWnd_, &area))
        return 0;
    ::InflateRect(&area, 2, 2);
    bool touches = rect->left <= area.right && rect->right >= area.left && rect->top <= area.bottom &&
                   rect->bottom >= area.top;
    return touches ? 1 : 0;
}

int VDockArea::Resize(RECT* placed, HDWP deferred, int width, int height) {
    auto ownerWidth = [this](int end) { return cornerOwner_[end] != this ? cornerOwner_[end]->GetWidth() : 0; };
    auto ownerHeight = [this](int end) { return cornerOwner_[end] != this ? cornerOwner_[end]->GetHeight() : 0; };
    RECT r = {0, 0, 0, 0};
    switch (side_) {
    case side::top:
        r = RECT{ownerWidth(0), 0, width - ownerWidth(1), GetHeight()};
        break;
    case side::right:
        r = RECT{width - GetWidth(), ownerHeight(0), width, height - ownerHeight(1)};
        break;
    case side::bottom:
        r = RECT{ownerWidth(0), height - GetHeight(), width - ownerWidth(1), height};
        break;
    case side::left:
        r = RECT{0, ownerHeight(0), GetWidth(), height - ownerHeight(1)};
        break;
    default:
        break;
    }
    RECT inside = {0, 0, Width(r), Height(r) - 1};
    ResizeChildren(&inside, deferred, Width(r), Height(r) - 1);
    if (hWnd_) {
        if (deferred)
            ::DeferWindowPos(deferred, hWnd_, nullptr, r.left, r.top, Width(r), Height(r), 0);
        else
            ::SetWindowPos(hWnd_, nullptr, r.left, r.top, Width(r), Height(r), 0);
    }
    if (placed)
        *placed = r;
    return 1;
}

int VDockArea::LeastSpan() {
    int least = 0;
    for (VDockBand* band : bands_)
        if (band->IsBandVisible())
            least = std::max(least, band->LeastLength());
    for (int end : {0, 1}) {
        VDockArea* owner = cornerOwner_[end];
        if (owner && owner != this)
            least += vertical_ ? owner->GetHeight() : owner->GetWidth();
    }
    // A vertical area lays its bands out one pixel short of its height.
    return vertical_ ? least + 1 : least;
}

int VDockArea::ResizeChildren(RECT*, HDWP deferred, int width, int height) {
    int position = 0;
    for (VDockBand* band : bands_) {
        if (!band->IsBandVisible())
            continue;
        RECT r = vertical_ ? RECT{position, 0, position + static_cast<int>(band->GetWidth()), height}
                           : RECT{0, position, width, position + static_cast<int>(band->GetHeight())};
        position = vertical_ ? r.right : r.bottom;
        band->Resize(&r, deferred, 0, 0);
    }
    return 1;
}

int VDockArea::GetBandPos(IDockBand* band) {
    if (!band)
        return -1;
    for (size_t i = 0; i < bands_.size(); ++i)
        if (static_cast<IDockBand*>(bands_[i]) == band)
            return static_cast<int>(i);
    return -1;
}

IDockBand* VDockArea::GetBandOffset(IDockBand* band, int direction) {
    int at = GetBandPos(band);
    if (at < 0)
        return nullptr;
    int next = direction == -1 ? at - 1 : at + 1;
    if (next < 0 || next >= static_cast<int>(bands_.size()))
        return nullptr;
    return bands_[next];
}

VDockBand* VDockArea::NewBand(size_t position) {
    auto* band = new (std::nothrow) capsule<VDockBand>();
    if (!band)
        return nullptr;
    static_cast<IDockBand*>(band)->addRef();
    band->Create(this);
    if (position > bands_.size())
        position = bands_.size();
    bands_.insert(bands_.begin() + static_cast<std::ptrdiff_t>(position), band);
    return band;
}

void VDockArea::DropBand(VDockBand* band) {
    bool held = false;
    for (auto it = bands_.begin(); it != bands_.end();) {
        if (*it == band) {
            it = bands_.erase(it);
            held = true;
        } else {
            ++it;
        }
    }
    if (dragBand_ == band) {
        dragBand_ = nullptr;
        dragging_ = false;
    }
    if (held)
        static_cast<IDockBand*>(band)->release();
}

// From the band at the index on: the first visible band that takes the
// window; a band that is not visible ends the search.
VDockBand* VDockArea::TargetBandAt(long index, bool resizable, bool fullRow) {
    for (size_t i = static_cast<size_t>(index); i < bands_.size(); ++i) {
        VDockBand* band = bands_[i];
        if (!band->IsBandVisible())
            break;
        if ((band->IsResizable() != 0) == resizable && !band->IsFull() && !fullRow)
            return band;
    }
    return NewBand(bands_.size());
}

// The first visible band of the same kind that holds the drop point across
// the area; a full band (or a full-row window) gets a new band after it.
VDockBand* VDockArea::TargetBandAtPoint(POINT drop, bool resizable, bool fullRow) {
    for (size_t i = 0; i < bands_.size(); ++i) {
        VDockBand* band = bands_[i];
        if (!band->IsBandVisible() || (band->IsResizable() != 0) != resizable)
            continue;
        RECT r = band->BandRect();
        bool holds = vertical_ ? drop.x >= r.left && drop.x < r.right : drop.y >= r.top && drop.y < r.bottom;
        if (!holds)
            continue;
        if (band->IsFull() || fullRow)
            return NewBand(i + 1);
        return band;
    }
    return nullptr;
}

int VDockArea::Dock(IDockWnd* window) { return Dock(window, -1); }

int VDockArea::Dock(IDockWnd* dockWindow, long bandIndex) {
    auto* window = dynamic_cast<VDockWnd*>(dockWindow);
    if (!window || !hWnd_)
        return 0;
    VDockContainer* container = window->Container();
    RECT last = window->GetLastDragRect();
    POINT drop = {last.left + dropInset, last.top + dropInset};
    ::ScreenToClient(hWnd_, &drop);

    RECT docked;
    container->GetDockRect(vertical_, &docked);
    if (vertical_)
        ::OffsetRect(&docked, 0, drop.y - dropInset - docked.top);
    else
        ::OffsetRect(&docked, drop.x - dropInset - docked.left, 0);
    window->SetRect(&docked);
    container->SetRect(&docked);

    bool resizable = container->IsResizable() != 0;
    bool fullRow = window->GetDockFullRow() != 0;
    VDockBand* target = bandIndex >= 0 ? TargetBandAt(bandIndex, resizable, fullRow)
                                       : TargetBandAtPoint(drop, resizable, fullRow);

    VDockBand* current = window->Band();
    if (VDockArea* currentArea = window->Area(); currentArea && target != current)
        currentArea->UnDock(window);
    else if (current && target == current)
        current->RemoveWindow(window);

    if (!target) {
        bool before = vertical_ ? drop.x < 0 : drop.y < 0;
        target = NewBand(before ? 0 : bands_.size());
    }
    if (!target)
        return 0;
    target->AddWindow(window);
    window->OnDocking(reinterpret_cast<LONG_PTR>(static_cast<IDockArea*>(this)),
                      reinterpret_cast<LONG_PTR>(static_cast<IDockBand*>(target)));
    LayOutFrame();
    return 0;
}

int VDockArea::UnDock(IDockWnd* dockWindow) {
    auto* window = dynamic_cast<VDockWnd*>(dockWindow);
    if (!window)
        return 0;
    VDockBand* band = window->Band();
    // The band is told to the window after it left the list: keep it alive.
    ref<IDockBand> keepBand(band);
    if (band && band->RemoveWindow(window) == 0)
        band->Area()->DropBand(band);
    window->OnUnDocking(reinterpret_cast<LONG_PTR>(static_cast<IDockArea*>(this)),
                        reinterpret_cast<LONG_PTR>(static_cast<IDockBand*>(band)));
    LayOutFrame();
    return 0;
}

void VDockArea::LayOutFrame() {
    VDock* dock = DockObject();
    IWnd* frame = dock ? dock->GetParentClass() : nullptr;
    RECT client;
    if (!frame || !::GetClientRect(frame->GetHandle(), &client))
        return;
    frame->OnSize(0, MAKELPARAM(client.right, client.bottom));
}

LRESULT VDockArea::OnNcCalcSize(LONG_PTR wParam, LONG_PTR lParam) {
    if (side_ == side::bottom)
        return 0;
    RECT& client = wParam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : *reinterpret_cast<RECT*>(lParam);
    if (client.top < client.bottom)
        client.top += 1;
    return 1;
}

LRESULT VDockArea::OnPaint(LONG_PTR, LONG_PTR) {
    RECT client, window;
    ::GetClientRect(hWnd_, &client);
    ::GetWindowRect(hWnd_, &window);
    bool skinDrew = false;
    {
        windowDC dc(hWnd_, DCX_WINDOW | DCX_CACHE | DCX_CLIPCHILDREN);
        if (dc) {
            // The containers paint themselves; the gaps between them and
            // where a hidden one was are the area's.
            ExcludeVisibleChildren(hWnd_, dc.get(), POINT{window.left, window.top});
            FillBackground(dc.get(), RECT{0, 0, Width(window), Height(window)});
            skinDrew = DrawSkinPart(hWnd_, dc.get(), 0, 0, client.right, client.bottom, skinPart::dockArea) != 0;
            if (!skinDrew) {
                const libraryColours& colours = LibraryColours();
                HorizontalLine(dc.get(), 0, Width(window), 0, colours.shadow);
                HorizontalLine(dc.get(), 0, Width(window), 1, colours.highlight);
            }
        }
    }
    if (skinDrew)
        return 0;
    for (VDockBand* band : bands_)
        if (band->IsBandVisible())
            band->OnPaint(0, 0);
    return -1;
}

LRESULT VDockArea::OnMouseMove(LONG_PTR wParam, LONG_PTR lParam) {
    if (dragging_ && dragBand_) {
        dragBand_->OnMouseMove(0, lParam);
        return -1;
    }
    POINT at = PointOf(lParam);
    for (VDockBand* band : bands_)
        if (band->IsBandVisible() && Contains(band->BandRect(), at))
            band->OnMouseMove(wParam, lParam);
    return -1;
}

LRESULT VDockArea::OnLButtonDown(LONG_PTR wParam, LONG_PTR lParam) {
    POINT at = PointOf(lParam);
    for (VDockBand* band : bands_) {
        if (!band->IsBandVisible() || !Contains(band->BandRect(), at))
            continue;
        ::SetCapture(hWnd_);
        band->OnLButtonDown(wParam, lParam);
        dragBand_ = band;
        dragging_ = true;
    }
    return -1;
}

LRESULT VDockArea::OnLButtonUp(LONG_PTR wParam, LONG_PTR lParam) {
    if (VDockBand* band = dragBand_) {
        dragBand_ = nullptr;
        dragging_ = false;
        ref<IDockBand> keep(band);
        band->OnLButtonUp(wParam, lParam);
    }
    ::ReleaseCapture();
    return -1;
}

LRESULT VDockArea::OnContextMenu(LONG_PTR, LONG_PTR lParam) {
    HMENU menu = ::CreatePopupMenu();
    if (!menu)
        return -1;
    char text[41];
    LoadLibraryString(IDS_CUSTOMIZE_MENU, text, sizeof(text));
    ::AppendMenuA(menu, MF_STRING, 1, text);
    POINT at = PointOf(lParam);
    ::TrackPopupMenu(menu, TPM_LEFTBUTTON, at.x, at.y, 0, hWnd_, nullptr);
    ::DestroyMenu(menu);
    return -1;
}

}  // namespace vesk::ui
