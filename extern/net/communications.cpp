#include "extern/net/communications.h"

#include <cstring>
#include <new>

#include "extern/net/engine.h"
#include "extern/net/tcp.h"

namespace vesk::net {

communications::communications(std::shared_ptr<engine> e) : engine_(std::move(e)) {
    registerInterfaceOf<ICommunications>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
}

Igeneric* communications::createDescriptor(const char* className, IentityToken*) {
    if (!className || std::strcmp(className, "vesk::net::tcp") != 0)
        return nullptr;
    return new (std::nothrow) capsule<tcp>(engine_);
}

}  // namespace vesk::net
