// The core directory (services published by interface name) and the entity
// table (one entity per module, identified by a token).
#pragma once

#include "vesk/object.h"

namespace vesk {

// Look-ups return pointers without a reference; published services live
// until the directory is destroyed at exit.
struct Icore : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::Icore *";
    virtual Igeneric* getObject(const char* name) = 0;
};

struct IcoreAccessor : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::IcoreAccessor *";
    // The new id; 0 when an argument is null or the name is already taken.
    virtual unsigned long registerObject(const char* name, Igeneric* object) = 0;
    virtual bool unregisterObject(const char* name) = 0;
    virtual bool unregisterObjectById(unsigned long id) = 0;
};

struct Ientity : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::Ientity *";
    virtual const char* getName() = 0;
    virtual const char* getDescription() = 0;
};

struct IentityToken : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::IentityToken *";
    virtual Ientity* getEntity() = 0;  // no reference added
    // 38 characters: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
    virtual const char* getGuid() = 0;
};

struct IentityTable : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::IentityTable *";
    // The table holds the token; a caller that keeps it adds a reference.
    virtual IentityToken* createEntity(const char* name, const char* description) = 0;
    virtual int removeEntity(IentityToken* token) = 0;
    virtual bool hasEntity(const char* guid) = 0;
    virtual unsigned long findEntity(const char* name) = 0;
};

}  // namespace vesk
