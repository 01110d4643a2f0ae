// vesk::ss::CAgent: the record every list row, result and search is made of.
// Attributes, actions and the agent's own properties each live under a lock
// (spin locks made through the factory); callbacks run outside them.
#pragma once

#include <map>

#include "core/capsule.h"
#include "core/constructs.h"
#include "plugins/Ombrel/attributes.h"
#include "vesk/lock.h"
#include "vesk/ss.h"

namespace vesk::ss {

class CAgent : public objectBase, public IAgent {
public:
    CAgent();
    ~CAgent();

    Ivector* GetPropertyNames() override;
    value GetProperty(const char* name) override;
    bool SetProperty(const char* name, value v) override;
    bool RemoveProperty(const char* name) override;
    bool ClearProperties() override;

    Ivector* GetAttributeNames() override;
    value GetAttribute(const char* name) override;
    bool SetAttributeBuffer(const char* name, const void* data, unsigned size) override;
    bool SetAttribute(const char* name, value v) override;
    bool HasAttribute(const char* name) override;
    bool RemoveAttribute(const char* name) override;
    bool ClearAttributes() override;
    const char* GetAttributeName(int id) override;
    int GetAttributeNameCount() override;

    Ivector* GetAttributePropertyNames(const char* attribute) override;
    value GetAttributeProperty(const char* attribute, const char* property) override;
    bool SetAttributeProperty(const char* attribute, const char* property, value v) override;
    bool RemoveAttributeProperty(const char* attribute, const char* property) override;
    bool ClearAttributeProperties(const char* attribute) override;

    Ivector* GetActionPropertyNames(const char* action) override;
    value GetActionProperty(const char* action, const char* property) override;
    bool SetActionProperty(const char* action, const char* property, value v) override;
    bool RemoveActionProperty(const char* action, const char* property) override;
    bool ClearActionProperties(const char* action) override;

    Ivector* GetActionNames() override;
    AgentActionFn GetAction(const char* name) override;
    bool AddAction(const char* name, AgentActionFn fn) override;
    bool RemoveAction(const char* name) override;
    bool HasAction(const char* name) override;
    bool FireAction(const char* name) override;
    bool ClearActions() override;

    unsigned GetSize() override;

private:
    struct attributeEntry {
        value kept;
        CAttributes* properties;  // owned
    };
    struct actionEntry {
        AgentActionFn fn;
        CAttributes* properties;  // owned
    };
    using attributeMap = std::map<int, attributeEntry>;
    using actionMap = std::map<int, actionEntry>;

    // The property table of a named entry, null when absent. Callers hold
    // the entry's lock.
    CAttributes* attributeProperties(const char* name);
    CAttributes* actionProperties(const char* name);
    using tableFinder = CAttributes* (CAgent::*)(const char*);
    Ivector* entryPropertyNames(Ilock* lock, tableFinder find, const char* entry);
    value entryProperty(Ilock* lock, tableFinder find, const char* entry, const char* property);
    bool setEntryProperty(Ilock* lock, tableFinder find, const char* entry, const char* property, const value& v);
    bool removeEntryProperty(Ilock* lock, tableFinder find, const char* entry, const char* property);
    bool clearEntryProperties(Ilock* lock, tableFinder find, const char* entry);
    // Stores v under id, keeping an existing entry's property table.
    void storeAttribute(int id, const value& v);
    void clearAttributeEntries();
    void clearActionEntries();

    CAttributes properties_;
    attributeMap attributes_;
    actionMap actions_;
    Ilock* attributeLock_;  // one reference held; also guards properties_
    Ilock* actionLock_;     // one reference held
    volatile bool closing_ = false;
};

// The factory's construct object of "vesk::ss::CAgent": only the form
// without values makes an agent.
class _constructAgent : public constructBase {
public:
    _constructAgent() : constructBase("vesk::ss::CAgent") {}
    Igeneric* create() override;
};

}  // namespace vesk::ss
