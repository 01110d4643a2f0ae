#include "plugins/Dravik/windowBinding.h"

#include <map>

#include "plugins/Dravik/section.h"

namespace vesk::ui {

namespace {

struct binding {
    IWnd* object = nullptr;  // not owned
    WNDPROC previous = nullptr;
};

// Windows belong to GUI threads, but a window may be looked up from the
// thread of a window it sends to; the table is guarded.
struct bindingTable {
    criticalSection lock;
    std::map<HWND, binding> windows;
};

bindingTable& table() {
    static bindingTable* t = new bindingTable();  // lives to the end: windows die late
    return *t;
}

LONG_PTR slotValue(IWnd* object) { return reinterpret_cast<LONG_PTR>(object); }

}  // namespace

IWnd* boundObject(HWND window) {
    if (!window)
        return nullptr;
    bindingTable& t = table();
    IWnd* object = nullptr;
    {
        sectionGuard guard(t.lock);
        auto found = t.windows.find(window);
        if (found != t.windows.end())
            object = found->second.object;
    }
    // Someone else may have written the slot since.
    if (object && GetWindowLongPtrA(window, GWLP_USERDATA) != slotValue(object))
        return nullptr;
    return object;
}

LONG_PTR bindObject(HWND window, IWnd* object) {
    if (!window || !::IsWindow(window))
        return 0;
    bindingTable& t = table();
    sectionGuard guard(t.lock);
    t.windows[window].object = object;
    return SetWindowLongPtrA(window, GWLP_USERDATA, slotValue(object));
}

void unbindObject(IWnd* object) {
    if (!object)
        return;
    bindingTable& t = table();
    sectionGuard guard(t.lock);
    for (auto& [window, entry] : t.windows) {
        if (entry.object != object)
            continue;
        entry.object = nullptr;
        if (GetWindowLongPtrA(window, GWLP_USERDATA) == slotValue(object))
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    }
}

void forgetWindow(HWND window) {
    bindingTable& t = table();
    sectionGuard guard(t.lock);
    t.windows.erase(window);
}

void rememberPreviousProc(HWND window, WNDPROC previous) {
    if (!window)
        return;
    bindingTable& t = table();
    sectionGuard guard(t.lock);
    t.windows[window].previous = previous;
}

WNDPROC previousProc(HWND window) {
    bindingTable& t = table();
    sectionGuard guard(t.lock);
    auto found = t.windows.find(window);
    return found == t.windows.end() ? nullptr : found->second.previous;
}

IWndEvents* boundEvents(HWND window) { return interfaceCast<IWndEvents>(boundObject(window)); }

}  // namespace vesk::ui
