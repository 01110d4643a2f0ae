// The name lists agents hand out: a new vector (add-ref mode, count 0,
// owned by the caller) of string objects, in ascending name id.
#pragma once

#include <vector>

namespace vesk {
struct Ivector;
}

namespace vesk::ss {

// Null when the factory gives no vector. Yields the thread after each name
// so that a long list does not hold up the GUI thread.
Ivector* makeNameList(const std::vector<int>& ascendingIds);

}  // namespace vesk::ss
