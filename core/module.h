// Small helpers every module uses to meet the others: service look-up by
// interface name and object creation by class name.
#pragma once

#include "vesk/directory.h"
#include "vesk/factory.h"
#include "vesk/object.h"
#include "vesk/threading.h"
#include "vesk/value.h"

namespace vesk {

// The service published under T's name, converted to T; null when absent.
template <class T>
T* lookupService(Icore* core) {
    return core ? interfaceCast<T>(core->getObject(nameOf<T>())) : nullptr;
}

// A new object (count 0) as T; null when there is none or it is no T, in
// which case it is freed again (nobody else holds it).
template <class T>
T* newObjectAs(Igeneric* made) {
    T* result = interfaceCast<T>(made);
    if (made && !result) {
        made->addRef();
        made->release();
    }
    return result;
}

// A new object of the named class (count 0) as T; null when the class is
// unknown, the form is refused or the object is no T. A refused conversion
// frees the new object.
template <class T, class... V>
T* createAs(Ifactory* factory, IentityToken* owner, const char* className, V... values) {
    if (!factory)
        return nullptr;
    unsigned long id = factory->findClass(className);
    Igeneric* made = nullptr;
    if constexpr (sizeof...(V) == 0)
        made = factory->create(id, owner);
    else if constexpr (sizeof...(V) == 1)
        made = factory->create1(id, owner, value(values)...);
    else if constexpr (sizeof...(V) == 2)
        made = factory->create2(id, owner, value(values)...);
    else
        made = factory->create3(id, owner, value(values)...);
    return newObjectAs<T>(made);
}

// Publishes a module's new core object under I's name; when that fails
// (name taken, no accessor) the object is ended again with releaseCore.
template <class I, class T>
bool publishService(IcoreAccessor* accessor, T* service) {
    if (!service)
        return false;
    if (accessor && accessor->registerObject(nameOf<I>(), static_cast<I*>(service)))
        return true;
    service->releaseCore();
    return false;
}

// A named thread of the thread class running procedure, made but not yet
// started; the caller holds the one reference returned. Null when the class
// is unknown (0) or what it makes is no thread.
inline Ithread* newThread(Ifactory* factory, IentityToken* owner, unsigned long threadClass, const char* name,
                          void* user, threadProc procedure) {
    if (!factory || !threadClass)
        return nullptr;
    value args[5] = {value(4L), value(name), value(user), addressValue(procedure),
                     value(static_cast<Igeneric*>(owner))};
    Ithread* thread = newObjectAs<Ithread>(factory->createWithArgs(threadClass, owner, args));
    if (thread)
        thread->addRef();
    return thread;
}

// A named thread of the threader ("vesk::thread") running procedure, made
// and started; the caller holds the one reference returned. Null when the
// threader is not there (yet) or the thread could not start.
inline Ithread* startThread(Ifactory* factory, IentityToken* owner, const char* name, void* user,
                            threadProc procedure) {
    Ithread* thread =
        factory ? newThread(factory, owner, factory->findClass("vesk::thread"), name, user, procedure) : nullptr;
    if (thread && !thread->start()) {
        thread->release();
        return nullptr;
    }
    return thread;
}

}  // namespace vesk
