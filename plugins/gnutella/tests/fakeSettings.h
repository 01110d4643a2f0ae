// A settings store in memory for the module's own tests: typed values by
// key (the owner is not looked at), the order of every setValue, and the
// store's rule that a read with a default stores the default.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/capsule.h"
#include "vesk/data.h"
#include "vesk/persist.h"

namespace vesk::gnutella::test {

class fakeSettings : public objectBase, public persist::Isettings {
public:
    fakeSettings();
    ~fakeSettings();

    value setValue(const char* key, value v, IentityToken* owner) override;
    value getValue(const char* key, value defaultValue, IentityToken* owner) override;
    bool removeValue(const char* key, IentityToken* owner) override;
    persist::IpersistTarget* setTarget(persist::IpersistTarget*) override { return nullptr; }
    bool save() override { return true; }
    bool addCallback(persist::listener fn) override;
    bool removeCallback(persist::listener fn) override;
    bool notify() override;

    // For the tests: a value put without being recorded as set, and what a
    // key holds.
    void put(const std::string& key, const value& v);
    bool has(const std::string& key) const { return values_.count(key) != 0; }
    std::uint32_t typeOf(const std::string& key) const;
    unsigned long numberOf(const std::string& key) const;  // its number, any width
    std::string textOf(const std::string& key) const;
    std::vector<std::string> keys() const;
    void clear();

    std::vector<std::string> setOrder;  // every key given to setValue, in order

private:
    void store(const std::string& key, const value& v);
    void drop(value& v);

    std::map<std::string, value> values_;  // string objects held with one reference
    std::vector<persist::listener> listeners_;
};

}  // namespace vesk::gnutella::test
