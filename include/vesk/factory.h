// Classes by name. A construct object makes new instances of one class; the
// factory gives each registered construct object a class id. New instances
// come back with a count of 0: the caller adds the first reference.
#pragma once

#include "vesk/value.h"
#include "vesk/object.h"

namespace vesk {

struct IentityToken;

struct Iconstruct : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::Iconstruct *";
    // A form the class does not support returns null.
    virtual Igeneric* create() = 0;
    virtual Igeneric* create1(value a) = 0;
    virtual Igeneric* create2(value a, value b) = 0;
    virtual Igeneric* create3(value a, value b, value c) = 0;
    // The array stays the caller's.
    virtual Igeneric* createWithArgs(value* args) = 0;
    virtual const char* getClassName() = 0;
};

// The owner argument is the caller's entity token; the factory does not use it.
struct Ifactory : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::Ifactory *";
    // The new class id, 0 for null. A name registered again gets a new id.
    virtual unsigned long registerClass(Iconstruct* construct, unsigned long owner, int unused) = 0;
    virtual Igeneric* create(unsigned long classId, IentityToken* owner) = 0;
    virtual Igeneric* create1(unsigned long classId, IentityToken* owner, value a) = 0;
    virtual Igeneric* create2(unsigned long classId, IentityToken* owner, value a, value b) = 0;
    virtual Igeneric* create3(unsigned long classId, IentityToken* owner, value a, value b, value c) = 0;
    virtual Igeneric* createWithArgs(unsigned long classId, IentityToken* owner, value* args) = 0;
    // 0 when no class has that name (case-sensitive).
    virtual unsigned long findClass(const char* className) = 0;
};

}  // namespace vesk
