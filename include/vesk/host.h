// What the host offers the modules and how it drives them: the runtime
// object, the log target, the registration record and the console.
#pragma once

#include <cstdint>

#include <windows.h>

#include "vesk/object.h"

namespace vesk {

struct Ihash;
struct Icore;
struct Icartridge;

struct Iruntime : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::Iruntime *";
    virtual HINSTANCE getInstance() = 0;
    virtual int setInstance(HINSTANCE instance) = 0;
    virtual bool isRunning() = 0;
    // Asks the host to stop; may be called from any thread, more than once.
    virtual bool shutdown() = 0;
    // Command-line parameters: string name -> string value, plus
    // "win32_show". No reference added.
    virtual Ihash* getParameters() = 0;
};

// How the process ends, answered by the runtime object beside Iruntime. A
// module whose failure leaves the client without use (no main window)
// reports it before asking for the shutdown, so the process does not end
// as if all went well. The first failure reported is kept; 0 means none.
struct IexitStatus : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::IexitStatus *";
    virtual void reportFailure(int exitCode) = 0;
    virtual int getExitCode() = 0;
};

// The log. write takes a text object (count 0 is fine: the write consumes
// it) and writes "[*] " + text + line end.
struct Itarget : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::Itarget *";
    virtual bool write(Igeneric* message) = 0;
};

// Plug-in entry points, exported by name with the C calling convention.
using registerEntry = int (*)(Icartridge* self, Icore* core);
using lifecycleEntry = int (*)();
using factoryEntry = Ihash* (*)();

// The registration record a module fills in _register. Setters copy.
struct Icartridge : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::Icartridge *";
    virtual int setName(const char* name) = 0;
    virtual int setAuthor(const char* author) = 0;
    virtual int setDescription(const char* description) = 0;
    virtual int setMajorVersion(int major) = 0;
    virtual int setMinorVersion(int minor) = 0;
    virtual const char* getAuthor() = 0;
    virtual const char* getName() = 0;
    virtual const char* getDescription() = 0;
    virtual int getMajorVersion() = 0;
    virtual int getMinorVersion() = 0;
    virtual const char* getMajorVersionText() = 0;
    virtual const char* getMinorVersionText() = 0;
};

// Cartridge flag bits.
namespace cartridgeFlag {
constexpr unsigned loaded = 0x1;
constexpr unsigned unloaded = 0x2;
constexpr unsigned registered = 0x4;
constexpr unsigned factoryDone = 0x8;
constexpr unsigned loadDone = 0x10;
constexpr unsigned initialized = 0x20;
}  // namespace cartridgeFlag

// The host's side of a cartridge. The call* operations run the entry points
// inside a catch-all handler; an exception counts as 0.
struct IcartridgeAccessor : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::IcartridgeAccessor *";
    virtual int setInitialize(lifecycleEntry entry) = 0;
    virtual int setUnload(lifecycleEntry entry) = 0;
    virtual int setLoad(lifecycleEntry entry) = 0;
    virtual int setRegister(registerEntry entry) = 0;
    virtual int setFactory(factoryEntry entry) = 0;
    virtual int setModule(HMODULE module) = 0;
    virtual unsigned orFlags(unsigned bits) = 0;
    virtual unsigned xorFlags(unsigned bits) = 0;
    virtual lifecycleEntry getInitialize() = 0;
    virtual lifecycleEntry getUnload() = 0;
    virtual lifecycleEntry getLoad() = 0;
    virtual registerEntry getRegister() = 0;
    virtual factoryEntry getFactory() = 0;
    virtual HMODULE getModule() = 0;
    virtual unsigned getFlags() = 0;
    virtual int callLoad() = 0;
    virtual int callUnload() = 0;
    virtual int callRegister() = 0;
    virtual int callInitialize() = 0;
    virtual std::intptr_t callFactory() = 0;  // the table pointer as a number (int on 32-bit)
};

// A place modules come from.
struct IcartridgeSource : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::IcartridgeSource *";
    virtual Ihash* enumerate() = 0;  // file id -> file name; no reference added
    virtual Icartridge* load(unsigned long id) = 0;
    virtual bool unload(unsigned long id) = 0;
};

struct Iconsole : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::Iconsole *";
    virtual unsigned long addSource(IcartridgeSource* source) = 0;
    virtual int removeSource(unsigned long id) = 0;
    virtual int reserved2() = 0;
    virtual int reserved3() = 0;
    virtual int reserved4() = 0;
    virtual int reserved5() = 0;
    virtual int scanSources() = 0;
    virtual int loadCartridge(unsigned long id) = 0;
    virtual int unloadCartridge(unsigned long id) = 0;
    virtual int factoryCartridge(unsigned long id) = 0;
    virtual int loadLibraries() = 0;
    virtual int freeLibraries() = 0;
    virtual int registerAll() = 0;
    virtual int loadAll() = 0;
    virtual int unloadAll() = 0;
    virtual int initializeAll() = 0;
    virtual int factoryAll() = 0;
};

struct IconsoleAccessor : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::IconsoleAccessor *";
    virtual Ihash* getSources() = 0;
    virtual Ihash* getCartridges() = 0;
};

}  // namespace vesk

// Marks a plug-in entry point: exported undecorated, C calling convention.
#define VESK_ENTRY extern "C" __declspec(dllexport)
