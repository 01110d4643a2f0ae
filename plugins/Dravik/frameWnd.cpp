#include "plugins/Dravik/frameWnd.h"

#include <commctrl.h>

#include <algorithm>
#include <new>
#include <vector>

#include "plugins/Dravik/dock.h"
#include "plugins/Dravik/dockArea.h"
#include "plugins/Dravik/dockSides.h"
#include "plugins/Dravik/dockWnd.h"
#include "plugins/Dravik/frameClientWnd.h"
#include "plugins/Dravik/paint.h"
#include "plugins/Dravik/skin.h"
#include "plugins/Dravik/skinEngine.h"
#include "plugins/Dravik/statusBar.h"
#include "plugins/Dravik/windowBinding.h"
#include "plugins/Dravik/wndProcs.h"

namespace vesk::ui {

namespace {

const char frameClass[] = "Pelloran:Dravik32:FrameWnd:1";
constexpr DWORD frameStyle = WS_CLIPSIBLINGS | WS_OVERLAPPEDWINDOW;  // 0x04CF0000
constexpr DWORD frameExStyle = WS_EX_WINDOWEDGE | WS_EX_ACCEPTFILES;  // 0x110
constexpr WPARAM tabCommand = 40083;

// What the frame procedure knows: one frame per process.
struct frameProcedureState {
    IWnd* frame = nullptr;  // not owned; from the creation parameter
    HWND client = nullptr;
};
frameProcedureState procedureState;

HWND frameWindow = nullptr;
VFrameWnd* frameObject = nullptr;

HWND clientOf(IWnd* frame) {
    auto* frameInterface = interfaceCast<IFrameWnd>(frame);
    IWnd* client = frameInterface ? interfaceCast<IWnd>(frameInterface->GetClientWnd()) : nullptr;
    return client ? client->GetHandle() : nullptr;
}

BOOL CALLBACK collectWindow(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

// Every window inside the window, at any depth.
std::vector<HWND> descendantsOf(HWND window) {
    std::vector<HWND> found;
    ::EnumChildWindows(window, collectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

void setClassBrush(HWND window, HBRUSH brush) {
    ::SetClassLongPtrA(window, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(brush));
}

}  // namespace

LRESULT CALLBACK ___DefFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        auto* record = reinterpret_cast<CREATESTRUCTA*>(lParam);
        procedureState.frame = static_cast<IWnd*>(record->lpCreateParams);
        procedureState.client = nullptr;
        return 1;
    }
    LRESULT answer = -1;
    if (IWnd* frame = procedureState.frame) {
        if (!procedureState.client)
            procedureState.client = clientOf(frame);
        if (IWndEvents* events = interfaceCast<IWndEvents>(frame))
            answer = events->WindowProc(message, wParam, lParam);
        if (message == WM_PAINT && answer != -1)
            ::ValidateRect(window, nullptr);
    }
    if (answer == -1)
        answer = ::DefFrameProcA(window, procedureState.client, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        procedureState = frameProcedureState();
        if (window == frameWindow)
            frameWindow = nullptr;
        WindowDone(window, message);
    }
    return answer;
}

VFrameWnd::VFrameWnd(IStatusBar* statusBar)
    : client_(new capsule<VFrameClientWnd>()), dock_(new capsule<VDock>()), statusBar_(statusBar) {
    static_cast<IWnd*>(client_)->addRef();
    static_cast<IWnd*>(dock_)->addRef();
    SetModuleInstance(g_DLLhInstance);
    registerInterfaceOf<IFrameWnd>(this);
    registerInterfaceOf<IWnd>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
}

VFrameWnd::~VFrameWnd() {
    unbindObject(this);
    VSkinEngine::Instance().ForgetFrame(this);
    if (procedureState.frame == static_cast<IWnd*>(this))
        procedureState = frameProcedureState();
    if (frameObject == this) {
        frameObject = nullptr;
        frameWindow = nullptr;
    }
    static_cast<IWnd*>(dock_)->release();
    static_cast<IWnd*>(client_)->release();
    if (accelerator_)
        ::DestroyAcceleratorTable(accelerator_);
}

HWND VFrameWnd::FrameWindow() { return frameWindow; }
VFrameWnd* VFrameWnd::FrameObject() { return frameObject; }

int VFrameWnd::Execute(Ifunction* fn) {
    executeQueue_.push_back(fn);
    return 1;
}

HWND VFrameWnd::Create(IWnd* parent, RECT* rect, const char* title) {
    return Create(parent ? parent->GetHandle() : nullptr, rect, title, WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW, 0,
                  nullptr, 0, nullptr);
}

HWND VFrameWnd::Create(HWND parent, RECT* rect, const char* title, DWORD, DWORD, HMENU menu, WORD, void*) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), 0x3FFF};
    ::InitCommonControlsEx(&controls);
    if (!Register(frameClass, CS_DBLCLKS | CS_CLASSDC, nullptr, nullptr,
                  reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)), ___DefFrameProc))
        return nullptr;
    const RECT& place = rect ? *rect : defaultRect_;
    int width = rect ? Width(place) : CW_USEDEFAULT, height = rect ? Height(place) : CW_USEDEFAULT;
    HWND made = ::CreateWindowExA(frameExStyle, frameClass, title, frameStyle, place.left, place.top, width, height,
                                  parent, menu, GetModuleInstance(), static_cast<void*>(static_cast<IWnd*>(this)));
    if (!made)
        return nullptr;
    parent_ = ObjectOfWindow(parent);
    {
        skinData& skin = CurrentSkin();
        windowDC dc(made, DCX_WINDOW | DCX_CACHE);
        if (dc)
            skin.background = ::GetBkColor(dc.get());
        skin.Set(skinValue::background, skin.background);
        skin.SetBackgroundBrush(reinterpret_cast<HBRUSH>(::GetClassLongPtrA(made, GCLP_HBRBACKGROUND)), false);
    }
    Attach(made);
    client_->Create(this);
    dock_->Create(this, 0);
    if (statusBar_)
        statusBar_->Create(this);
    frameWindow = made;
    frameObject = this;
    VSkinEngine& skins = VSkinEngine::Instance();
    skins.SetFrame(made, this);
    skins.ScanSkinModules();
    OnSize(0, 0);
    return made;
}

