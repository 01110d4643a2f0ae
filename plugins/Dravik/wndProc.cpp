#include "plugins/Dravik/wndProc.h"

#include <new>

namespace vesk::ui {

namespace {

// A number of the pointer-sized type (long on 32-bit Windows); 0 otherwise.
pointerInt addressOf(const value& v) { return v.code == vt::pointerIntV ? v.asPointerInt() : 0; }

}  // namespace

VWndProc::VWndProc(pointerInt callback, pointerInt user) : callback_(callback), user_(user) {
    registerInterfaceOf<IWndProc>(this);
    registerInterfaceOf<Igeneric>(this);
}

LRESULT VWndProc::HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!callback_)
        return -1;
    if (user_)
        last_ = reinterpret_cast<hookCallbackWithUser>(callback_)(reinterpret_cast<void*>(user_), window, message,
                                                                  wParam, lParam);
    else
        last_ = reinterpret_cast<hookCallback>(callback_)(window, message, wParam, lParam);
    return last_;
}

_constructVWndProc::_constructVWndProc() : constructBase("vesk::ui::VWndProc") {}

Igeneric* _constructVWndProc::create() { return static_cast<IWndProc*>(new (std::nothrow) capsule<VWndProc>()); }

Igeneric* _constructVWndProc::create2(value callback, value user) {
    return static_cast<IWndProc*>(new (std::nothrow) capsule<VWndProc>(addressOf(callback), addressOf(user)));
}

}  // namespace vesk::ui
