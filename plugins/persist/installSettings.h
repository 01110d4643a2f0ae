// "vesk::persist::installSettings": values left by the installation in
// "install.egg", read once at start-up; the file is consumed by the read.
#pragma once

#include "core/capsule.h"
#include "vesk/containers.h"
#include "vesk/persist.h"

namespace vesk::persist {

class installSettings : public objectBase, public IinstallSettings, public IcoreObject {
public:
    installSettings();
    virtual ~installSettings() {}

    bool ready() const { return static_cast<bool>(values_); }

    value getValue(const char* key) override;
    fs::Ifile* load(fs::Ifile* file) override;

private:
    void takeRecords();

    ref<Ihash> values_;  // element name (string object) -> value
};

}  // namespace vesk::persist
