#include "core/coreDirectory.h"

#include <new>

#include "core/hash.h"
#include "core/string.h"

namespace vesk {

core::core()
    : objectById_(newHeldHash(0)), idByName_(newHeldHash(addRefMode)), nameById_(newHeldHash(addRefMode)) {
    registerInterfaceOf<Icore>(this);
    registerInterfaceOf<IcoreAccessor>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
}

core::~core() {
    for (;;) {
        Igeneric* object;
        {
            lockGuard guard(objectById_->getLock());
            if (objectById_->empty())
                break;
            object = objectById_->first().asGeneric();
            objectById_->erase(objectById_->currentKey());
        }
        // Outside the lock: an object may look services up while it ends.
        if (IcoreObject* coreObject = interfaceCast<IcoreObject>(object))
            coreObject->releaseCore();
    }
    objectById_->release();
    idByName_->release();
    nameById_->release();
}

Igeneric* core::getObject(const char* name) {
    if (!name)
        return nullptr;
    lockGuard a(idByName_->getLock()), b(objectById_->getLock());
    value id = idByName_->find(value(name));
    if (id.code != vt::ulongV)
        return nullptr;
    return objectById_->find(id).asGeneric();
}

unsigned long core::registerObject(const char* name, Igeneric* object) {
    if (!name || !object)
        return 0;
    ref<Istring> text(new (std::nothrow) string(name));
    if (!text)
        return 0;
    lockGuard a(idByName_->getLock()), b(nameById_->getLock()), c(objectById_->getLock());
    if (idByName_->find(value(name)).code == vt::ulongV)
        return 0;
    unsigned long id = nextId_++;
    nameById_->set(value(id), value(text.get()));
    idByName_->set(value(text.get()), value(id));
    objectById_->set(value(id), value(object));
    return id;
}

// Called with all three locks held.
void core::eraseEntries(unsigned long id, const value& name) {
    ref<Istring> keep(name.asString());  // the tables hold the only references
    idByName_->erase(name);
    nameById_->erase(value(id));
    objectById_->erase(value(id));
}

bool core::unregisterObject(const char* name) {
    if (!name)
        return false;
    lockGuard a(idByName_->getLock()), b(nameById_->getLock()), c(objectById_->getLock());
    value id = idByName_->find(value(name));
    if (id.code != vt::ulongV)
        return false;
    eraseEntries(id.asUlong(), nameById_->find(id));
    return true;
}

bool core::unregisterObjectById(unsigned long id) {
    if (id == 0)
        return false;
    lockGuard a(idByName_->getLock()), b(nameById_->getLock()), c(objectById_->getLock());
    value name = nameById_->find(value(id));
    if (name.code != vt::stringObject)
        return false;
    eraseEntries(id, name);
    return true;
}

}  // namespace vesk
