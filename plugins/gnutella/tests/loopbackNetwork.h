// The network service as the module's tests hand it out: the real network
// module's classes on a thread of their own, whose descriptors dial only
// 127.0.0.1. A dial to anything else fails the test and is never made.
#pragma once

#include <memory>

#include "core/capsule.h"
#include "vesk/net.h"

namespace vesk::net {
class engine;
}

namespace vesk::gnutella::test {

class loopbackNetwork : public objectBase, public net::ICommunications {
public:
    loopbackNetwork();
    ~loopbackNetwork();
    bool started() const { return real_ != nullptr; }

    Igeneric* createDescriptor(const char* className, IentityToken* owner) override;

private:
    std::shared_ptr<net::engine> engine_;
    net::ICommunications* real_ = nullptr;  // a core object of the engine
};

}  // namespace vesk::gnutella::test
