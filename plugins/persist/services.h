// What the persist module keeps from its registration for its objects, and
// the small helpers its objects make their parts with.
#pragma once

#include "core/module.h"
#include "vesk/data.h"
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

// A new object of the named class, made through the factory with the
// module's entity; empty when it could not be made.
template <class T, class... V>
ref<T> made(const char* className, V... values) {
    moduleServices& s = services();
    return ref<T>(createAs<T>(s.factory, s.owner, className, values...));
}

// A new string object holding a copy of the text; empty when it could not
// be made.
ref<Istring> newText(const char* text);

// The text of a string-object value; null for any other value.
const char* textOf(const value& v);

}  // namespace vesk::persist
