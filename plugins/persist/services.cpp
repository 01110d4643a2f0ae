#include "plugins/persist/services.h"

#include "core/string.h"

namespace vesk::persist {

moduleServices& services() {
    static moduleServices instance;
    return instance;
}

void logLine(const char* text) { vesk::logLine(services().log, text); }

}  // namespace vesk::persist
