// vesk::hash: values by key in the value ordering, with a cursor. A cursor
// that nothing has positioned yet counts as past the end.
#pragma once

#include <map>

#include "core/containerBase.h"

namespace vesk {

class hash : public containerBase, public Ihash {
public:
    explicit hash(const value& flags = value());
    ~hash();

    value first() override;
    value last() override;
    value next() override;
    value currentValue() override;
    value currentKey() override;
    value setCurrentValue(const value& v) override;
    value set(const value& key, const value& v) override;
    bool erase(value key) override;
    value previous() override;
    value find(value key) override;
    unsigned size() override { return static_cast<unsigned>(entries_.size()); }
    bool empty() override { return entries_.empty(); }
    void clear() override;
    int reserved() override { return 0; }
    Ilock* getLock() override { return lock(); }

private:
    struct keyLess {
        bool operator()(const value& a, const value& b) const { return valueLess(a, b); }
    };
    using map = std::map<value, value, keyLess>;

    map entries_;
    map::iterator cursor_ = entries_.end();
};

// A new hash with one reference held by the caller.
Ihash* newHeldHash(unsigned long flags);

}  // namespace vesk
