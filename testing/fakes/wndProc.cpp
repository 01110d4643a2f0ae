#include "testing/fakes/wndProc.h"

#include <new>

#include "core/capsule.h"
#include "core/constructs.h"
#include "vesk/ui.h"

namespace vesk::testing {

namespace {

class wndProc : public objectBase, public ui::IWndProc {
public:
    wndProc(long procedure, long user) : procedure_(procedure), user_(user) {
        registerInterfaceOf<ui::IWndProc>(this);
        registerInterfaceOf<Igeneric>(this);
    }

    long HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (!procedure_)
            return -1;  // nothing to ask: not handled
        if (user_)
            return reinterpret_cast<hookProcedureWithUser>(procedure_)(reinterpret_cast<void*>(user_),
                                                                        window, message, wParam, lParam);
        return reinterpret_cast<hookProcedure>(procedure_)(window, message, wParam, lParam);
    }

private:
    long procedure_;
    long user_;
};

long longOf(const value& v) { return v.code == vt::longV ? v.payload.l : 0; }

class _constructVWndProc : public constructBase {
public:
    _constructVWndProc() : constructBase("vesk::ui::VWndProc") {}
    Igeneric* create() override { return make(0, 0); }
    Igeneric* create2(value procedure, value user) override { return make(longOf(procedure), longOf(user)); }

private:
    static Igeneric* make(long procedure, long user) {
        ui::IWndProc* hook = new (std::nothrow) capsule<wndProc>(procedure, user);
        return hook;
    }
};

}  // namespace

Iconstruct* newWndProcConstruct() { return new (std::nothrow) capsule<_constructVWndProc>(); }

}  // namespace vesk::testing
