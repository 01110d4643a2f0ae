#include "plugins/ui/resultFilter.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "core/text.h"
#include "plugins/ui/cellText.h"
#include "vesk/data.h"

namespace vesk::ui {

namespace {

constexpr std::size_t filteredTextLimit = 259;

struct sortKey {
    ss::IAgent* agent;
    int kind;  // 0 signed, 1 unsigned, 2 text, 3 anything else
    long long number;
    std::string text;
};

sortKey keyOf(ss::IAgent* agent, const std::string& field) {
    value v = agent ? agent->GetAttribute(field.c_str()) : value();
    switch (v.code) {
    case vt::longV:
        return {agent, 0, v.payload.l, {}};
    case vt::ulongV:
        return {agent, 1, static_cast<long long>(v.payload.ul), {}};
    case vt::ushortV:
        return {agent, 1, v.payload.us, {}};
    case vt::cString:
    case vt::stringObject:
        return {agent, 2, 0, CellText(v)};
    default:
        return {agent, 3, 0, {}};
    }
}

bool keyLess(const sortKey& a, const sortKey& b) {
    // Signed and unsigned numbers compare as numbers with each other.
    int kindA = a.kind < 2 ? 0 : a.kind, kindB = b.kind < 2 ? 0 : b.kind;
    if (kindA != kindB)
        return kindA < kindB;
    if (kindA == 0)
        return a.number < b.number;
    if (kindA == 2)
        return a.text < b.text;
    return false;
}

}  // namespace

bool PassesFilter(ss::IAgent* agent, const std::string& field, const std::string& filter) {
    if (filter.empty() || !agent)
        return true;
    value v = agent->GetAttribute(field.c_str());
    switch (v.code) {
    case vt::longV:
        return v.payload.l >= std::strtol(filter.c_str(), nullptr, 10);
    case vt::ulongV:
        return v.payload.ul >= std::strtoul(filter.c_str(), nullptr, 10);
    case vt::ushortV:
        return v.payload.us >= std::strtoul(filter.c_str(), nullptr, 10);
    case vt::cString:
    case vt::stringObject: {
        std::string text = CellText(v);
        if (text.size() > filteredTextLimit)
            text.resize(filteredTextLimit);
        return lowerCase(text).find(lowerCase(filter)) != std::string::npos;
    }
    default:
        return true;
    }
}

bool PassesFilters(ss::IAgent* agent, const columnFilters& filters) {
    for (const auto& f : filters)
        if (!PassesFilter(agent, f.first, f.second))
            return false;
    return true;
}

bool AnyFilter(const columnFilters& filters) {
    return std::any_of(filters.begin(), filters.end(), [](const auto& f) { return !f.second.empty(); });
}

std::vector<ss::IAgent*> SortedByField(const std::vector<ss::IAgent*>& agents, const std::string& field,
                                       bool descending) {
    std::vector<sortKey> keys;
    keys.reserve(agents.size());
    for (ss::IAgent* agent : agents)
        keys.push_back(keyOf(agent, field));
    std::sort(keys.begin(), keys.end(),
              [descending](const sortKey& a, const sortKey& b) { return descending ? keyLess(b, a) : keyLess(a, b); });
    std::vector<ss::IAgent*> sorted;
    sorted.reserve(keys.size());
    for (const sortKey& k : keys)
        sorted.push_back(k.agent);
    return sorted;
}

int FindTyped(const std::vector<std::string>& names, int start, const std::string& typed) {
    int count = static_cast<int>(names.size());
    if (count == 0)
        return -1;
    std::string wanted = lowerCase(typed);
    if (start < 0 || start >= count)
        start = 0;
    for (int i = 0; i < count; ++i) {
        int row = (start + i) % count;
        if (lowerCase(names[row]).compare(0, wanted.size(), wanted) == 0)
            return row;
    }
    return -1;
}

}  // namespace vesk::ui
