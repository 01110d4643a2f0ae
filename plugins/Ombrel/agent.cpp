#include "plugins/Ombrel/agent.h"

#include <new>
#include <vector>

#include "core/module.h"
#include "plugins/Ombrel/moduleServices.h"
#include "plugins/Ombrel/nameList.h"
#include "plugins/Ombrel/nameRegistry.h"
#include "vesk/containers.h"
#include "vesk/data.h"

namespace vesk::ss {

namespace {

// The two marker results of the property getters.
value nullArgument() { return value(0L); }
value absent() { return value(-1L); }

Ilock* newSpinLock() {
    moduleServices& s = services();
    Ilock* lock = createAs<Ilock>(s.factory, s.token, "vesk::spinLock");
    if (lock)
        lock->addRef();
    return lock;
}

unsigned payloadLength(const value& v) {
    if (v.code == vt::stringObject && v.payload.string)
        return v.payload.string->length();
    if (v.code == vt::bufferObject && v.payload.buffer)
        return v.payload.buffer->resize(0);
    return 0;
}

template <class Map>
std::vector<int> idsOf(const Map& m) {
    std::vector<int> ids;
    for (const auto& entry : m)
        ids.push_back(entry.first);
    return ids;
}

}  // namespace

CAgent::CAgent() : attributeLock_(newSpinLock()), actionLock_(newSpinLock()) {
    registerInterfaceOf<IAgent>(this);
    registerInterfaceOf<Igeneric>(this);
}

CAgent::~CAgent() {
    // Same order as everywhere a thread could still be inside: actions first.
    if (actionLock_)
        actionLock_->lock(0);
    if (attributeLock_)
        attributeLock_->lock(0);
    closing_ = true;
    if (actionLock_)
        actionLock_->unlock(0);
    if (attributeLock_)
        attributeLock_->unlock(0);
    clearActionEntries();
    clearAttributeEntries();
    if (actionLock_)
        actionLock_->release();
    if (attributeLock_)
        attributeLock_->release();
}

// ---- properties of the agent

Ivector* CAgent::GetPropertyNames() {
    std::vector<int> ids;
    {
        lockGuard hold(attributeLock_);
        ids = properties_.Ids();
    }
    return makeNameList(ids);
}

value CAgent::GetProperty(const char* name) {
    if (!name)
        return nullArgument();
    int id = names::find(name);
    value result = absent();
    lockGuard hold(attributeLock_);
    properties_.Get(id, result);
    return result;
}

bool CAgent::SetProperty(const char* name, value v) {
    if (!name)
        return false;
    int id = names::intern(name);
    lockGuard hold(attributeLock_);
    properties_.Set(id, v);
    return true;
}

bool CAgent::RemoveProperty(const char* name) {
    if (!name)
        return false;
    int id = names::find(name);
    lockGuard hold(attributeLock_);
    return properties_.Remove(id);
}

bool CAgent::ClearProperties() {
    lockGuard hold(attributeLock_);
    properties_.Clear();
    return true;
}

// ---- attributes

Ivector* CAgent::GetAttributeNames() {
    std::vector<int> ids;
    {
        lockGuard hold(attributeLock_);
        if (closing_)
            return nullptr;
        ids = idsOf(attributes_);
    }
    return makeNameList(ids);
}

value CAgent::GetAttribute(const char* name) {
    if (!name)
        return nullArgument();
    int id = names::find(name);
    lockGuard hold(attributeLock_);
    if (closing_)
        return nullArgument();
    auto found = attributes_.find(id);
    return found == attributes_.end() ? nullArgument() : found->second.kept;
}

void CAgent::storeAttribute(int id, const value& v) {
    value kept = keepValue(v, true);
    auto found = attributes_.find(id);
    if (found != attributes_.end()) {
        dropValue(found->second.kept, true);
        found->second.kept = kept;
    } else {
        attributes_.emplace(id, attributeEntry{kept, new CAttributes()});
    }
}

bool CAgent::SetAttributeBuffer(const char* name, const void* data, unsigned size) {
    if (!name)
        return false;
    moduleServices& s = services();
    Ibuffer* bytes = createAs<Ibuffer>(s.factory, s.token, "vesk::buffer",
                                       const_cast<void*>(data), static_cast<unsigned long>(size));
    if (!bytes)
        return false;
    bytes->addRef();  // held while stored; keepValue adds the agent's own
    int id = names::intern(name);
    {
        lockGuard hold(attributeLock_);
        storeAttribute(id, value(bytes));
    }
    bytes->release();
    return true;
}

bool CAgent::SetAttribute(const char* name, value v) {
    if (!name)
        return false;
    int id = names::intern(name);
    lockGuard hold(attributeLock_);
    auto found = attributes_.find(id);
    if (found != attributes_.end() && v.code == vt::cString &&
        found->second.kept.code == vt::stringObject) {
        // A holder of the text object sees the new text.
        auto* text = dynamic_cast<CAttributeText*>(found->second.kept.payload.string);
        if (text) {
            text->Assign(v.payload.text);
            return true;
        }
    }
    storeAttribute(id, v);
    return true;
}

bool CAgent::HasAttribute(const char* name) {
    int id = names::find(name);
    lockGuard hold(attributeLock_);
    return attributes_.count(id) != 0;
}

bool CAgent::RemoveAttribute(const char* name) {
    if (!name)
        return false;
    int id = names::find(name);
    lockGuard hold(attributeLock_);
    if (closing_)
        return false;
    auto found = attributes_.find(id);
    if (found == attributes_.end())
        return false;
    dropValue(found->second.kept, true);
    delete found->second.properties;
    attributes_.erase(found);
    return true;
}

void CAgent::clearAttributeEntries() {
    lockGuard hold(attributeLock_);
    for (auto& entry : attributes_) {
        dropValue(entry.second.kept, true);
        delete entry.second.properties;
    }
    attributes_.clear();
}

bool CAgent::ClearAttributes() {
    clearAttributeEntries();
    return true;
}

const char* CAgent::GetAttributeName(int id) { return names::text(id); }

int CAgent::GetAttributeNameCount() { return names::count(); }

// ---- properties of attributes and actions

CAttributes* CAgent::attributeProperties(const char* name) {
    auto found = attributes_.find(names::find(name));
    return found == attributes_.end() ? nullptr : found->second.properties;
}

CAttributes* CAgent::actionProperties(const char* name) {
    auto found = actions_.find(names::find(name));
    return found == actions_.end() ? nullptr : found->second.properties;
}

// The shared rules of the two kinds of entry properties: the entry's lock
// is taken here, and an absent entry has no table.

Ivector* CAgent::entryPropertyNames(Ilock* lock, tableFinder find, const char* entry) {
    std::vector<int> ids;
    {
        lockGuard hold(lock);
        CAttributes* table = (this->*find)(entry);
        if (!table)
            return nullptr;
        ids = table->Ids();
    }
    return makeNameList(ids);
}

value CAgent::entryProperty(Ilock* lock, tableFinder find, const char* entry, const char* property) {
    if (!entry || !property)
        return nullArgument();
    value result = absent();
    lockGuard hold(lock);
    if (CAttributes* table = (this->*find)(entry))
        table->Get(names::find(property), result);
    return result;
}

bool CAgent::setEntryProperty(Ilock* lock, tableFinder find, const char* entry, const char* property,
                              const value& v) {
    if (!entry || !property)
        return false;
    lockGuard hold(lock);
    CAttributes* table = (this->*find)(entry);
    if (!table)
        return false;
    table->Set(names::intern(property), v);
    return true;
}

bool CAgent::removeEntryProperty(Ilock* lock, tableFinder find, const char* entry, const char* property) {
    if (!entry || !property)
        return false;
    lockGuard hold(lock);
    CAttributes* table = (this->*find)(entry);
    return table && table->Remove(names::find(property));
}

bool CAgent::clearEntryProperties(Ilock* lock, tableFinder find, const char* entry) {
    lockGuard hold(lock);
    CAttributes* table = (this->*find)(entry);
    if (!table)
        return false;
    table->Clear();
    return true;
}

Ivector* CAgent::GetAttributePropertyNames(const char* attribute) {
    return entryPropertyNames(attributeLock_, &CAgent::attributeProperties, attribute);
}

value CAgent::GetAttributeProperty(const char* attribute, const char* property) {
    return entryProperty(attributeLock_, &CAgent::attributeProperties, attribute, property);
}

bool CAgent::SetAttributeProperty(const char* attribute, const char* property, value v) {
    return setEntryProperty(attributeLock_, &CAgent::attributeProperties, attribute, property, v);
}

bool CAgent::RemoveAttributeProperty(const char* attribute, const char* property) {
    return removeEntryProperty(attributeLock_, &CAgent::attributeProperties, attribute, property);
}

bool CAgent::ClearAttributeProperties(const char* attribute) {
    return clearEntryProperties(attributeLock_, &CAgent::attributeProperties, attribute);
}

Ivector* CAgent::GetActionPropertyNames(const char* action) {
    return entryPropertyNames(actionLock_, &CAgent::actionProperties, action);
}

value CAgent::GetActionProperty(const char* action, const char* property) {
    return entryProperty(actionLock_, &CAgent::actionProperties, action, property);
}

bool CAgent::SetActionProperty(const char* action, const char* property, value v) {
    return setEntryProperty(actionLock_, &CAgent::actionProperties, action, property, v);
}

bool CAgent::RemoveActionProperty(const char* action, const char* property) {
    return removeEntryProperty(actionLock_, &CAgent::actionProperties, action, property);
}

bool CAgent::ClearActionProperties(const char* action) {
    return clearEntryProperties(actionLock_, &CAgent::actionProperties, action);
}

// ---- actions

Ivector* CAgent::GetActionNames() {
    std::vector<int> ids;
    {
        lockGuard hold(actionLock_);
        if (closing_)
            return nullptr;
        ids = idsOf(actions_);
    }
    return makeNameList(ids);
}

AgentActionFn CAgent::GetAction(const char* name) {
    int id = names::find(name);
    lockGuard hold(actionLock_);
    if (closing_)
        return nullptr;
    auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second.fn;
}

bool CAgent::AddAction(const char* name, AgentActionFn fn) {
    if (!name || !fn)
        return false;
    int id = names::intern(name);
    lockGuard hold(actionLock_);
    auto found = actions_.find(id);
    if (found != actions_.end())
        found->second.fn = fn;
    else
        actions_.emplace(id, actionEntry{fn, new CAttributes()});
    return true;
}

bool CAgent::RemoveAction(const char* name) {
    if (!name)
        return false;
    int id = names::find(name);
    lockGuard hold(actionLock_);
    if (closing_)
        return false;
    auto found = actions_.find(id);
    if (found == actions_.end())
        return false;
    delete found->second.properties;
    actions_.erase(found);
    return true;
}

bool CAgent::HasAction(const char* name) {
    int id = names::find(name);
    lockGuard hold(actionLock_);
    return actions_.count(id) != 0;
}

bool CAgent::FireAction(const char* name) {
    if (!name)
        return false;
    int id = names::find(name);
    AgentActionFn fn = nullptr;
    {
        lockGuard hold(actionLock_);
        if (closing_)
            return false;
        auto found = actions_.find(id);
        if (found == actions_.end())
            return false;
        fn = found->second.fn;
    }
    // Outside the lock: the callback may add, remove or fire actions here.
    fn(this);
    return true;
}

void CAgent::clearActionEntries() {
    lockGuard hold(actionLock_);
    for (auto& entry : actions_)
        delete entry.second.properties;
    actions_.clear();
}

bool CAgent::ClearActions() {
    clearActionEntries();
    return true;
}

unsigned CAgent::GetSize() {
    unsigned size = 28;
    {
        lockGuard hold(attributeLock_);
        for (const auto& entry : attributes_)
            size += 24 + payloadLength(entry.second.kept);  // property tables add nothing
    }
    lockGuard hold(actionLock_);
    size += 4 * static_cast<unsigned>(actions_.size());
    return size;
}

Igeneric* _constructAgent::create() {
    IAgent* agent = new (std::nothrow) capsule<CAgent>();
    return agent;
}

}  // namespace vesk::ss
