#include "plugins/Ombrel/levelTable.h"

#include "vesk/data.h"

namespace vesk::ss {

bool levelTable::keyOf(Istring* field, Istring* list, key& out) {
    if (!field || !list || !field->c_str() || !list->c_str())
        return false;
    out = key(field->c_str(), list->c_str());
    return true;
}

bool levelTable::Set(Istring* field, Istring* list, int level) {
    key k;
    if (!keyOf(field, list, k))
        return false;
    std::lock_guard<std::mutex> hold(lock_);
    levels_[k] = level;
    return true;
}

bool levelTable::IsShown(Istring* field, Istring* list, int displayMode) {
    key k;
    if (!keyOf(field, list, k))
        return false;
    std::lock_guard<std::mutex> hold(lock_);
    auto found = levels_.find(k);
    return found != levels_.end() && found->second >= displayMode;
}

}  // namespace vesk::ss
