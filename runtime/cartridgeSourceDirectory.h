// vesk::cartridgeSourceDirectory: the "*.vkm" libraries of one folder.
// Libraries are never freed: objects of a module may outlive its unload.
#pragma once

#include <string>

#include "core/capsule.h"
#include "vesk/containers.h"
#include "vesk/directory.h"
#include "vesk/host.h"

namespace vesk {

class cartridgeSourceDirectory : public objectBase, public IcartridgeSource {
public:
    // folder ends in '\'; core is handed to the cartridges (not owned).
    cartridgeSourceDirectory(const char* folder, Icore* core);
    ~cartridgeSourceDirectory();

    // Fills the file table (id from 2 -> name) anew; null when nothing
    // matches. An empty folder text keeps the table as it is.
    Ihash* enumerate() override;
    // A new cartridge (count 0) for the library of that id, or null when it
    // does not load or lacks _register, _initialize, _unload or _load.
    Icartridge* load(unsigned long id) override;
    bool unload(unsigned long id) override;

private:
    std::string folder_;
    std::string pattern_;
    Ihash* files_;  // add-ref mode, one reference held
    unsigned long nextFileId_ = 2;
    Icore* core_;   // not owned
};

}  // namespace vesk
