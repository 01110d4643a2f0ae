// The construct objects of the twelve core classes, and a helper for any
// module's own construct objects.
#pragma once

#include "core/capsule.h"
#include "vesk/factory.h"

namespace vesk {

class trio;
class pair;
class quad;
class hash;
class vector;
class queue;
class stack;
class primitiveLock;
class spinLock;
class readerWriterLock;
class criticalSectionLock;

// Base of construct objects: every form refuses (null) unless overridden,
// and the class name is fixed at construction.
class constructBase : public objectBase, public Iconstruct {
public:
    explicit constructBase(const char* className);
    Igeneric* create() override { return nullptr; }
    Igeneric* create1(value) override { return nullptr; }
    Igeneric* create2(value, value) override { return nullptr; }
    Igeneric* create3(value, value, value) override { return nullptr; }
    Igeneric* createWithArgs(value*) override { return nullptr; }
    const char* getClassName() override { return className_; }

private:
    const char* className_;  // constant text
};

class _constructBuffer : public constructBase {
public:
    _constructBuffer();
    Igeneric* create() override;
    Igeneric* create2(value bytes, value length) override;
};

// Containers: no value (flags 0) or the flags as one unsigned long value.
template <class C>
class containerConstruct : public constructBase {
public:
    using constructBase::constructBase;
    Igeneric* create() override;
    Igeneric* create1(value flags) override;
};

class _constructTrio : public containerConstruct<trio> {
public:
    _constructTrio();
};
class _constructPair : public containerConstruct<pair> {
public:
    _constructPair();
};
class _constructQuad : public containerConstruct<quad> {
public:
    _constructQuad();
};
class _constructHash : public containerConstruct<hash> {
public:
    _constructHash();
};
class _constructVector : public containerConstruct<vector> {
public:
    _constructVector();
    Igeneric* create2(value flags, value initial) override;
};
class _constructQueue : public containerConstruct<queue> {
public:
    _constructQueue();
};
class _constructStack : public containerConstruct<stack> {
public:
    _constructStack();
};

// Locks: made free, with no value.
template <class L>
class lockConstruct : public constructBase {
public:
    using constructBase::constructBase;
    Igeneric* create() override;
};

class _constructPrimitiveLock : public lockConstruct<primitiveLock> {
public:
    _constructPrimitiveLock();
};
class _constructSpinLock : public lockConstruct<spinLock> {
public:
    _constructSpinLock();
};
class _constructReaderWriterLock : public lockConstruct<readerWriterLock> {
public:
    _constructReaderWriterLock();
};
class _constructCriticalSectionLock : public lockConstruct<criticalSectionLock> {
public:
    _constructCriticalSectionLock();
};

// Registers the twelve core classes in their fixed order (ids 2 to 13 on a
// new factory). False when one could not be made or registered.
bool registerCoreClasses(Ifactory* factory);

}  // namespace vesk
