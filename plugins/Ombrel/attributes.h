// Tables of named values: an agent's properties and the properties of each
// attribute and action. Keys are name ids of the registry. The owner of a
// table locks around its use.
#pragma once

#include <map>
#include <vector>

#include "core/capsule.h"
#include "plugins/Ombrel/attributeText.h"
#include "vesk/data.h"
#include "vesk/value.h"

namespace vesk::ss {

// What a table keeps of a value: a C string becomes a new text object, a
// string object (and, when referenceBuffers is set, a buffer object) gains a
// reference of the table's own. The kept copy never owns its payload.
value keepValue(const value& v, bool referenceBuffers);
// Gives up what keepValue took.
void dropValue(const value& kept, bool referenceBuffers);

class CAttributes {
public:
    CAttributes() = default;
    ~CAttributes() { Clear(); }
    CAttributes(const CAttributes&) = delete;
    CAttributes& operator=(const CAttributes&) = delete;

    void Set(int id, const value& v);
    // False when absent.
    bool Get(int id, value& out) const;
    bool Remove(int id);
    void Clear();
    // The ids present, ascending.
    std::vector<int> Ids() const;

private:
    std::map<int, value> values_;
};

}  // namespace vesk::ss
