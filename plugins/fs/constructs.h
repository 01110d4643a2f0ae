// Construct objects of "vesk::fs::file" and "vesk::fs::directory": made
// without arguments or from one C-string value, the path.
#pragma once

#include "core/constructs.h"

namespace vesk::fs {

// The one-path-value rule both classes share; Make is the class's maker.
template <Igeneric* (*Make)(const char* path)>
class pathConstruct : public constructBase {
public:
    using constructBase::constructBase;
    Igeneric* create() override { return Make(nullptr); }
    // A value of any other code than a C string gives an object without a path.
    Igeneric* create1(value a) override { return Make(a.asCString()); }
};

Igeneric* makeFile(const char* path);
Igeneric* makeDirectory(const char* path);

class _constructFile : public pathConstruct<makeFile> {
public:
    _constructFile() : pathConstruct("vesk::fs::file") {}
};

class _constructDirectory : public pathConstruct<makeDirectory> {
public:
    _constructDirectory() : pathConstruct("vesk::fs::directory") {}
};

}  // namespace vesk::fs
