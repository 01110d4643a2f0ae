#include "plugins/ui/dockDebugWnd.h"

#include <cstring>
#include <new>

#include "plugins/ui/listServices.h"
#include "plugins/ui/tabBarHost.h"

namespace vesk::ui {

namespace {

std::string Bounded(const char* text, std::size_t limit) {
    return text ? std::string(text, ::strnlen(text, limit)) : std::string();
}

std::string PaneText(HWND pane) {
    int length = ::GetWindowTextLengthA(pane);
    if (length <= 0)
        return std::string();
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    int read = ::GetWindowTextA(pane, &text[0], length + 1);
    text.resize(read > 0 ? static_cast<std::size_t>(read) : 0);
    return text;
}

}  // namespace

VDockDebugWnd* CreateDockDebugWnd() {
    return new (std::nothrow) capsule_core<VDockDebugWnd>();
}

VDockDebugWnd::VDockDebugWnd() {
    registerInterfaceOf<IDockDebugWnd>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
}

VDockDebugWnd::~VDockDebugWnd() {
    if (hook_) {
        IDockWnd* dock = interfaceCast<IDockWnd>(bar_);
        if (IWndEvents* events = interfaceCast<IWndEvents>(dock ? dock->GetContainer() : nullptr))
            events->RemoveMessageHook(hook_);
        hook_->release();
    }
    if (bar_)
        bar_->release();
}

UINT VDockDebugWnd::WorkMessage() {
    static const UINT message = ::RegisterWindowMessageA("vesk::ui::VDockDebugWnd work");
    return message;
}

int VDockDebugWnd::Create(const char* caption, RECT* rect) {
    IUIControl* control = ListServices().control;
    if (!control || bar_)
        return 0;
    IDockTabBarWnd* bar = control->CreateDockTabBarWindow(caption, rect);
    IDockWnd* dock = interfaceCast<IDockWnd>(bar);
    if (!bar || !dock)
        return 0;
    bar->addRef();
    container_ = dock->GetContainerHandle();
    hook_ = NewMessageHook(&VDockDebugWnd::Hook, this);
    if (IWndEvents* events = interfaceCast<IWndEvents>(dock->GetContainer()); events && hook_)
        events->AddMessageHook(hook_);
    bar->SetTabStyle(3);
    std::vector<std::string> waiting;
    {
        std::lock_guard<std::mutex> hold(waitingLock_);
        bar_ = bar;
        waiting.swap(waiting_);
    }
    for (const std::string& name : waiting)
        MakePane(name);
    return 1;
}

void VDockDebugWnd::Write(int tab, const char* text) {
    if (!text)
        return;
    std::string line = Bounded(text, writeLimit);
    RunOnGuiThread([&] { Append(tab, line); });
}

void VDockDebugWnd::Print(int tab, const char* text) {
    std::string line = Bounded(text, printLimit) + "\r\n";
    RunOnGuiThread([&] { Append(tab, line); });
}

int VDockDebugWnd::Forward(const char* name) {
    std::string key = Bounded(name, nameLimit);
    int index = -1;
    RunOnGuiThread([&] { index = bar_->FindTab(key.c_str()); });
    return index;
}

int VDockDebugWnd::CreateEdit(const char* name) {
    std::string key = Bounded(name, nameLimit);
    {
        std::lock_guard<std::mutex> hold(waitingLock_);
        if (!bar_) {
            waiting_.push_back(key);
            return static_cast<int>(waiting_.size()) - 1;
        }
    }
    int index = -1;
    RunOnGuiThread([&] { index = MakePane(key); });
    return index;
}

bool VDockDebugWnd::RunOnGuiThread(const std::function<void()>& work) {
    if (!bar_ || !container_)
        return false;
    if (OnWindowThread(container_)) {
        work();
        return true;
    }
    // The work's own result travels in its captures: a hook's -1 would read
    // as "not handled".
    return SendToGuiThread(container_, WorkMessage(), reinterpret_cast<LPARAM>(&work)) == 1;
}

int VDockDebugWnd::MakePane(const std::string& name) {
    // A second pane of the same name would be hidden behind the first.
    int known = bar_->FindTab(name.c_str());
    if (known >= 0)
        return known;
    HWND pane = ::CreateWindowExA(WS_EX_TOPMOST, "EDIT", "", paneStyle, 0, 0, 0, 0, bar_->GetTabBarHandle(),
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(paneId)),
                                  ::GetModuleHandleA(nullptr), nullptr);
    if (!pane)
        return -1;
    int index = bar_->InsertTab(name.c_str(), pane);
    if (index < 0) {
        ::DestroyWindow(pane);
        return -1;
    }
    RECT client = {};
    if (IDockWnd* dock = interfaceCast<IDockWnd>(bar_); dock && ::GetClientRect(container_, &client))
        dock->OnSize(SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    return index;
}

void VDockDebugWnd::Append(int tab, const std::string& text) {
    HWND pane = bar_->GetTabWindow(tab);
    if (!pane || text.empty())
        return;
    auto limit = static_cast<std::size_t>(::SendMessageA(pane, EM_GETLIMITTEXT, 0, 0));
    // Room is made before the text goes in: a pane that is not shown tells
    // the tab strip, not the container, that it is full.
    std::string added = text.size() > limit ? text.substr(text.size() - limit) : text;
    if (static_cast<std::size_t>(::GetWindowTextLengthA(pane)) + added.size() > limit)
        KeepNewerHalf(pane);
    // Still no room after the older half went: the new text fills the pane.
    if (static_cast<std::size_t>(::GetWindowTextLengthA(pane)) + added.size() > limit)
        ::SetWindowTextA(pane, "");
    auto end = static_cast<WPARAM>(::GetWindowTextLengthA(pane));
    ::SendMessageA(pane, EM_SETSEL, end, static_cast<LPARAM>(end));
    ::SendMessageA(pane, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(added.c_str()));
}

void VDockDebugWnd::KeepNewerHalf(HWND pane) {
    std::string text = PaneText(pane);
    ::SetWindowTextA(pane, text.substr(text.size() / 2).c_str());
}

LRESULT VDockDebugWnd::Hook(void*, HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WorkMessage()) {
        if (!lParam)
            return 0;
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return 1;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == EN_MAXTEXT && lParam) {
        KeepNewerHalf(reinterpret_cast<HWND>(lParam));
        return -1;
    }
    return -1;
}

}  // namespace vesk::ui
