// The service "vesk::net::ICommunications *": makes descriptors that share
// one network thread.
#pragma once

#include <memory>

#include "core/capsule.h"
#include "vesk/net.h"

namespace vesk::net {

class engine;

class communications : public objectBase, public ICommunications, public IcoreObject {
public:
    explicit communications(std::shared_ptr<engine> e);
    Igeneric* createDescriptor(const char* className, IentityToken* owner) override;

private:
    std::shared_ptr<engine> engine_;
};

}  // namespace vesk::net
