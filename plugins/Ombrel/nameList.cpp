#include "plugins/Ombrel/nameList.h"

#include <new>

#include "core/module.h"
#include "core/string.h"
#include "plugins/Ombrel/moduleServices.h"
#include "plugins/Ombrel/nameRegistry.h"
#include "vesk/containers.h"

namespace vesk::ss {

Ivector* makeNameList(const std::vector<int>& ascendingIds) {
    moduleServices& s = services();
    Ivector* list = createAs<Ivector>(s.factory, s.token, "vesk::vector", addRefMode);
    if (!list)
        return nullptr;
    for (int id : ascendingIds) {
        Istring* name = new (std::nothrow) string(names::text(id));
        if (name)
            list->pushBack(value(name));
        Sleep(0);
    }
    return list;
}

}  // namespace vesk::ss
