#include "testing/processMemory.h"

#include <windows.h>
#include <psapi.h>

#include <malloc.h>

namespace vesk::testing {

size_t privateBytes() { return privateBytes(GetCurrentProcess()); }

size_t privateBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters))
        return 0;
    return counters.PagefileUsage;
}

size_t heapBytesInUse() {
    _HEAPINFO entry{};
    entry._pentry = nullptr;
    size_t total = 0;
    int result;
    while ((result = _heapwalk(&entry)) == _HEAPOK)
        if (entry._useflag == _USEDENTRY)
            total += entry._size;
    return result == _HEAPEND ? total : 0;
}

}  // namespace vesk::testing
