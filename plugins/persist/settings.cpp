#include "plugins/persist/settings.h"

#include <windows.h>

#include <cstring>
#include <new>
#include <vector>

#include "core/module.h"
#include "core/string.h"
#include "plugins/persist/services.h"
#include "vesk/data.h"
#include "vesk/directory.h"

namespace vesk::persist {

namespace {

std::string underscored(const char* text) {
    std::string out = text;
    for (char& c : out)
        if (c == ':' || c == ' ')
            c = '_';
    return out;
}

bool sameText(const value& stored, Istring* text) {
    const char* before = textOf(stored);
    return before && text->c_str() && std::strcmp(before, text->c_str()) == 0;
}

// The stored record (key, value, owner name), as a new trio.
ref<Itrio> makeRecord(const value& key, const value& stored, const value& ownerName) {
    ref<Itrio> record = made<Itrio>("vesk::trio", addRefMode);
    if (record) {
        record->setFirst(key);
        record->setSecond(stored);
        record->setThird(ownerName);
    }
    return record;
}

}  // namespace

bool fullKey(const char* key, IentityToken* owner, std::string& full, std::string& ownerName,
             std::string& keyName) {
    Ientity* entity = owner ? owner->getEntity() : nullptr;
    const char* name = entity ? entity->getName() : nullptr;
    if (!key || !name)
        return false;
    ownerName = underscored(name);
    keyName = underscored(key);
    full = ownerName + "." + keyName;
    return true;
}

settings::settings()
    : values_(made<Ihash>("vesk::hash", addRefMode)), lock_(made<Ilock>("vesk::criticalSectionLock")) {
    registerInterfaceOf<Isettings>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
}

value settings::setValue(const char* key, value v, IentityToken* owner) {
    return store(key, v, owner, replaceStored);
}

Itrio* settings::storedRecord(const std::string& full) {
    return interfaceCast<Itrio>(values_->find(value(full.c_str())).asGeneric());
}

value settings::store(const char* key, value v, IentityToken* owner, storeRule rule) {
    std::string full, ownerName, keyName;
    if (v.code == vt::empty || !ready() || !fullKey(key, owner, full, ownerName, keyName))
        return nothing();
    value stored = v;
    ref<Istring> copy;
    if (v.code == vt::cString && v.payload.text) {
        copy = newText(v.payload.text);
        if (!copy)
            return nothing();
        stored = value(copy.get());
    }
    ref<Istring> fullText = newText(full.c_str()), keyText = newText(keyName.c_str()),
                  ownerText = newText(ownerName.c_str());
    if (!fullText || !keyText || !ownerText)
        return nothing();
    ref<Itrio> record = makeRecord(value(keyText.get()), stored, value(ownerText.get()));
    if (!record)
        return nothing();
    lockGuard hold(lock_.get());
    Itrio* earlier = storedRecord(full);
    if (earlier) {
        value kept = earlier->getSecond();
        if (rule == keepStored || (copy && sameText(kept, copy.get())))
            return kept;
        retire(earlier);
    }
    values_->set(value(fullText.get()), value(static_cast<Igeneric*>(record.get())));
    return stored;
}

void settings::retire(Itrio* record) {
    value v = record->getSecond();
    if (!v.hasObject())
        return;
    try {
        retired_.emplace_back(v.anyObject());
    } catch (...) {
        // Out of memory: the value goes with its record, as it did before.
    }
}

value settings::getValue(const char* key, value defaultValue, IentityToken* owner) {
    std::string full, ownerName, keyName;
    if (!ready() || !fullKey(key, owner, full, ownerName, keyName))
        return nothing();
    {
        lockGuard hold(lock_.get());
        if (Itrio* record = storedRecord(full))
            return record->getSecond();
    }
    // Absent: the default is stored (a C string as a string object) and
    // returned as stored; an empty default stores nothing. A value another
    // thread stored since the look-up wins over the default.
    return store(key, defaultValue, owner, keepStored);
}

bool settings::removeValue(const char* key, IentityToken* owner) {
    std::string full, ownerName, keyName;
    if (!ready() || !fullKey(key, owner, full, ownerName, keyName))
        return false;
    lockGuard hold(lock_.get());
    Itrio* record = storedRecord(full);
    if (!record)
        return false;
    retire(record);
    return values_->erase(value(full.c_str()));
}

IpersistTarget* settings::setTarget(IpersistTarget* target) {
    if (!target || !ready())
        return target_.get();
    lockGuard hold(lock_.get());
    target_.reset(target);
    load();
    return target_.get();
}

// The target's records as they come: "group.key", nothing replaced.
void settings::load() {
    for (value v = values_->first(); v.hasObject(); v = values_->next())
        if (Itrio* record = interfaceCast<Itrio>(v.asGeneric()))
            retire(record);
    values_->clear();
    ref<Ivector> records(target_->getValues());
    if (!records)
        return;
    for (unsigned i = 0; i < records->size(); ++i) {
        Itrio* r = interfaceCast<Itrio>(records->at(i).asGeneric());
        const char* group = r ? textOf(r->getFirst()) : nullptr;
        const char* key = r ? textOf(r->getSecond()) : nullptr;
        if (!group || !key)
            continue;
        ref<Istring> fullText = newText((std::string(group) + "." + key).c_str());
        ref<Itrio> record = makeRecord(r->getSecond(), r->getThird(), r->getFirst());
        if (fullText && record)
            values_->set(value(fullText.get()), value(static_cast<Igeneric*>(record.get())));
    }
}

// Every record goes to the target, which writes them as one document. A
// store that was never filled leaves the file alone.
bool settings::save() {
    if (!ready())
        return false;
    lockGuard hold(lock_.get());
    if (values_->empty())
        return true;
    if (!target_)
        return false;
    target_->close();
    for (value v = values_->first(); v.hasObject(); v = values_->next()) {
        Itrio* record = interfaceCast<Itrio>(v.asGeneric());
        const char* key = record ? textOf(record->getFirst()) : nullptr;
        const char* ownerName = record ? textOf(record->getThird()) : nullptr;
        if (key && ownerName)
            target_->setValue(ownerName, key, record->getSecond());
    }
    return target_->save();
}

bool settings::addCallback(listener fn) {
    if (fn) {
        lockGuard hold(lock_.get());
        listeners_[reinterpret_cast<std::uintptr_t>(fn)] = fn;
    }
    return false;
}

bool settings::removeCallback(listener fn) {
    lockGuard hold(lock_.get());
    return listeners_.erase(reinterpret_cast<std::uintptr_t>(fn)) > 0;
}

bool settings::notify() {
    std::vector<listener> calls;
    {
        lockGuard hold(lock_.get());
        for (const auto& entry : listeners_)
            calls.push_back(entry.second);
    }
    for (listener fn : calls) {
        fn();
        Sleep(0);
    }
    return true;
}

}  // namespace vesk::persist
