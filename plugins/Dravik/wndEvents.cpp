#include "plugins/Dravik/wndEvents.h"

#include <algorithm>
#include <cstddef>

namespace vesk::ui {

namespace {

// The frame's layout request of the platform's MDI and control bars.
constexpr UINT WM_SIZEPARENT = 0x361;

struct messageHandler {
    UINT message;
    VWndEvents::handler handler;
};

// OnNotifyChild, OnMouseWheel, OnNcMouseLeave and OnAppCommand are reached by
// no message; WM_CONTEXTMENU goes to the default processing.
const messageHandler messageTable[] = {
    {WM_CREATE, &VWndEvents::OnCreate},
    {WM_DESTROY, &VWndEvents::OnDestroy},
    {WM_MOVE, &VWndEvents::OnMove},
    {WM_SIZE, &VWndEvents::OnSize},
    {WM_ENABLE, &VWndEvents::OnEnable},
    {WM_SETTEXT, &VWndEvents::OnSetText},
    {WM_GETTEXT, &VWndEvents::OnGetText},
    {WM_GETTEXTLENGTH, &VWndEvents::OnGetTextLength},
    {WM_PAINT, &VWndEvents::OnPaint},
    {WM_CLOSE, &VWndEvents::OnClose},
    {WM_QUIT, &VWndEvents::OnQuit},
    {WM_QUERYOPEN, &VWndEvents::OnQueryOpen},
    {WM_ERASEBKGND, &VWndEvents::OnEraseBkGnd},
    {WM_SHOWWINDOW, &VWndEvents::OnShowWindow},
    {WM_SETTINGCHANGE, &VWndEvents::OnSettingChange},
    {WM_ACTIVATEAPP, &VWndEvents::OnActivateApp},
    {WM_CANCELMODE, &VWndEvents::OnCancelMode},
    {WM_MOUSEACTIVATE, &VWndEvents::OnMouseActivate},
    {WM_CHILDACTIVATE, &VWndEvents::OnChildActivate},
    {WM_GETMINMAXINFO, &VWndEvents::OnGetMinMaxInfo},
    {WM_DRAWITEM, &VWndEvents::OnDrawItem},
    {WM_QUERYDRAGICON, &VWndEvents::OnQueryDragIcon},
    {WM_COMPACTING, &VWndEvents::OnCompacting},
    {WM_WINDOWPOSCHANGING, &VWndEvents::OnWindowPosChanging},
    {WM_WINDOWPOSCHANGED, &VWndEvents::OnWindowPosChanged},
    {WM_NOTIFY, &VWndEvents::OnNotify},
    {WM_INPUTLANGCHANGEREQUEST, &VWndEvents::OnInputLangChangeRequest},
    {WM_INPUTLANGCHANGE, &VWndEvents::OnInputLangChange},
    {WM_USERCHANGED, &VWndEvents::OnUserChanged},
    {WM_STYLECHANGING, &VWndEvents::OnStyleChanging},
    {WM_STYLECHANGED, &VWndEvents::OnStyleChanged},
    {WM_GETICON, &VWndEvents::OnGetIcon},
    {WM_SETICON, &VWndEvents::OnSetIcon},
    {WM_NCCREATE, &VWndEvents::OnNcCreate},
    {WM_NCDESTROY, &VWndEvents::OnNcDestroy},
    {WM_NCCALCSIZE, &VWndEvents::OnNcCalcSize},
    {WM_NCHITTEST, &VWndEvents::OnNcHitTest},
    {WM_NCPAINT, &VWndEvents::OnNcPaint},
    {WM_NCACTIVATE, &VWndEvents::OnNcActivate},
    {WM_NCMOUSEMOVE, &VWndEvents::OnNcMouseMove},
    {WM_NCLBUTTONDOWN, &VWndEvents::OnNcLButtonDown},
    {WM_NCLBUTTONDBLCLK, &VWndEvents::OnNcLButtonDblClk},
    {WM_SYSCHAR, &VWndEvents::OnSysChar},
    {WM_COMMAND, &VWndEvents::OnCommand},
    {WM_SYSCOMMAND, &VWndEvents::OnSysCommand},
    {WM_TIMER, &VWndEvents::OnTimer},
    {WM_INITMENU, &VWndEvents::OnInitMenu},
    {WM_INITMENUPOPUP, &VWndEvents::OnInitMenuPopup},
    {WM_MENUSELECT, &VWndEvents::OnMenuSelect},
    {WM_MENUCHAR, &VWndEvents::OnMenuChar},
    {WM_MOUSEMOVE, &VWndEvents::OnMouseMove},
    {WM_LBUTTONDOWN, &VWndEvents::OnLButtonDown},
    {WM_LBUTTONUP, &VWndEvents::OnLButtonUp},
    {WM_LBUTTONDBLCLK, &VWndEvents::OnLButtonDblClk},
    {WM_RBUTTONDOWN, &VWndEvents::OnRButtonDown},
    {WM_RBUTTONUP, &VWndEvents::OnRButtonUp},
    {WM_MBUTTONDOWN, &VWndEvents::OnMButtonDown},
    {WM_MBUTTONUP, &VWndEvents::OnMButtonUp},
    {WM_PARENTNOTIFY, &VWndEvents::OnParentNotify},
    {WM_SIZING, &VWndEvents::OnSizing},
    {WM_CAPTURECHANGED, &VWndEvents::OnCaptureChanged},
    {WM_MOVING, &VWndEvents::OnMoving},
    {WM_MDIACTIVATE, &VWndEvents::OnMDIActivate},
    {WM_ENTERSIZEMOVE, &VWndEvents::OnEnterSizeMove},
    {WM_EXITSIZEMOVE, &VWndEvents::OnExitSizeMove},
    {WM_MOUSEHOVER, &VWndEvents::OnMouseHover},
    {WM_MOUSELEAVE, &VWndEvents::OnMouseLeave},
    {WM_SIZEPARENT, &VWndEvents::OnSizeParent},
    {WM_SKINCHANGED, &VWndEvents::OnSkinChanged},
};

}  // namespace

VWndEvents::handler VWndEvents::HandlerOf(UINT message) {
    for (const messageHandler& entry : messageTable)
        if (entry.message == message)
            return entry.handler;
    return nullptr;
}

VWndEvents::VWndEvents() {
    registerInterfaceOf<IWndEvents>(this);
    registerInterfaceOf<Igeneric>(this);
}

VWndEvents::VWndEvents(const VWndEvents& other) : objectBase(), IWndEvents() {
    registerInterfaceOf<IWndEvents>(this);
    registerInterfaceOf<Igeneric>(this);
    hooks_ = const_cast<VWndEvents&>(other).TakeHooks();
}

VWndEvents& VWndEvents::operator=(const VWndEvents& other) {
    if (this == &other)
        return *this;
    std::vector<IWndProc*> copied = const_cast<VWndEvents&>(other).TakeHooks();
    ReleaseHooks();
    sectionGuard guard(hookLock_);
    hooks_ = copied;
    return *this;
}

VWndEvents::~VWndEvents() { ReleaseHooks(); }

void VWndEvents::ReleaseHooks() {
    std::vector<IWndProc*> old;
    {
        sectionGuard guard(hookLock_);
        old.swap(hooks_);
    }
    for (IWndProc* hook : old)
        hook->release();
}

std::vector<IWndProc*> VWndEvents::TakeHooks() {
    sectionGuard guard(hookLock_);
    for (IWndProc* hook : hooks_)
        hook->addRef();
    return hooks_;
}

int VWndEvents::AddMessageHook(IWndProc* hook) {
    if (!hook)
        return 0;
    hook->addRef();
    sectionGuard guard(hookLock_);
    hooks_.push_back(hook);
    return 1;
}

int VWndEvents::RemoveMessageHook(IWndProc* hook) {
    if (!hook)
        return 0;
    std::ptrdiff_t removed = 0;
    {
        sectionGuard guard(hookLock_);
        auto end = std::remove(hooks_.begin(), hooks_.end(), hook);
        removed = hooks_.end() - end;
        hooks_.erase(end, hooks_.end());
    }
    // Each entry came with its own reference; a hook that was never added
    // keeps the caller's reference untouched.
    for (std::ptrdiff_t i = 0; i < removed; ++i)
        hook->release();
    return removed ? 1 : 0;
}

LRESULT VWndEvents::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // The hooks run on a snapshot, with no lock held: a hook may add or
    // remove hooks, or send messages that come back here.
    std::vector<IWndProc*> hooks = TakeHooks();
    LRESULT answer = -1;
    HWND window = hooks.empty() ? nullptr : HookWindow();
    for (IWndProc* hook : hooks) {
        answer = hook->HookProc(window, message, wParam, lParam);
        if (answer != -1)
            break;
    }
    for (IWndProc* hook : hooks)
        hook->release();
    if (answer != -1)
        return answer;
    handler h = HandlerOf(message);
    return h ? (this->*h)(static_cast<LONG_PTR>(wParam), static_cast<LONG_PTR>(lParam)) : -1;
}

