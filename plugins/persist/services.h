// What the persist module keeps from its registration for its objects.
#pragma once

#include "vesk/directory.h"
#include "vesk/factory.h"
#include "vesk/host.h"
#include "vesk/xml.h"

namespace vesk::persist {

struct moduleServices {
    Ifactory* factory = nullptr;         // core objects: not owned
    xml::IxmlParser* parser = nullptr;
    xml::IxmlBuilder* builder = nullptr;
    Itarget* log = nullptr;              // may be absent
    IentityToken* owner = nullptr;       // one reference, from _register to _unload
};

moduleServices& services();

// Writes one log line when a log target was found.
void logLine(const char* text);

}  // namespace vesk::persist
