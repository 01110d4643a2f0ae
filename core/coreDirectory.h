// vesk::core: services published under their interface names. Every
// operation takes the table locks it needs in one order: id by name, name by
// id, object by id.
#pragma once

#include "core/capsule.h"
#include "vesk/containers.h"
#include "vesk/directory.h"

namespace vesk {

class core : public objectBase, public Icore, public IcoreAccessor, public IcoreObject {
public:
    core();
    // Ends every published core object, in the order of publication.
    ~core();

    Igeneric* getObject(const char* name) override;
    unsigned long registerObject(const char* name, Igeneric* object) override;
    bool unregisterObject(const char* name) override;
    bool unregisterObjectById(unsigned long id) override;

private:
    void eraseEntries(unsigned long id, const value& name);

    unsigned long nextId_ = 2;
    Ihash* objectById_;  // holds no references to the objects
    Ihash* idByName_;
    Ihash* nameById_;
};

}  // namespace vesk
