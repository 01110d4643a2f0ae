#include "plugins/ui/tabBarHost.h"

#include "core/module.h"
#include "plugins/ui/listServices.h"

namespace vesk::ui {

IWndProc* NewMessageHook(hookFn fn, void* self) {
    listServices& s = ListServices();
    IWndProc* hook = createAs<IWndProc>(s.factory, s.owner, "vesk::ui::VWndProc", reinterpret_cast<pointerInt>(fn),
                                        reinterpret_cast<pointerInt>(self));
    if (hook)
        hook->addRef();
    return hook;
}

tabBarHost::~tabBarHost() {
    if (hook_) {
        if (IWndEvents* events = interfaceCast<IWndEvents>(Container()))
            events->RemoveMessageHook(hook_);
        hook_->release();
    }
    if (bar_)
        bar_->release();
}

bool tabBarHost::Make(const char* caption, RECT* rect, hookFn hook, void* self) {
    listServices& s = ListServices();
    if (!s.control || bar_)
        return false;
    IDockTabBarWnd* bar = s.control->CreateDockTabBarWindow(caption, rect);
    if (!bar)
        return false;
    bar->addRef();
    bar->SetImageList(s.control->GetSmallImageList());
    if (s.addTabStop)
        s.addTabStop(bar->GetTabBarHandle());
    IDockWnd* dock = interfaceCast<IDockWnd>(bar);
    IWndEvents* events = interfaceCast<IWndEvents>(dock ? dock->GetContainer() : nullptr);
    hook_ = NewMessageHook(hook, self);
    if (events && hook_)
        events->AddMessageHook(hook_);
    bar_ = bar;
    return true;
}

IDockWnd* tabBarHost::DockWnd() const { return interfaceCast<IDockWnd>(bar_); }

IDockContainer* tabBarHost::Container() const {
    IDockWnd* window = DockWnd();
    return window ? window->GetContainer() : nullptr;
}

HWND tabBarHost::ContentParent() const { return bar_ ? ::GetParent(bar_->GetTabBarHandle()) : nullptr; }

int tabBarHost::AddTab(const char* caption, HWND window, int iconId) {
    IUIControl* control = ListServices().control;
    if (!bar_)
        return -1;
    int image = control ? control->AddIcon(control->GetDefaultResourceInstance(), iconId) : -1;
    return bar_->AddTab(caption, window, image);
}

}  // namespace vesk::ui
