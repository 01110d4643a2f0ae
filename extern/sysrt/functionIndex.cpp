#include "extern/sysrt/functionIndex.h"

#include <cstring>
#include <new>

#include "core/dottedAddress.h"
#include "vesk/data.h"

namespace vesk::sysrt {

validIp::validIp() {
    registerInterfaceOf<Ifunction>(this);
    registerInterfaceOf<Igeneric>(this);
}

value validIp::call(value argument) {
    const char* text = argument.asCString();
    if (argument.code == vt::stringObject && argument.asString())
        text = argument.asString()->c_str();
    return value(static_cast<short>(parseDottedIpv4(text, nullptr) ? 1 : 0));
}

functionIndex::functionIndex() : validIp_(new (std::nothrow) capsule<validIp>()) {
    if (validIp_)
        validIp_->addRef();
    registerInterfaceOf<IfunctionIndex>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
}

functionIndex::~functionIndex() {
    if (validIp_)
        validIp_->release();
}

unsigned long functionIndex::findFunction(const char* name, IentityToken*) {
    if (name && validIp_ && std::strcmp(name, validIp_->getName()) == 0)
        return validIpId;
    return 0;
}

Ifunction* functionIndex::getFunction(unsigned long id) { return id == validIpId ? validIp_ : nullptr; }

}  // namespace vesk::sysrt
