#include "extern/sysrt/functionIndex.h"

#include <cstring>
#include <new>

#include "vesk/data.h"

namespace vesk::sysrt {

bool isDottedIpv4(const char* text) {
    if (!text)
        return false;
    const char* p = text;
    for (int part = 0; part < 4; ++part) {
        if (part > 0 && *p++ != '.')
            return false;
        int digits = 0;
        int number = 0;
        while (*p >= '0' && *p <= '9' && digits < 4) {
            number = number * 10 + (*p - '0');
            ++digits;
            ++p;
        }
        if (digits < 1 || digits > 3 || number > 255)
            return false;
    }
    return *p == '\0';
}

validIp::validIp() {
    registerInterfaceOf<Ifunction>(this);
    registerInterfaceOf<Igeneric>(this);
}

value validIp::call(value argument) {
    const char* text = argument.asCString();
    if (argument.code == vt::stringObject && argument.asString())
        text = argument.asString()->c_str();
    return value(static_cast<short>(isDottedIpv4(text) ? 1 : 0));
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
