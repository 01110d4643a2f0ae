// vesk::logTarget: "vesk.log", one "[*] " line per text written. The file is
// emptied by the first write of a run and ends with "[*] logging stopped.".
#pragma once

#include <windows.h>

#include <string>

#include "core/capsule.h"
#include "vesk/host.h"

namespace vesk {

class logTarget : public objectBase, public Itarget, public IcoreObject {
public:
    explicit logTarget(const char* path);
    // Writes the closing line unless a file object took the log over.
    ~logTarget();

    // Text: written as one line (a null text gives "[*] "). A file object:
    // becomes the redirect, after which texts are taken and not written.
    // Anything else: false. The message is released in every case, so a
    // new object (count 0) handed over is consumed. Lines from several
    // threads never interleave.
    bool write(Igeneric* message) override;

private:
    bool openFile();
    void writeLine(const char* text);

    std::string path_;
    int descriptor_ = -1;
    Igeneric* redirect_ = nullptr;  // one reference held
    CRITICAL_SECTION lock_;
};

}  // namespace vesk
