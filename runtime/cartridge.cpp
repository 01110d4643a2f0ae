#include "runtime/cartridge.h"

#include <cstdint>

#include "core/module.h"
#include "core/string.h"
#include "core/text.h"

namespace vesk {

cartridge::cartridge(Icore* core) : core_(core) {
    registerInterfaceOf<Icartridge>(this);
    registerInterfaceOf<IcartridgeAccessor>(this);
    registerInterfaceOf<Igeneric>(this);
}

int cartridge::setName(const char* name) {
    name_ = textOf(name);
    return 1;
}

int cartridge::setAuthor(const char* author) {
    author_ = textOf(author);
    return 1;
}

int cartridge::setDescription(const char* description) {
    description_ = textOf(description);
    return 1;
}

int cartridge::setMajorVersion(int major) {
    major_ = major;
    majorText_ = std::to_string(major);
    return major;
}

int cartridge::setMinorVersion(int minor) {
    minor_ = minor;
    minorText_ = std::to_string(minor);
    return minor;
}

int cartridge::setInitialize(lifecycleEntry entry) {
    initialize_ = entry;
    return 1;
}

int cartridge::setUnload(lifecycleEntry entry) {
    unload_ = entry;
    return 1;
}

int cartridge::setLoad(lifecycleEntry entry) {
    load_ = entry;
    return 1;
}

int cartridge::setRegister(registerEntry entry) {
    register_ = entry;
    return 1;
}

int cartridge::setFactory(factoryEntry entry) {
    factory_ = entry;
    return 1;
}

int cartridge::setModule(HMODULE module) {
    module_ = module;
    return 1;
}

int cartridge::callRegister() {
    if (!register_)
        return 0;
    try {
        return register_(this, core_);
    } catch (...) {
        return 0;
    }
}

std::intptr_t cartridge::callFactory() {
    if (!factory_)
        return 0;
    try {
        return reinterpret_cast<std::intptr_t>(factory_());
    } catch (...) {
        return 0;
    }
}

int cartridge::callLogged(lifecycleEntry entry, const char* entryName) {
    const std::string call = std::string(entryName) + "() :: ";
    log(lowerCase("entering :: " + call + name_));
    int result = 0;
    try {
        if (entry)
            result = entry();
    } catch (...) {
        log(lowerCase("unhandled exception :: " + call + name_));
        return 0;
    }
    log(lowerCase("exiting  :: " + call + name_) + (result ? "  [SUCCESS]" : "  [FAILED]"));
    return result;
}

void cartridge::log(const std::string& line) { logLine(lookupService<Itarget>(core_), line.c_str()); }

}  // namespace vesk
