#include "plugins/ui/toolBarHost.h"

#include "plugins/ui/listServices.h"

namespace vesk::ui {

toolBarHost::~toolBarHost() {
    IDockWnd* dock = DockWnd();
    if (hook_) {
        if (IWndEvents* events = interfaceCast<IWndEvents>(dock ? dock->GetContainer() : nullptr))
            events->RemoveMessageHook(hook_);
        hook_->release();
    }
    if (bar_)
        bar_->release();
}

bool toolBarHost::Make(const char* caption, RECT* rect, DWORD style, unsigned toolBarId, unsigned bitmapId,
                       hookFn hook, void* self) {
    IUIControl* control = ListServices().control;
    if (!control || bar_)
        return false;
    IDockToolBarWnd* bar = control->CreateDockToolBarWindow(caption, rect);
    if (!bar)
        return false;
    bar->addRef();
    bar_ = bar;
    buttons_ = bar->GetToolBarHandle();
    if (style)
        ::SetWindowLongPtrA(buttons_, GWL_STYLE, style);
    bar->LoadToolBar(control->GetDefaultResourceInstance(), MAKEINTRESOURCEA(toolBarId), MAKEINTRESOURCEA(bitmapId));
    IDockWnd* dock = DockWnd();
    IWndEvents* events = interfaceCast<IWndEvents>(dock ? dock->GetContainer() : nullptr);
    hook_ = NewMessageHook(hook, self);
    if (events && hook_)
        events->AddMessageHook(hook_);
    return true;
}

bool toolBarHost::AnswerToolTip(UINT message, LPARAM lParam, const toolTip* tips, int count) {
    auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (message != WM_NOTIFY || !header || header->code != TTN_NEEDTEXTA)
        return false;
    auto* request = reinterpret_cast<NMTTDISPINFOA*>(lParam);
    for (int i = 0; i < count; ++i)
        if (static_cast<UINT_PTR>(tips[i].command) == request->hdr.idFrom) {
            std::string text = LanguageText(tips[i].text, sizeof request->szText);
            lstrcpynA(request->szText, text.c_str(), sizeof request->szText);
            request->lpszText = request->szText;
            request->hinst = nullptr;
            return true;
        }
    return false;
}

void toolBarHost::MarkViewItem(int item, bool shown) {
    if (HMENU view = ListServices().viewMenu)
        ::CheckMenuItem(view, static_cast<UINT>(item), MF_BYCOMMAND | (shown ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace vesk::ui
