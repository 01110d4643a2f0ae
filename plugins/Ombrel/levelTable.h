// Display levels of result fields by (field name, list name). A field is
// shown in a list when its level reaches the display mode.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace vesk {
struct Istring;
}

namespace vesk::ss {

class levelTable {
public:
    // False for a null name.
    bool Set(Istring* field, Istring* list, int level);
    // False for a pair never set.
    bool IsShown(Istring* field, Istring* list, int displayMode);

private:
    using key = std::pair<std::string, std::string>;
    static bool keyOf(Istring* field, Istring* list, key& out);

    std::mutex lock_;
    std::map<key, int> levels_;
};

}  // namespace vesk::ss
