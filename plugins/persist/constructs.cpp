#include "plugins/persist/constructs.h"

#include "plugins/persist/persistTargetFile.h"

namespace vesk::persist {

namespace {

template <class T, class... A>
Igeneric* makeTarget(A... args) {
    try {
        return static_cast<IpersistTarget*>(new capsule<T>(args...));
    } catch (...) {
        return nullptr;  // construction must not throw across the interface
    }
}

}  // namespace

Igeneric* _constructPersistTargetFile::create() { return makeTarget<persistTargetFile>(); }

Igeneric* _constructPersistTargetFile::create1(value path) {
    return makeTarget<persistTargetFile>(path.asCString());
}

Igeneric* _constructPersistTargetSQL::create() { return makeTarget<persistTargetSQL>(); }

}  // namespace vesk::persist
