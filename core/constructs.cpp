#include "core/constructs.h"

#include <new>

#include "core/buffer.h"
#include "core/hash.h"
#include "core/locks.h"
#include "core/queue.h"
#include "core/records.h"
#include "core/vector.h"

namespace vesk {

namespace {

// Construction must not throw across the interface: failures give null.
template <class T, class... A>
Igeneric* make(A&&... args) {
    try {
        return new capsule<T>(std::forward<A>(args)...);
    } catch (...) {
        return nullptr;
    }
}

}  // namespace

constructBase::constructBase(const char* className) : className_(className) {
    registerInterfaceOf<Iconstruct>(this);
    registerInterfaceOf<Igeneric>(this);
}

_constructBuffer::_constructBuffer() : constructBase("vesk::buffer") {}
Igeneric* _constructBuffer::create() { return make<buffer>(); }
// Other codes than an untyped pointer and an unsigned long count as null and
// 0 (an empty buffer); a copy that cannot be made gives null.
Igeneric* _constructBuffer::create2(value bytes, value length) {
    return newBuffer(bytes.asPointer(), static_cast<unsigned>(length.asUlong()));
}

template <class C>
Igeneric* containerConstruct<C>::create() {
    return make<C>();
}

template <class C>
Igeneric* containerConstruct<C>::create1(value flags) {
    return make<C>(flags);
}

_constructTrio::_constructTrio() : containerConstruct("vesk::trio") {}
_constructPair::_constructPair() : containerConstruct("vesk::pair") {}
_constructQuad::_constructQuad() : containerConstruct("vesk::quad") {}
_constructHash::_constructHash() : containerConstruct("vesk::hash") {}
_constructVector::_constructVector() : containerConstruct("vesk::vector") {}
Igeneric* _constructVector::create2(value flags, value initial) { return make<vector>(flags, initial); }
_constructQueue::_constructQueue() : containerConstruct("vesk::queue") {}
_constructStack::_constructStack() : containerConstruct("vesk::stack") {}

template <class L>
Igeneric* lockConstruct<L>::create() {
    return make<L>();
}

_constructPrimitiveLock::_constructPrimitiveLock() : lockConstruct("vesk::primitiveLock") {}
_constructSpinLock::_constructSpinLock() : lockConstruct("vesk::spinLock") {}
_constructReaderWriterLock::_constructReaderWriterLock() : lockConstruct("vesk::readerWriterLock") {}
_constructCriticalSectionLock::_constructCriticalSectionLock() : lockConstruct("vesk::criticalSectionLock") {}

bool registerCoreClasses(Ifactory* factory) {
    if (!factory)
        return false;
    Iconstruct* constructs[] = {
        new (std::nothrow) capsule<_constructBuffer>(),
        new (std::nothrow) capsule<_constructTrio>(),
        new (std::nothrow) capsule<_constructPair>(),
        new (std::nothrow) capsule<_constructQuad>(),
        new (std::nothrow) capsule<_constructHash>(),
        new (std::nothrow) capsule<_constructVector>(),
        new (std::nothrow) capsule<_constructQueue>(),
        new (std::nothrow) capsule<_constructStack>(),
        new (std::nothrow) capsule<_constructPrimitiveLock>(),
        new (std::nothrow) capsule<_constructSpinLock>(),
        new (std::nothrow) capsule<_constructReaderWriterLock>(),
        new (std::nothrow) capsule<_constructCriticalSectionLock>(),
    };
    bool all = true;
    for (Iconstruct* c : constructs) {
        if (!c || factory->registerClass(c, 0, 0) == 0) {
            all = false;
            if (c) {  // not taken by the factory: free it
                c->addRef();
                c->release();
            }
        }
    }
    return all;
}

}  // namespace vesk
