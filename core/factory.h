// vesk::factory: the process's classes by name. Each table has its own
// lock; registerClass takes all four, always in the same order, and the
// create calls leave the lock before calling the construct object so that
// a constructor may use the factory itself.
#pragma once

#include "core/capsule.h"
#include "vesk/containers.h"
#include "vesk/factory.h"

namespace vesk {

class factory : public objectBase, public Ifactory, public IcoreObject {
public:
    factory();
    ~factory();

    unsigned long registerClass(Iconstruct* construct, unsigned long owner, int unused) override;
    Igeneric* create(unsigned long classId, IentityToken* owner) override;
    Igeneric* create1(unsigned long classId, IentityToken* owner, value a) override;
    Igeneric* create2(unsigned long classId, IentityToken* owner, value a, value b) override;
    Igeneric* create3(unsigned long classId, IentityToken* owner, value a, value b, value c) override;
    Igeneric* createWithArgs(unsigned long classId, IentityToken* owner, value* args) override;
    unsigned long findClass(const char* className) override;

private:
    Iconstruct* constructOf(unsigned long classId);

    unsigned long nextId_ = 2;
    Ihash* nameById_;
    Ihash* idByName_;
    Ihash* constructById_;
    Ihash* ownerById_;
};

}  // namespace vesk
