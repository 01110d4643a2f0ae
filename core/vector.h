// vesk::vector: a contiguous sequence with a cursor index.
#pragma once

#include <vector>

#include "core/containerBase.h"

namespace vesk {

class vector : public containerBase, public Ivector {
public:
    explicit vector(const value& flags = value());
    // Initial elements from an array value: element 0 holds the count n as a
    // long, elements 1..n follow.
    vector(const value& flags, const value& initial);
    ~vector();

    value first() override;
    value last() override;
    value next() override;
    value previous() override;
    value current() override;
    value at(unsigned index) override;
    value pushBack(const value& v) override;
    bool erase(unsigned from, unsigned count) override;
    unsigned size() override { return static_cast<unsigned>(elements_.size()); }
    bool empty() override { return elements_.empty(); }
    bool clear() override;
    unsigned append(Ivector* other) override;
    unsigned appendFirst(Ivector* other, int n) override;
    Ilock* getLock() override { return lock(); }

private:
    void registerInterfaces();
    unsigned copyFrom(Ivector* other, unsigned limit);

    std::vector<value> elements_;
    unsigned cursor_ = 0;
};

}  // namespace vesk
