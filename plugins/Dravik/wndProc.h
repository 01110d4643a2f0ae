// Message hooks that other modules make through the factory under the class
// name "vesk::ui::VWndProc" and attach to a window object's hook list.
#pragma once

#include <windows.h>

#include "core/capsule.h"
#include "core/constructs.h"
#include "plugins/Dravik/export.h"
#include "vesk/ui.h"
#include "vesk/value.h"

namespace vesk::ui {

// The hook's procedure, with and without the user object as first argument.
using hookCallback = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
using hookCallbackWithUser = LRESULT (*)(void* user, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class DRAVIK_API VWndProc : public objectBase, public IWndProc {
public:
    // Addresses as numbers, as they come through the factory.
    explicit VWndProc(pointerInt callback = 0, pointerInt user = 0);
    // Calls the procedure, with the user object first when there is one;
    // -1 (not handled) without a procedure.
    LRESULT HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT LastResult() const { return last_; }

private:
    pointerInt callback_;
    pointerInt user_;
    LRESULT last_ = -1;
};

// The constructor object of "vesk::ui::VWndProc": no values, or the two
// addresses as pointer-sized numbers; every other form makes nothing.
class DRAVIK_API _constructVWndProc : public constructBase {
public:
    _constructVWndProc();
    Igeneric* create() override;
    Igeneric* create2(value callback, value user) override;
};

}  // namespace vesk::ui
