// vesk::queue (first in, first out) and vesk::stack.
#pragma once

#include <deque>

#include "core/containerBase.h"

namespace vesk {

class queue : public containerBase, public Iqueue {
public:
    explicit queue(const value& flags = value());
    ~queue();

    unsigned size() override { return static_cast<unsigned>(elements_.size()); }
    bool empty() override { return elements_.empty(); }
    bool clear() override;
    bool push(const value& v) override;
    bool pop() override;
    value front() override { return elements_.empty() ? nothing() : elements_.front(); }
    Ilock* getLock() override { return lock(); }

private:
    std::deque<value> elements_;
};

class stack : public containerBase, public Istack {
public:
    explicit stack(const value& flags = value());
    ~stack();

    unsigned size() override { return static_cast<unsigned>(elements_.size()); }
    bool empty() override { return elements_.empty(); }
    bool clear() override;
    bool push(const value& v) override;
    bool pop() override;
    value top() override { return elements_.empty() ? nothing() : elements_.back(); }
    Ilock* getLock() override { return lock(); }

private:
    std::deque<value> elements_;
};

}  // namespace vesk
