// The settings store ("vesk::persist::Isettings *"), the install settings
// ("vesk::persist::IinstallSettings *") and the storage targets the store is
// filled from and saved to. Both stores are core objects published by the
// persist module. Values are passed and returned by value; a returned value
// is a copy that carries no reference of its own.
#pragma once

#include "vesk/object.h"
#include "vesk/value.h"

namespace vesk {

struct IentityToken;
struct Ivector;

namespace fs {
struct Ifile;
}

namespace persist {

// A save hook: called by notify() before the settings are written so that
// a module can put its latest values into the store. The result is ignored.
using listener = bool (*)();

// Where the store's values are kept. The store hands values over grouped by
// owner name and reads them back as (group, key, value) records.
struct IpersistTarget : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::persist::IpersistTarget *";
    // Adds the value to the pending contents; false for a null group or key
    // or an empty value (type code 0).
    virtual bool setValue(const char* group, const char* key, value v) = 0;
    // Empties the pending contents; what the target held is replaced by
    // the next save.
    virtual bool close() = 0;
    // A new vector (count 0) of trios (group, key, value), groups and keys
    // as string objects; null when the target holds nothing.
    virtual Ivector* getValues() = 0;
    // Writes the pending contents to the storage; false when they could not
    // be written (what the storage held is then unchanged).
    virtual bool save() = 0;
};

// Typed values by owner and key. A value is filed under the owner entity's
// name and the key, "owner.key", with ':' and ' ' in both turned into '_'.
// A C-string value is stored as a string object holding a copy. The store
// may be used from several threads; its lock is not held while listeners
// run, so a listener may call back into it.
struct Isettings : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::persist::Isettings *";
    // The value as stored; long 0 and nothing stored for a null key or
    // owner or an empty value.
    virtual value setValue(const char* key, value v, IentityToken* owner) = 0;
    // The stored value; when absent the default is stored (as setValue)
    // and returned. Long 0 for a null key or owner. No reference is added:
    // an object handed out stays alive until the store goes, whatever
    // another thread sets or removes meanwhile.
    virtual value getValue(const char* key, value defaultValue, IentityToken* owner) = 0;
    virtual bool removeValue(const char* key, IentityToken* owner) = 0;
    // Null asks the current target. Otherwise the store keeps the target
    // (one reference), replaces its values by the target's and returns it.
    virtual IpersistTarget* setTarget(IpersistTarget* target) = 0;
    // Hands every value to the target and has it write them. True when the
    // store is empty (nothing is written) or the target wrote them; false
    // when values exist but no target is attached or the write failed.
    virtual bool save() = 0;
    virtual bool addCallback(listener fn) = 0;
    // True when fn was registered.
    virtual bool removeCallback(listener fn) = 0;
    // Calls every listener once, in ascending address order.
    virtual bool notify() = 0;
};

// Read-only values from the install settings file, read once at start-up.
struct IinstallSettings : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::persist::IinstallSettings *";
    // The value under the key, long 0 when absent; unsigned long 0 for a
    // null key.
    virtual value getValue(const char* key) = 0;
    // Reads the file (which is then deleted) into the install values.
    // Returns file when it could be attempted, null otherwise.
    virtual fs::Ifile* load(fs::Ifile* file) = 0;
};

}  // namespace persist
}  // namespace vesk
