// Construct objects of the two storage-target classes.
#pragma once

#include "core/constructs.h"

namespace vesk::persist {

// create: a target without a path; create1 with a C string: a target for
// that path, which reads the file at once; any other value: no path.
class _constructPersistTargetFile : public constructBase {
public:
    _constructPersistTargetFile() : constructBase("vesk::persist::persistTargetFile") {}
    Igeneric* create() override;
    Igeneric* create1(value path) override;
};

// create and create1 (whatever the value): a target that refuses everything.
class _constructPersistTargetSQL : public constructBase {
public:
    _constructPersistTargetSQL() : constructBase("vesk::persist::persistTargetSQL") {}
    Igeneric* create() override;
    Igeneric* create1(value) override { return create(); }
};

}  // namespace vesk::persist
