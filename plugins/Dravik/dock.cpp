#include "plugins/Dravik/dock.h"

#include <new>

#include "plugins/Dravik/dockArea.h"
#include "plugins/Dravik/dockBand.h"
#include "plugins/Dravik/dockSides.h"
#include "plugins/Dravik/dockTabBarWnd.h"
#include "plugins/Dravik/dockToolBarWnd.h"
#include "plugins/Dravik/dockWnd.h"
#include "plugins/Dravik/dravikIds.h"
#include "plugins/Dravik/libraryModule.h"

namespace vesk::ui {

namespace {

constexpr UINT customizeCommand = 1;
constexpr UINT customizeString = IDS_CUSTOMIZE_MENU;
constexpr int menuTextSize = 41;  // at most 40 characters

enum areaEnd { startEnd = 0, farEnd = 1 };

}  // namespace

VDock::VDock() {
    for (VDockArea*& area : areas_) {
        area = new capsule<VDockArea>();
        static_cast<IDockArea*>(area)->addRef();
    }
    registerInterfaceOf<IDock>(this);
    registerInterfaceOf<IWnd>(this);
    registerInterfaceOf<Igeneric>(this);
}

VDock::~VDock() {
    // A window may outlive the dock (someone else holds it): it forgets the
    // dock, areas and bands that go with the dock.
    for (VDockArea* area : areas_)
        for (VDockBand* band : area->Bands())
            for (VDockWnd* window : band->Windows())
                window->ForgetDocking();
    for (IDockWnd* window : dockWindows_) {
        if (auto* own = dynamic_cast<VDockWnd*>(window))
            own->ForgetDocking();
        window->release();
    }
    dockWindows_.clear();
    if (menu_ && ::IsMenu(menu_))
        ::DestroyMenu(menu_);
    for (VDockArea* area : areas_)
        static_cast<IDockArea*>(area)->release();
}

long VDock::Create(IWnd* frame, DWORD) {
    if (!frame)
        return 0;
    parent_ = frame;
    hWnd_ = frame->GetHandle();
    if (auto* frameWindow = dynamic_cast<VWnd*>(frame))
        SetModuleInstance(frameWindow->GetModuleInstance());
    SetCorner(corner::topLeft, side::top);
    SetCorner(corner::topRight, side::top);
    SetCorner(corner::bottomLeft, side::bottom);
    SetCorner(corner::bottomRight, side::bottom);
    for (int s : {side::top, side::left, side::right, side::bottom})
        Area(s)->Create(this, s);
    return 0;
}

VDockArea* VDock::Area(int s) const { return s >= side::top && s <= side::left ? areas_[s - 1] : nullptr; }

IDockArea* VDock::GetDockArea(int s) { return Area(s); }

namespace {

// A dock window of the given class made over the dock; null when there is
// no memory for it.
template <class T>
T* madeOver(VDock* dock, const char* name, RECT* rect) {
    auto* window = new (std::nothrow) capsule<T>();
    if (window)
        window->Create(name, dock, rect);
    return window;
}

}  // namespace

IDockWnd* VDock::CreateDockWindow(const char* name, RECT* rect) {
    VDockWnd* window = madeOver<VDockWnd>(this, name, rect);
    AddDockWindow(window);
    return window;
}

IDockTabBarWnd* VDock::CreateDockTabBarWindow(const char* name, RECT* rect) {
    return madeOver<VDockTabBarWnd>(this, name, rect);
}

IDockToolBarWnd* VDock::CreateDockToolBarWindow(const char* name, RECT* rect) {
    VDockToolBarWnd* window = madeOver<VDockToolBarWnd>(this, name, rect);
    AddDockWindow(window);
    return window;
}

void VDock::AddDockWindow(IDockWnd* window) {
    if (!window)
        return;
    window->addRef();
    dockWindows_.push_front(window);
}

std::vector<IDockWnd*> VDock::DockWindows() const { return {dockWindows_.begin(), dockWindows_.end()}; }

HMENU VDock::CreateMenu() {
    if (menu_ && ::IsMenu(menu_))
        ::DestroyMenu(menu_);
    menu_ = ::CreatePopupMenu();
    if (!menu_)
        return nullptr;
    char text[menuTextSize];
    LoadLibraryString(customizeString, text, menuTextSize);
    ::AppendMenuA(menu_, MF_STRING, customizeCommand, text);
    return menu_;
}

int VDock::SetCorner(int cornerId, int sideId) {
    VDockArea *topArea = Area(side::top), *rightArea = Area(side::right);
    VDockArea *bottomArea = Area(side::bottom), *leftArea = Area(side::left);
    VDockArea* owner;
    switch (cornerId) {
    case corner::topLeft:
        owner = sideId == side::left ? leftArea : topArea;
        topArea->SetCornerOwner(startEnd, owner);
        leftArea->SetCornerOwner(startEnd, owner);
        break;
    case corner::topRight:
        owner = sideId == side::right ? rightArea : topArea;
        topArea->SetCornerOwner(farEnd, owner);
        rightArea->SetCornerOwner(startEnd, owner);
        break;
    case corner::bottomRight:
        owner = sideId == side::right ? rightArea : bottomArea;
        bottomArea->SetCornerOwner(farEnd, owner);
        rightArea->SetCornerOwner(farEnd, owner);
        break;
    case corner::bottomLeft:
        owner = sideId == side::left ? leftArea : bottomArea;
        bottomArea->SetCornerOwner(startEnd, owner);
        leftArea->SetCornerOwner(farEnd, owner);
        break;
    default:
        break;
    }
    return 1;
}

int VDock::Resize(RECT* remaining, HDWP deferred, int width, int height) {
    layout_ = SIZE{width, height};
    RECT placed[4];
    for (int s : {side::left, side::right, side::bottom, side::top})
        Area(s)->Resize(&placed[s - 1], deferred, width, height);
    if (remaining)
        *remaining = RECT{placed[side::left - 1].right, placed[side::top - 1].bottom, placed[side::right - 1].left,
                          placed[side::bottom - 1].top};
    return 1;
}

LRESULT VDock::OnCommand(LONG_PTR id, LONG_PTR) {
    if (id == customizeCommand && configDialog_)
        configDialog_->ShowWindow(SW_SHOW);
    return -1;
}

void VDock::SetDockable(int dockable) {
    dockable_ = dockable;
    for (int s : {side::top, side::bottom, side::left, side::right})
        for (VDockBand* band : Area(s)->Bands())
            for (VDockWnd* window : band->Windows()) {
                // Each container's frame is drawn again for the new state.
                // Docked, the container shows the window: the dock window
                // itself is hidden.
                HWND container = window->GetContainerHandle();
                ::SetWindowPos(container, nullptr, 0, 0, 0, 0,
                               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                ::RedrawWindow(container, nullptr, nullptr,
                               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
            }
    for (VDockArea* area : areas_)
        ::RedrawWindow(area->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

IFrameWnd* VDock::Frame() { return interfaceCast<IFrameWnd>(parent_); }

}  // namespace vesk::ui
