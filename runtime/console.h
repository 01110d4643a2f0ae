// vesk::console: the cartridge sources, the table of cartridges and the
// lifecycle passes. A module whose entry point returns 0 is tried again
// later in the same pass; a pass ends after a sweep without progress.
#pragma once

#include "core/capsule.h"
#include "vesk/containers.h"
#include "vesk/directory.h"
#include "vesk/host.h"

namespace vesk {

class console : public objectBase, public Iconsole, public IconsoleAccessor, public IcoreObject {
public:
    console();
    ~console();
    // False when its tables could not be made.
    bool ready() const { return sources_ && cartridges_ && registered_; }
    // The directory whose factory receives the modules' classes (not owned).
    void useDirectory(Icore* core) { core_ = core; }

    unsigned long addSource(IcartridgeSource* source) override;
    int removeSource(unsigned long id) override;
    int reserved2() override { return 0; }
    int reserved3() override { return 0; }
    int reserved4() override { return 0; }
    int reserved5() override { return 0; }
    int scanSources() override;
    int loadCartridge(unsigned long id) override;
    int unloadCartridge(unsigned long id) override;
    int factoryCartridge(unsigned long id) override;
    int loadLibraries() override;
    int freeLibraries() override;
    int registerAll() override;
    int loadAll() override;
    int unloadAll() override;
    int initializeAll() override;
    int factoryAll() override;

    Ihash* getSources() override { return sources_; }
    Ihash* getCartridges() override { return cartridges_; }

private:
    struct passRule {
        int (IcartridgeAccessor::*call)();
        unsigned required;  // flag a module needs to be called; 0: none
        unsigned success;   // flag set when the call succeeds
        bool pushRegistered;
    };
    int runPass(const passRule& rule);
    // Registers the construct objects of a module's class table, stopping
    // at the first value that is none.
    void registerClasses(Ihash* table, unsigned long owner, bool firstOnly);
    Itrio* entryOf(unsigned long id);

    unsigned long nextId_ = 2;
    Ihash* sources_;       // id -> source; add-ref mode
    Ihash* cartridges_;    // id -> trio (file name, source, cartridge); add-ref mode
    Istack* registered_;   // accessors in the order of registration; add-ref mode
    Icore* core_ = nullptr;
};

}  // namespace vesk
