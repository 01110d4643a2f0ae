#include "runtime/cartridgeSourceDirectory.h"

#include <windows.h>

#include <new>

#include "core/hash.h"
#include "core/string.h"
#include "runtime/cartridge.h"
#include "runtime/heldContainer.h"

namespace vesk {

namespace {

template <class F>
F entryOf(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

cartridgeSourceDirectory::cartridgeSourceDirectory(const char* folder, Icore* core)
    : folder_(folder ? folder : ""), pattern_(folder_ + "*" + ".vkm"), files_(newHeld<hash, Ihash>(addRefMode)),
      core_(core) {
    registerInterfaceOf<IcartridgeSource>(this);
    registerInterfaceOf<Igeneric>(this);
}

cartridgeSourceDirectory::~cartridgeSourceDirectory() {
    if (files_)
        files_->release();
}

Ihash* cartridgeSourceDirectory::enumerate() {
    if (!files_ || folder_.empty())
        return files_;
    nextFileId_ = 2;
    files_->clear();
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern_.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return nullptr;
    do {
        if (Istring* name = new (std::nothrow) string(found.cFileName))
            files_->set(value(nextFileId_++), value(name));
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return files_;
}

Icartridge* cartridgeSourceDirectory::load(unsigned long id) {
    if (!files_)
        return nullptr;
    Istring* name = files_->find(value(id)).asString();
    if (!name || !name->c_str())
        return nullptr;
    HMODULE module = LoadLibraryA((folder_ + name->c_str()).c_str());
    if (!module)
        return nullptr;
    auto registerFn = entryOf<registerEntry>(module, "_register");
    auto initializeFn = entryOf<lifecycleEntry>(module, "_initialize");
    auto unloadFn = entryOf<lifecycleEntry>(module, "_unload");
    auto loadFn = entryOf<lifecycleEntry>(module, "_load");
    auto factoryFn = entryOf<factoryEntry>(module, "_factory");
    cartridge* made = nullptr;
    if (registerFn && initializeFn && unloadFn && loadFn)
        made = new (std::nothrow) capsule<cartridge>(core_);
    if (!made) {
        FreeLibrary(module);
        return nullptr;
    }
    made->setModule(module);
    made->setRegister(registerFn);
    made->setInitialize(initializeFn);
    made->setUnload(unloadFn);
    made->setLoad(loadFn);
    made->setFactory(factoryFn);
    return made;
}

bool cartridgeSourceDirectory::unload(unsigned long) { return false; }

}  // namespace vesk
