#include "plugins/Dravik/frameClientWnd.h"

#include <new>

#include "plugins/Dravik/windowBinding.h"
#include "plugins/Dravik/wndProcs.h"

namespace vesk::ui {

namespace {

const char childClass[] = "Pelloran:Dravik32:ClientChild:1";
constexpr UINT firstChildId = 50000;

}  // namespace

VFrameClientWnd::VFrameClientWnd() {
    registerInterfaceOf<IFrameClientWnd>(this);
    registerInterfaceOf<IWnd>(this);
    registerInterfaceOf<Igeneric>(this);
}

HWND VFrameClientWnd::Create(IWnd* frame) {
    if (!frame)
        return nullptr;
    RECT area;
    if (!::GetClientRect(frame->GetHandle(), &area))
        return nullptr;
    // The platform's client takes its own creation record, not our object.
    CLIENTCREATESTRUCT record = {nullptr, firstChildId};
    HWND made = VWnd::Create("MDICLIENT", frame->GetHandle(), &area, "MDICLIENT",
                             WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CLIENTEDGE, nullptr, &record);
    if (!made)
        return nullptr;
    ::ShowWindow(made, SW_SHOW);
    SubclassWindowProc(___DefSubclassWindowProc);
    ::BringWindowToTop(made);
    return made;
}

IFrameChildWnd* VFrameClientWnd::CreateChild(const char* title, RECT* rect) {
    auto* child = new (std::nothrow) capsule<VFrameChildWnd>();
    if (!child)
        return nullptr;
    if (!child->Create(this, title, rect)) {
        child->addRef();
        child->release();
        return nullptr;
    }
    return child;
}

LRESULT VFrameClientWnd::OnSize(LONG_PTR, LONG_PTR) { return 1; }

VFrameChildWnd::VFrameChildWnd() {
    registerInterfaceOf<IFrameChildWnd>(this);
    registerInterfaceOf<IWnd>(this);
    registerInterfaceOf<Igeneric>(this);
}

VFrameChildWnd::~VFrameChildWnd() {
    HWND window = hWnd_;
    if (!window || !::IsWindow(window))
        return;
    // No message of the window's end may reach this half-gone object.
    unbindObject(this);
    ::SendMessageA(::GetParent(window), WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
}

HWND VFrameChildWnd::Create(IWnd* client, const char* title, RECT*) {
    if (!client)
        return nullptr;
    if (!Register(childClass, CS_DBLCLKS | CS_CLASSDC, nullptr, nullptr, nullptr, ___DefMDIChildProc))
        return nullptr;
    HWND clientWindow = client->GetHandle();
    RECT area;
    if (!::GetClientRect(clientWindow, &area))
        return nullptr;
    MDICREATESTRUCTA record = {childClass, title ? title : "", GetModuleInstance(), 0, 0, area.right, area.bottom,
                               0, 0};
    auto made = reinterpret_cast<HWND>(::SendMessageA(clientWindow, WM_MDICREATE, 0,
                                                      reinterpret_cast<LPARAM>(&record)));
    if (!made)
        return nullptr;
    Attach(made);
    parent_ = client;
    return made;
}

HWND VFrameChildWnd::ClientWindow() { return parent_ ? parent_->GetHandle() : ::GetParent(hWnd_); }

int VFrameChildWnd::Activate() {
    ::SendMessageA(ClientWindow(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hWnd_), 0);
    return 1;
}

int VFrameChildWnd::Maximize() {
    HWND client = ClientWindow();
    ::SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(hWnd_), 0);
    ::SetWindowPos(client, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE);
    Activate();
    return 1;
}

}  // namespace vesk::ui
