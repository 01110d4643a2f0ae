// The result list's column filters and sort, free of windows: which results
// a set of per-column filter texts keeps, and the order a column gives.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "vesk/ss.h"

namespace vesk::ui {

// Field name -> filter text; empty texts filter nothing.
using columnFilters = std::map<std::string, std::string>;

// Whether the agent passes one column's filter: numbers (signed and
// unsigned 32-bit, unsigned 16-bit) at least the filter read as a number,
// texts holding the filter in any case (the first 259 characters of the
// value take part); every other type passes.
bool PassesFilter(ss::IAgent* agent, const std::string& field, const std::string& filter);
bool PassesFilters(ss::IAgent* agent, const columnFilters& filters);
bool AnyFilter(const columnFilters& filters);

// The agents sorted by a field (a copy, each agent as given): numbers by
// value, texts byte by byte, numbers before texts before anything else;
// descending reverses. Keys are read once, before sorting, so a row that
// changes meanwhile cannot upset the sort.
std::vector<ss::IAgent*> SortedByField(const std::vector<ss::IAgent*>& agents, const std::string& field,
                                       bool descending);

// The first of the names (from start, then from the top) that begins with
// the typed text in any case; -1 when none.
int FindTyped(const std::vector<std::string>& names, int start, const std::string& typed);

}  // namespace vesk::ui
