#include "testing/processMemory.h"

#include <windows.h>
#include <psapi.h>

namespace vesk::testing {

size_t privateBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return 0;
    return counters.PagefileUsage;
}

}  // namespace vesk::testing
