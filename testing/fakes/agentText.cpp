#include "testing/fakes/agentText.h"

#include "vesk/containers.h"
#include "vesk/data.h"
#include "vesk/object.h"

namespace vesk::testing {

namespace {

std::string valueText(const value& v) {
    if (Istring* text = v.asString())
        return text->c_str() ? text->c_str() : "";
    switch (v.code) {
    case vt::longV: return std::to_string(v.asLong());
    case vt::ulongV: return std::to_string(v.asUlong());
    case vt::ushortV: return std::to_string(v.asUshort());
    case vt::longlongV: return std::to_string(v.asLongLong());
    case vt::ulonglongV: return std::to_string(v.asUlongLong());
    default: return std::string();
    }
}

}  // namespace

std::string agentAttributes(ss::IAgent* agent) {
    std::string line;
    if (!agent)
        return line;
    // A name list comes with count 0: the first reference is taken here.
    ref<Ivector> names(agent->GetAttributeNames());
    for (unsigned n = 0; names && n < names->size(); ++n) {
        Istring* name = names->at(n).asString();
        if (!name || !name->c_str())
            continue;
        if (!line.empty())
            line += '|';
        line += std::string(name->c_str()) + "=" + valueText(agent->GetAttribute(name->c_str()));
    }
    return line;
}

}  // namespace vesk::testing
