// vesk::cartridge: one loaded plug-in library, its registration record, its
// entry points and its pass flags.
#pragma once

#include <windows.h>

#include <string>

#include "core/capsule.h"
#include "vesk/directory.h"
#include "vesk/host.h"

namespace vesk {

class cartridge : public objectBase, public Icartridge, public IcartridgeAccessor {
public:
    // core: handed to _register; the lifecycle lines go to the log target
    // published in it. Not owned: the directory outlives every cartridge.
    explicit cartridge(Icore* core);

    int setName(const char* name) override;
    int setAuthor(const char* author) override;
    int setDescription(const char* description) override;
    int setMajorVersion(int major) override;
    int setMinorVersion(int minor) override;
    const char* getAuthor() override { return author_.c_str(); }
    const char* getName() override { return name_.c_str(); }
    const char* getDescription() override { return description_.c_str(); }
    int getMajorVersion() override { return major_; }
    int getMinorVersion() override { return minor_; }
    const char* getMajorVersionText() override { return majorText_.c_str(); }
    const char* getMinorVersionText() override { return minorText_.c_str(); }

    int setInitialize(lifecycleEntry entry) override;
    int setUnload(lifecycleEntry entry) override;
    int setLoad(lifecycleEntry entry) override;
    int setRegister(registerEntry entry) override;
    int setFactory(factoryEntry entry) override;
    int setModule(HMODULE module) override;
    unsigned orFlags(unsigned bits) override { return flags_ |= bits; }
    unsigned xorFlags(unsigned bits) override { return flags_ ^= bits; }
    lifecycleEntry getInitialize() override { return initialize_; }
    lifecycleEntry getUnload() override { return unload_; }
    lifecycleEntry getLoad() override { return load_; }
    registerEntry getRegister() override { return register_; }
    factoryEntry getFactory() override { return factory_; }
    HMODULE getModule() override { return module_; }
    unsigned getFlags() override { return flags_; }
    int callLoad() override { return callLogged(load_, "_load"); }
    int callUnload() override { return callLogged(unload_, "_unload"); }
    int callRegister() override;
    int callInitialize() override { return callLogged(initialize_, "_initialize"); }
    std::intptr_t callFactory() override;

private:
    // Runs a lifecycle entry between its "entering" and "exiting" lines.
    int callLogged(lifecycleEntry entry, const char* entryName);
    void log(const std::string& line);

    std::string author_, name_, description_, majorText_, minorText_;
    int major_ = 0;
    int minor_ = 0;
    HMODULE module_ = nullptr;
    unsigned flags_ = 0;
    lifecycleEntry initialize_ = nullptr;
    lifecycleEntry unload_ = nullptr;
    lifecycleEntry load_ = nullptr;
    registerEntry register_ = nullptr;
    factoryEntry factory_ = nullptr;
    Icore* core_;  // not owned
};

}  // namespace vesk