LRESULT VWndEvents::OnActivateApp(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnCancelMode(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnChildActivate(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnPaint(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnClose(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnCompacting(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnCreate(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnDestroy(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnEnable(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnEnterSizeMove(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnEraseBkGnd(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnExitSizeMove(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnGetIcon(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnGetMinMaxInfo(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnGetText(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnGetTextLength(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnInputLangChange(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnInputLangChangeRequest(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnMove(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnMoving(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnNcActivate(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnNcCalcSize(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnNcCreate(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnNcDestroy(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnNcPaint(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnNcLButtonDown(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnNcLButtonDblClk(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnNotify(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnNotifyChild(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnParentNotify(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnQueryDragIcon(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnQueryOpen(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnQuit(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnSetIcon(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnSetText(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnShowWindow(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnSizing(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnSizeParent(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnSize(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnStyleChanged(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnStyleChanging(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnUserChanged(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnWindowPosChanged(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnWindowPosChanging(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnLButtonUp(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnLButtonDown(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnLButtonDblClk(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnRButtonDown(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnRButtonUp(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnMouseMove(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnNcHitTest(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnTimer(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnInitMenu(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnInitMenuPopup(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnMenuChar(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnMenuSelect(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnSysChar(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnSysCommand(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnCommand(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnDrawItem(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnMouseWheel(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnCaptureChanged(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnMButtonDown(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnMButtonUp(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnMouseActivate(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnMouseHover(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnMouseLeave(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnNcMouseLeave(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnNcMouseMove(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnAppCommand(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnMDIActivate(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnSettingChange(LONG_PTR, LONG_PTR) { return -1; }
LRESULT VWndEvents::OnSkinChanged(LONG_PTR, LONG_PTR) { return -1; }

}  // namespace vesk::ui
