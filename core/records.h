// Fixed records of two, three and four values.
#pragma once

#include "core/containerBase.h"

namespace vesk {

// The members of a record; each starts as an empty value.
template <int N>
class recordBase : public containerBase {
public:
    explicit recordBase(const value& flags) : containerBase(flags) {}
    ~recordBase() {
        for (value& m : members_)
            drop(m);
    }

protected:
    value get(int i) const { return members_[i]; }
    void put(int i, const value& v) { store(members_[i], v); }

private:
    value members_[N];
};

class pair : public recordBase<2>, public Ipair {
public:
    explicit pair(const value& flags = value());
    value getFirst() override { return get(0); }
    void setFirst(const value& v) override { put(0, v); }
    value getSecond() override { return get(1); }
    void setSecond(const value& v) override { put(1, v); }
    Ilock* getLock() override { return lock(); }
};

class trio : public recordBase<3>, public Itrio {
public:
    explicit trio(const value& flags = value());
    value getFirst() override { return get(0); }
    void setFirst(const value& v) override { put(0, v); }
    value getSecond() override { return get(1); }
    void setSecond(const value& v) override { put(1, v); }
    value getThird() override { return get(2); }
    void setThird(const value& v) override { put(2, v); }
    Ilock* getLock() override { return lock(); }
};

class quad : public recordBase<4>, public Iquad {
public:
    explicit quad(const value& flags = value());
    value getFirst() override { return get(0); }
    void setFirst(const value& v) override { put(0, v); }
    value getSecond() override { return get(1); }
    void setSecond(const value& v) override { put(1, v); }
    value getThird() override { return get(2); }
    void setThird(const value& v) override { put(2, v); }
    value getFourth() override { return get(3); }
    void setFourth(const value& v) override { put(3, v); }
    Ilock* getLock() override { return lock(); }
};

}  // namespace vesk
