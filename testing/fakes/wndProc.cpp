#include "testing/fakes/wndProc.h"

#include <atomic>
#include <new>

#include "core/capsule.h"
#include "core/constructs.h"
#include "vesk/ui.h"

namespace vesk::testing {

namespace {

std::atomic<std::size_t> made{0};

class wndProc : public objectBase, public ui::IWndProc {
public:
    wndProc(pointerInt procedure, pointerInt user) : procedure_(procedure), user_(user) {
        registerInterfaceOf<ui::IWndProc>(this);
        registerInterfaceOf<Igeneric>(this);
    }

    LRESULT HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (!procedure_)
            return -1;  // nothing to ask: not handled
        if (user_)
            return reinterpret_cast<hookProcedureWithUser>(procedure_)(reinterpret_cast<void*>(user_),
                                                                        window, message, wParam, lParam);
        return reinterpret_cast<hookProcedure>(procedure_)(window, message, wParam, lParam);
    }

private:
    pointerInt procedure_;
    pointerInt user_;
};

class _constructVWndProc : public constructBase {
public:
    _constructVWndProc() : constructBase("vesk::ui::VWndProc") {}
    Igeneric* create() override { return make(0, 0); }
    Igeneric* create2(value procedure, value user) override { return make(procedure.asPointerInt(), user.asPointerInt()); }

private:
    static Igeneric* make(pointerInt procedure, pointerInt user) {
        ui::IWndProc* hook = new (std::nothrow) capsule<wndProc>(procedure, user);
        if (hook)
            ++made;
        return hook;
    }
};

}  // namespace

std::size_t WndProcsMade() { return made.load(); }

Iconstruct* newWndProcConstruct() { return new (std::nothrow) capsule<_constructVWndProc>(); }

}  // namespace vesk::testing
