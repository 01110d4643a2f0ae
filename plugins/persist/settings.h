// "vesk::persist::settings": the settings of every module in one map from
// the full key "owner.key" to a trio (key, value, owner name). The map is
// guarded by a lock of its own; listeners are called without it held, since
// a listener calls back into the store.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/capsule.h"
#include "vesk/containers.h"
#include "vesk/persist.h"

namespace vesk::persist {

class settings : public objectBase, public Isettings, public IcoreObject {
public:
    settings();
    virtual ~settings() {}

    // False when the map or the lock could not be made.
    bool ready() const { return values_ && lock_; }

    value setValue(const char* key, value v, IentityToken* owner) override;
    value getValue(const char* key, value defaultValue, IentityToken* owner) override;
    bool removeValue(const char* key, IentityToken* owner) override;
    IpersistTarget* setTarget(IpersistTarget* target) override;
    bool save() override;
    bool addCallback(listener fn) override;
    bool removeCallback(listener fn) override;
    bool notify() override;

private:
    enum storeRule { replaceStored, keepStored };
    value store(const char* key, value v, IentityToken* owner, storeRule rule);
    Itrio* storedRecord(const std::string& full);  // under the lock
    // Keeps the object of a record's value that is about to go (under the lock).
    void retire(Itrio* record);
    void load();

    ref<Ihash> values_;  // full key (string object) -> trio
    ref<Ilock> lock_;
    // getValue hands values out without a reference, and readers use them
    // after the lock is gone (copying a text from another thread): objects
    // of replaced and removed values stay until the store goes. Only a
    // changed text is replaced, so saving the same texts again keeps nothing.
    std::vector<ref<Igeneric>> retired_;
    std::map<std::uintptr_t, listener> listeners_;  // by address
    ref<IpersistTarget> target_;
};

// "owner.key" with ':' and ' ' turned into '_' in both parts; false when
// the owner has no entity.
bool fullKey(const char* key, IentityToken* owner, std::string& full, std::string& ownerName,
             std::string& keyName);

}  // namespace vesk::persist
