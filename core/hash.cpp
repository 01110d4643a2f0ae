#include "core/hash.h"

namespace vesk {

hash::hash(const value& flags) : containerBase(flags) {
    registerInterfaceOf<Ihash>(this);
    registerInterfaceOf<Igeneric>(this);
}

hash::~hash() { clear(); }

value hash::first() {
    if (entries_.empty())
        return nothing();
    cursor_ = entries_.begin();
    return cursor_->second;
}

value hash::last() {
    if (entries_.empty())
        return nothing();
    cursor_ = std::prev(entries_.end());
    return cursor_->second;
}

value hash::next() {
    if (entries_.empty() || cursor_ == entries_.end())
        return nothing();
    if (++cursor_ == entries_.end()) {
        cursor_ = std::prev(entries_.end());
        return nothing();
    }
    return cursor_->second;
}

value hash::previous() {
    if (entries_.empty() || cursor_ == entries_.begin())
        return nothing();
    --cursor_;
    return cursor_->second;
}

value hash::currentValue() {
    return cursor_ == entries_.end() ? nothing() : cursor_->second;
}

value hash::currentKey() {
    return cursor_ == entries_.end() ? nothing() : cursor_->first;
}

value hash::setCurrentValue(const value& v) {
    if (cursor_ == entries_.end())
        return nothing();
    store(cursor_->second, v);
    return v;
}

value hash::set(const value& key, const value& v) {
    auto found = entries_.find(key);
    if (!addRefMode()) {
        if (found != entries_.end())
            found->second = v;
        else
            entries_.emplace(key, v);
        return v;
    }
    retain(key);
    retain(v);
    bool underCursor = found != entries_.end() && found == cursor_;
    if (found != entries_.end()) {
        value oldKey = found->first, oldValue = found->second;
        entries_.erase(found);
        drop(oldKey);
        drop(oldValue);
    }
    auto placed = entries_.emplace(key, v).first;
    if (underCursor)
        cursor_ = placed;
    return v;
}

bool hash::erase(value key) {
    auto found = entries_.find(key);
    if (found == entries_.end())
        return false;
    value oldKey = found->first, oldValue = found->second;
    entries_.erase(found);
    cursor_ = entries_.begin();
    drop(oldKey);
    drop(oldValue);
    return true;
}

value hash::find(value key) {
    if (entries_.empty())
        return nothing();
    cursor_ = entries_.find(key);
    return cursor_ == entries_.end() ? nothing() : cursor_->second;
}

void hash::clear() {
    while (!entries_.empty()) {
        auto first = entries_.begin();
        value oldKey = first->first, oldValue = first->second;
        entries_.erase(first);
        drop(oldKey);
        drop(oldValue);
    }
    cursor_ = entries_.end();
}

Ihash* newHeldHash(unsigned long flags) {
    Ihash* table = new capsule<hash>(value(flags));
    table->addRef();
    return table;
}

}  // namespace vesk
