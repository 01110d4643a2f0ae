#include "plugins/ui/controlServices.h"

#include <new>

#include "core/module.h"
#include "plugins/ui/listServices.h"

namespace vesk::ui {

VOptions* CreateOptions() {
    listServices& s = ListServices();
    Ilock* lock = createAs<Ilock>(s.factory, s.owner, "vesk::spinLock");
    if (!lock)
        return nullptr;
    lock->addRef();
    VOptions* options = new (std::nothrow) capsule_core<VOptions>(lock);
    lock->release();  // the dialog holds its own reference
    return options;
}

VTrayCtrl* CreateTrayCtrl() { return new (std::nothrow) capsule_core<VTrayCtrl>(); }

VDockDebugWnd* CreateDockDebugWnd() { return new (std::nothrow) capsule_core<VDockDebugWnd>(); }

}  // namespace vesk::ui
