#include "core/factory.h"

#include <new>

#include "core/hash.h"
#include "core/string.h"

namespace vesk {

factory::factory()
    : nameById_(newHeldHash(addRefMode)),
      idByName_(newHeldHash(addRefMode)),
      constructById_(newHeldHash(addRefMode)),
      ownerById_(newHeldHash(addRefMode)) {
    registerInterfaceOf<Ifactory>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
}

factory::~factory() {
    for (Ihash* table : {nameById_, idByName_, constructById_, ownerById_})
        table->release();
}

unsigned long factory::registerClass(Iconstruct* construct, unsigned long owner, int) {
    if (!construct)
        return 0;
    ref<Istring> name(new (std::nothrow) string(construct->getClassName()));
    if (!name)
        return 0;
    lockGuard a(nameById_->getLock()), b(idByName_->getLock()), c(constructById_->getLock()),
        d(ownerById_->getLock());
    unsigned long id = nextId_++;
    nameById_->set(value(id), value(name.get()));
    idByName_->set(value(name.get()), value(id));
    constructById_->set(value(id), value(static_cast<Igeneric*>(construct)));
    ownerById_->set(value(id), value(owner));
    return id;
}

Iconstruct* factory::constructOf(unsigned long classId) {
    if (classId == 0)
        return nullptr;
    lockGuard guard(constructById_->getLock());
    return interfaceCast<Iconstruct>(constructById_->find(value(classId)).asGeneric());
}

namespace {

// Construct objects come from modules: one that throws gives null here
// rather than an exception in its caller's module.
template <class F>
Igeneric* madeBy(Iconstruct* construct, F make) {
    if (!construct)
        return nullptr;
    try {
        return make(construct);
    } catch (...) {
        return nullptr;
    }
}

}  // namespace

Igeneric* factory::create(unsigned long classId, IentityToken*) {
    return madeBy(constructOf(classId), [](Iconstruct* c) { return c->create(); });
}

Igeneric* factory::create1(unsigned long classId, IentityToken*, value a) {
    return madeBy(constructOf(classId), [&](Iconstruct* c) { return c->create1(a); });
}

Igeneric* factory::create2(unsigned long classId, IentityToken*, value a, value b) {
    return madeBy(constructOf(classId), [&](Iconstruct* c) { return c->create2(a, b); });
}

Igeneric* factory::create3(unsigned long classId, IentityToken*, value a, value b, value c) {
    return madeBy(constructOf(classId), [&](Iconstruct* k) { return k->create3(a, b, c); });
}

Igeneric* factory::createWithArgs(unsigned long classId, IentityToken*, value* args) {
    return madeBy(constructOf(classId), [&](Iconstruct* c) { return c->createWithArgs(args); });
}

unsigned long factory::findClass(const char* className) {
    if (!className)
        return 0;
    lockGuard guard(idByName_->getLock());
    return idByName_->find(value(className)).asUlong();
}

}  // namespace vesk
