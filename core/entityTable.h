// Entities (one for the host and one per module) and the table that holds
// them. The table takes its locks in one order everywhere: name by id, id
// by name, id by GUID, token by id.
#pragma once

#include <string>

#include "core/capsule.h"
#include "vesk/containers.h"
#include "vesk/directory.h"

namespace vesk {

class entity : public objectBase, public Ientity {
public:
    entity(const char* name, const char* description);
    const char* getName() override { return name_.c_str(); }
    const char* getDescription() override { return description_.c_str(); }

private:
    std::string name_;
    std::string description_;
};

class entityToken : public objectBase, public IentityToken {
public:
    explicit entityToken(Ientity* e);  // holds one reference to it
    ~entityToken();
    Ientity* getEntity() override { return entity_; }
    const char* getGuid() override { return guid_; }

private:
    Ientity* entity_;
    char guid_[130] = {};
};

class entityTable : public objectBase, public IentityTable, public IcoreObject {
public:
    entityTable();
    ~entityTable();

    IentityToken* createEntity(const char* name, const char* description) override;
    int removeEntity(IentityToken* token) override;
    bool hasEntity(const char* guid) override;
    unsigned long findEntity(const char* name) override;

private:
    unsigned long nextId_ = 2;
    Ihash* tokenById_;
    Ihash* nameById_;
    Ihash* idByName_;
    Ihash* idByGuid_;
};

}  // namespace vesk
