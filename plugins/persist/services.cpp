#include "plugins/persist/services.h"

#include <new>

#include "core/string.h"

namespace vesk::persist {

moduleServices& services() {
    static moduleServices instance;
    return instance;
}

void logLine(const char* text) { vesk::logLine(services().log, text); }

ref<Istring> newText(const char* text) { return ref<Istring>(new (std::nothrow) string(text)); }

const char* textOf(const value& v) {
    Istring* s = v.asString();
    return s ? s->c_str() : nullptr;
}

}  // namespace vesk::persist
