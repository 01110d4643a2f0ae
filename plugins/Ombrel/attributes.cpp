#include "plugins/Ombrel/attributes.h"

#include <new>

namespace vesk::ss {

value keepValue(const value& v, bool referenceBuffers) {
    value kept = v;
    kept.owned = 0;
    if (v.code == vt::cString) {
        Istring* text = new (std::nothrow) capsule<CAttributeText>(v.payload.text);
        kept = value(text);
        if (text)
            text->addRef();
    } else if ((v.code == vt::stringObject || (referenceBuffers && v.code == vt::bufferObject)) &&
               v.payload.object) {
        v.anyObject()->addRef();
    }
    return kept;
}

void dropValue(const value& kept, bool referenceBuffers) {
    if ((kept.code == vt::stringObject || (referenceBuffers && kept.code == vt::bufferObject)) &&
        kept.payload.object)
        kept.anyObject()->release();
}

void CAttributes::Set(int id, const value& v) {
    value kept = keepValue(v, false);
    auto found = values_.find(id);
    if (found != values_.end()) {
        dropValue(found->second, false);
        found->second = kept;
    } else {
        values_.emplace(id, kept);
    }
}

bool CAttributes::Get(int id, value& out) const {
    auto found = values_.find(id);
    if (found == values_.end())
        return false;
    out = found->second;
    return true;
}

bool CAttributes::Remove(int id) {
    auto found = values_.find(id);
    if (found == values_.end())
        return false;
    dropValue(found->second, false);
    values_.erase(found);
    return true;
}

void CAttributes::Clear() {
    for (auto& entry : values_)
        dropValue(entry.second, false);
    values_.clear();
}

std::vector<int> CAttributes::Ids() const {
    std::vector<int> ids;
    for (const auto& entry : values_)
        ids.push_back(entry.first);
    return ids;
}

}  // namespace vesk::ss
