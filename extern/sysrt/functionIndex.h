// Functions by name. The index knows one function, "vesk::net::valid_ip".
#pragma once

#include "core/capsule.h"
#include "vesk/threading.h"

namespace vesk::sysrt {

class validIp : public objectBase, public Ifunction {
public:
    validIp();
    // A C-string (or string object) value in; short 1 or short 0 out.
    value call(value argument) override;
    const char* getName() override { return "vesk::net::valid_ip"; }
};

class functionIndex : public objectBase, public IfunctionIndex, public IcoreObject {
public:
    functionIndex();
    ~functionIndex();
    bool ready() const { return validIp_ != nullptr; }

    unsigned long findFunction(const char* name, IentityToken* owner) override;
    Ifunction* getFunction(unsigned long id) override;

private:
    static constexpr unsigned long validIpId = 2;
    Ifunction* validIp_;  // one reference held
};

}  // namespace vesk::sysrt
