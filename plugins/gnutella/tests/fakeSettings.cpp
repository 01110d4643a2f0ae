#include "plugins/gnutella/tests/fakeSettings.h"

#include <algorithm>

#include "core/string.h"

namespace vesk::gnutella::test {

fakeSettings::fakeSettings() {
    registerInterfaceOf<persist::Isettings>(this);
    registerInterfaceOf<Igeneric>(this);
}

fakeSettings::~fakeSettings() {
    clear();
}

void fakeSettings::drop(value& v) {
    if (v.code == vt::stringObject && v.asString())
        v.asString()->release();
}

void fakeSettings::store(const std::string& key, const value& v) {
    value kept = v;
    if (v.code == vt::cString) {
        Istring* s = new vesk::string(v.payload.text);
        s->addRef();
        kept = value(s);
    } else if (v.code == vt::stringObject && v.asString()) {
        v.asString()->addRef();
    }
    auto found = values_.find(key);
    if (found != values_.end()) {
        drop(found->second);
        found->second = kept;
    } else {
        values_.emplace(key, kept);
    }
}

value fakeSettings::setValue(const char* key, value v, IentityToken*) {
    if (!key || v.code == vt::empty)
        return value(0L);
    setOrder.push_back(key);
    store(key, v);
    return values_[key];
}

value fakeSettings::getValue(const char* key, value defaultValue, IentityToken*) {
    if (!key)
        return value(0L);
    auto found = values_.find(key);
    if (found != values_.end())
        return found->second;
    if (defaultValue.code == vt::empty)
        return value(0L);
    store(key, defaultValue);
    return values_[key];
}

bool fakeSettings::removeValue(const char* key, IentityToken*) {
    auto found = key ? values_.find(key) : values_.end();
    if (found == values_.end())
        return false;
    drop(found->second);
    values_.erase(found);
    return true;
}

bool fakeSettings::addCallback(persist::listener fn) {
    if (fn && std::find(listeners_.begin(), listeners_.end(), fn) == listeners_.end())
        listeners_.push_back(fn);
    return fn != nullptr;
}

bool fakeSettings::removeCallback(persist::listener fn) {
    auto found = std::find(listeners_.begin(), listeners_.end(), fn);
    if (found == listeners_.end())
        return false;
    listeners_.erase(found);
    return true;
}

bool fakeSettings::notify() {
    for (persist::listener fn : listeners_)
        fn();
    return true;
}

void fakeSettings::put(const std::string& key, const value& v) {
    store(key, v);
}

std::uint32_t fakeSettings::typeOf(const std::string& key) const {
    auto found = values_.find(key);
    return found == values_.end() ? vt::empty : found->second.code;
}

unsigned long fakeSettings::numberOf(const std::string& key) const {
    auto found = values_.find(key);
    if (found == values_.end())
        return 0;
    const value& v = found->second;
    switch (v.code) {
        case vt::ucharV:
            return v.asUchar();
        case vt::ushortV:
            return v.asUshort();
        case vt::longV:
            return static_cast<unsigned long>(v.asLong());
        default:
            return v.asUlong();
    }
}

std::string fakeSettings::textOf(const std::string& key) const {
    auto found = values_.find(key);
    Istring* s = found == values_.end() ? nullptr : found->second.asString();
    return s && s->c_str() ? s->c_str() : "";
}

std::vector<std::string> fakeSettings::keys() const {
    std::vector<std::string> all;
    for (const auto& entry : values_)
        all.push_back(entry.first);
    return all;
}

void fakeSettings::clear() {
    for (auto& entry : values_)
        drop(entry.second);
    values_.clear();
    setOrder.clear();
}

}  // namespace vesk::gnutella::test