long VFrameWnd::Run() {
    HWND client = ClientWindow();
    for (;;) {
        BOOL got = ::GetMessageA(&message_, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        if (dialog_ && ::IsWindow(dialog_) && ::IsDialogMessageA(dialog_, &message_))
            continue;
        if (message_.message == WM_KEYDOWN && message_.wParam == VK_TAB)
            ::SendMessageA(hWnd_, WM_COMMAND, tabCommand, 0);
        if (client && ::TranslateMDISysAccel(client, &message_))
            continue;
        if (accelerator_ && ::TranslateAcceleratorA(hWnd_, accelerator_, &message_))
            continue;
        ::TranslateMessage(&message_);
        ::DispatchMessageA(&message_);
    }
    return 0;
}

IDock* VFrameWnd::GetDock() { return dock_; }
ISkinEngine* VFrameWnd::GetSkinEngine() { return &VSkinEngine::Instance(); }
IFrameClientWnd* VFrameWnd::GetClientWnd() { return client_; }

int VFrameWnd::SetAccelerator(HACCEL table) {
    if (accelerator_ && accelerator_ != table)
        ::DestroyAcceleratorTable(accelerator_);
    accelerator_ = table;
    return 1;
}

int VFrameWnd::SetModuleHandle(HINSTANCE module) {
    SetModuleInstance(module);
    g_DLLhInstance = module;
    return 1;
}

HWND VFrameWnd::StatusWindow() {
    IWnd* status = interfaceCast<IWnd>(statusBar_);
    return status ? status->GetHandle() : nullptr;
}

HWND VFrameWnd::ClientWindow() { return client_->GetHandle(); }

void VFrameWnd::LayOut(int width, int height, bool statusBarFirst) {
    HDWP deferred = ::BeginDeferWindowPos(8);
    HWND status = statusBarVisible_ ? StatusWindow() : nullptr;
    if (status && statusBarFirst)
        statusBar_->Resize(nullptr, deferred, width, height);
    int statusHeight = 0;
    RECT statusRect;
    if (status && ::GetWindowRect(status, &statusRect))
        statusHeight = Height(statusRect);
    RECT remaining = {0, 0, width, height - statusHeight};
    dock_->Resize(&remaining, deferred, width, height - statusHeight);
    if (HWND client = ClientWindow()) {
        int w = Width(remaining), h = Height(remaining);
        if (deferred)
            deferred = ::DeferWindowPos(deferred, client, nullptr, remaining.left, remaining.top, w, h, SWP_NOZORDER);
        else
            ::SetWindowPos(client, nullptr, remaining.left, remaining.top, w, h, SWP_NOZORDER);
    }
    if (status && !statusBarFirst)
        statusBar_->Resize(nullptr, deferred, width, height);
    if (deferred)
        ::EndDeferWindowPos(deferred);
    RepaintClientArea();
}

void VFrameWnd::RepaintClientArea() {
    // The areas, bands and containers are placed by several calls, some
    // deferred and some at once, and their borders follow their
    // neighbours: a window that kept its place may still show an old
    // border, and one that moved may have copied old pixels along. The
    // client area is painted again whole, frames of the children included.
    RECT client;
    if (hWnd_ && ::GetClientRect(hWnd_, &client))
        ::RedrawWindow(hWnd_, &client, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

LRESULT VFrameWnd::OnSize(LONG_PTR wParam, LONG_PTR lParam) {
    if (lParam == 0) {
        RECT client;
        ::GetClientRect(hWnd_, &client);
        lParam = MAKELPARAM(client.right, client.bottom);
    }
    if (wParam == SIZE_MINIMIZED)
        return -1;
    LayOut(LOWORD(lParam), HIWORD(lParam), false);
    return 1;
}

long VFrameWnd::Resize(RECT*, void*, int width, int height) {
    LayOut(width, height, true);
    return 1;
}

void VFrameWnd::SetStatusBarVisible(int visible) {
    statusBarVisible_ = visible;
    if (HWND status = StatusWindow())
        ::ShowWindow(status, visible ? SW_SHOW : SW_HIDE);
    OnSize(0, 0);
}

SIZE VFrameWnd::LeastClientSize() {
    int statusHeight = 0, statusWidth = 0;
    RECT statusRect;
    HWND status = statusBarVisible_ ? StatusWindow() : nullptr;
    if (status && ::GetWindowRect(status, &statusRect)) {
        statusHeight = Height(statusRect);
        if (auto* bar = dynamic_cast<VStatusBar*>(statusBar_))
            statusWidth = bar->LeastWidth();
    }
    VDockArea *top = dock_->Area(side::top), *bottom = dock_->Area(side::bottom);
    VDockArea *left = dock_->Area(side::left), *right = dock_->Area(side::right);
    int width = std::max({static_cast<int>(left->GetWidth() + right->GetWidth() + leastCentre.cx),
                          top->LeastSpan(), bottom->LeastSpan(), statusWidth});
    int height = std::max({static_cast<int>(top->GetHeight() + bottom->GetHeight() + leastCentre.cy),
                           left->LeastSpan(), right->LeastSpan()});
    return SIZE{width, height + statusHeight};
}

LRESULT VFrameWnd::OnGetMinMaxInfo(LONG_PTR, LONG_PTR lParam) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    if (!info || !hWnd_)
        return -1;
    SIZE least = LeastClientSize();
    // The frame's own border and caption (a skin may draw its own).
    RECT window, client;
    SIZE frame;
    if (!::IsIconic(hWnd_) && ::GetWindowRect(hWnd_, &window) && ::GetClientRect(hWnd_, &client)) {
        frame = SIZE{Width(window) - client.right, Height(window) - client.bottom};
    } else {
        RECT r = {0, 0, 0, 0};
        ::AdjustWindowRectEx(&r, GetStyle(), FALSE, GetExStyle());
        frame = SIZE{Width(r), Height(r)};
    }
    info->ptMinTrackSize.x = std::max<LONG>(info->ptMinTrackSize.x, least.cx + frame.cx);
    info->ptMinTrackSize.y = std::max<LONG>(info->ptMinTrackSize.y, least.cy + frame.cy);
    return 0;
}

LRESULT VFrameWnd::OnDestroy(LONG_PTR, LONG_PTR) {
    ::PostQuitMessage(0);
    return 1;
}

LRESULT VFrameWnd::OnQuit(LONG_PTR, LONG_PTR) { return 1; }

LRESULT VFrameWnd::OnSettingChange(LONG_PTR, LONG_PTR) {
    ReadSystemColours();
    OnSize(0, 0);
    return -1;
}

void VFrameWnd::RefreshSkinned(HWND window, LPARAM skin, bool setBrush, HBRUSH brush) {
    if (setBrush)
        setClassBrush(window, brush);
    // The z order stays: every window is told, none is raised.
    ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageA(window, WM_SKINCHANGED, 0, skin);
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

LRESULT VFrameWnd::OnSkinChanged(LONG_PTR, LONG_PTR lParam) {
    skinData& skin = CurrentSkin();
    LibraryColours() = {skin.edges[0], skin.edges[1], skin.edges[2]};
    HBRUSH brush;
    bool made = false;
    if (skin.draw) {
        brush = ::CreateSolidBrush(skin.background);
        made = brush != nullptr;
    } else {
        brush = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
        skin.background = ::GetSysColor(COLOR_BTNFACE);
    }
    ::RedrawWindow(hWnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);

    // Windows are collected first: a window told of the change may make or
    // destroy others.
    for (HWND child : descendantsOf(hWnd_))
        if (::IsWindow(child))
            RefreshSkinned(child, lParam, true, brush);
    for (IDockWnd* dockWindow : dock_->DockWindows()) {
        HWND window = interfaceCast<IWnd>(dockWindow) ? interfaceCast<IWnd>(dockWindow)->GetHandle() : nullptr;
        if (!window || !::IsWindow(window))
            continue;
        RefreshSkinned(window, lParam, false, brush);
        for (HWND child : descendantsOf(window))
            if (::IsWindow(child))
                RefreshSkinned(child, lParam, true, brush);
    }
    // The old brush goes only now that no class holds it any more.
    skin.SetBackgroundBrush(brush, made);
    if (HWND status = StatusWindow())
        ::SendMessageA(status, SB_SETBKCOLOR, 0, static_cast<LPARAM>(skin.background));
    OnSize(0, 0);
    return 0;
}

}  // namespace vesk::ui
