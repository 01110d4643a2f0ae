// A counted test object that knows how many of its kind are alive.
#pragma once

#include "core/capsule.h"

namespace vesk::test {

struct Iprobe : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::test::Iprobe *";
    virtual int id() = 0;
};

class liveProbe : public objectBase, public Iprobe {
public:
    explicit liveProbe(int id = 0) : id_(id) {
        ++alive;
        registerInterfaceOf<Iprobe>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    ~liveProbe() { --alive; }
    int id() override { return id_; }

    static inline int alive = 0;

private:
    int id_;
};

// A new probe with one reference held by the test.
inline Igeneric* newProbe(int id = 0) {
    Igeneric* p = static_cast<Iprobe*>(new capsule<liveProbe>(id));
    p->addRef();
    return p;
}

// The probe's count: one addRef/release pair that leaves it unchanged.
inline int countOf(Igeneric* p) {
    int n = p->addRef() - 1;
    p->release();
    return n;
}

}  // namespace vesk::test
