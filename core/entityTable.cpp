#include "core/entityTable.h"

#include <objbase.h>

#include <cstdlib>
#include <new>

#include "core/hash.h"
#include "core/string.h"

namespace vesk {

entity::entity(const char* name, const char* description)
    : name_(name ? name : ""), description_(description ? description : "") {
    registerInterfaceOf<Ientity>(this);
    registerInterfaceOf<Igeneric>(this);
}

entityToken::entityToken(Ientity* e) : entity_(e) {
    registerInterfaceOf<IentityToken>(this);
    registerInterfaceOf<Igeneric>(this);
    if (entity_)
        entity_->addRef();
    GUID id;
    wchar_t wide[129];
    if (CoCreateGuid(&id) == S_OK && StringFromGUID2(id, wide, 129) > 0) {
        size_t n = std::wcstombs(guid_, wide, sizeof guid_ - 1);
        if (n == static_cast<size_t>(-1))
            guid_[0] = '\0';
    }
}

entityToken::~entityToken() {
    if (entity_)
        entity_->release();
}

entityTable::entityTable()
    : tokenById_(newHeldHash(addRefMode)),
      nameById_(newHeldHash(addRefMode)),
      idByName_(newHeldHash(addRefMode)),
      idByGuid_(newHeldHash(addRefMode)) {
    registerInterfaceOf<IentityTable>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
}

entityTable::~entityTable() {
    for (Ihash* table : {tokenById_, nameById_, idByName_, idByGuid_})
        table->release();
}

IentityToken* entityTable::createEntity(const char* name, const char* description) {
    if (!name || !description)
        return nullptr;
    IentityToken* token = nullptr;
    try {
        ref<Ientity> e(new capsule<entity>(name, description));
        token = new capsule<entityToken>(e.get());
    } catch (...) {
        return nullptr;
    }
    ref<IentityToken> keep(token);
    ref<Istring> nameText(new (std::nothrow) string(name));
    ref<Istring> guidText(new (std::nothrow) string(token->getGuid()));
    if (!nameText || !guidText || token->getGuid()[0] == '\0')
        return nullptr;
    lockGuard a(nameById_->getLock()), b(idByName_->getLock()), c(idByGuid_->getLock()),
        d(tokenById_->getLock());
    unsigned long id = nextId_++;
    nameById_->set(value(id), value(nameText.get()));
    idByName_->set(value(nameText.get()), value(id));
    idByGuid_->set(value(guidText.get()), value(id));
    tokenById_->set(value(id), value(static_cast<Igeneric*>(token)));
    return token;  // the table's reference keeps it after `keep` goes
}

int entityTable::removeEntity(IentityToken* token) {
    if (!token)
        return 0;
    ref<IentityToken> keep(token);  // erasing the table's entry may end it
    lockGuard a(nameById_->getLock()), b(idByName_->getLock()), c(idByGuid_->getLock()),
        d(tokenById_->getLock());
    value id = idByGuid_->find(value(token->getGuid()));
    if (id.code != vt::ulongV)
        return 1;
    value name = nameById_->find(id);
    if (name.code != vt::stringObject)
        return 1;
    ref<Istring> nameKeep(name.asString());
    idByGuid_->erase(value(token->getGuid()));
    nameById_->erase(id);
    // Another entity may share the name: only an entry naming this id goes.
    if (idByName_->find(name).asUlong() == id.asUlong())
        idByName_->erase(name);
    tokenById_->erase(id);
    return 1;
}

bool entityTable::hasEntity(const char* guid) {
    if (!guid)
        return false;
    lockGuard guard(idByGuid_->getLock());
    return idByGuid_->find(value(guid)).code == vt::ulongV;
}

unsigned long entityTable::findEntity(const char* name) {
    if (!name)
        return 0;
    lockGuard guard(idByName_->getLock());
    return idByName_->find(value(name)).asUlong();
}

}  // namespace vesk
