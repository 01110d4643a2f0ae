// A row agent that only counts its references, for tests of the code that
// holds rows (the status tracker). Every other operation answers as an
// empty agent does.
#pragma once

#include "core/capsule.h"
#include "vesk/containers.h"
#include "vesk/ss.h"

namespace vesk::gnutella::test {

class rowAgent : public objectBase, public ss::IAgent {
public:
    rowAgent() {
        registerInterfaceOf<ss::IAgent>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    Ivector* GetPropertyNames() override { return nullptr; }
    value GetProperty(const char*) override { return value(-1L); }
    bool SetProperty(const char*, value) override { return false; }
    bool RemoveProperty(const char*) override { return false; }
    bool ClearProperties() override { return true; }
    Ivector* GetAttributeNames() override { return nullptr; }
    value GetAttribute(const char*) override { return value(0L); }
    bool SetAttributeBuffer(const char*, const void*, unsigned) override { return false; }
    bool SetAttribute(const char*, value) override { return false; }
    bool HasAttribute(const char*) override { return false; }
    bool RemoveAttribute(const char*) override { return false; }
    bool ClearAttributes() override { return true; }
    const char* GetAttributeName(int) override { return nullptr; }
    int GetAttributeNameCount() override { return 0; }
    Ivector* GetAttributePropertyNames(const char*) override { return nullptr; }
    value GetAttributeProperty(const char*, const char*) override { return value(-1L); }
    bool SetAttributeProperty(const char*, const char*, value) override { return false; }
    bool RemoveAttributeProperty(const char*, const char*) override { return false; }
    bool ClearAttributeProperties(const char*) override { return false; }
    Ivector* GetActionPropertyNames(const char*) override { return nullptr; }
    value GetActionProperty(const char*, const char*) override { return value(-1L); }
    bool SetActionProperty(const char*, const char*, value) override { return false; }
    bool RemoveActionProperty(const char*, const char*) override { return false; }
    bool ClearActionProperties(const char*) override { return false; }
    Ivector* GetActionNames() override { return nullptr; }
    ss::AgentActionFn GetAction(const char*) override { return nullptr; }
    bool AddAction(const char*, ss::AgentActionFn) override { return false; }
    bool RemoveAction(const char*) override { return false; }
    bool HasAction(const char*) override { return false; }
    bool FireAction(const char*) override { return false; }
    bool ClearActions() override { return true; }
    unsigned GetSize() override { return 0; }
};

// The references an object holds now (its count, read by a balanced add
// and release).
inline int referencesOf(Igeneric* object) {
    int after = object->addRef();
    object->release();
    return after - 1;
}

}  // namespace vesk::gnutella::test
