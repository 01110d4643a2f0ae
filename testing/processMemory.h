// The memory a program holds, for leak tests and the benchmarks.
#pragma once

#include <windows.h>

#include <cstddef>

namespace vesk::testing {

// The process's private bytes: the memory committed for it alone. Read as
// the commit charge, which equals them on Windows and which Wine fills in
// where it leaves the private count at 0. 0 when it cannot be read.
size_t privateBytes();
// The same of another process (a handle with query rights).
size_t privateBytes(HANDLE process);
// The bytes of the C runtime heap's blocks in use: what the program's
// allocations hold, less the runtime's own slack. Wine's heap walk leaves
// out blocks of about 100 KiB and more. 0 when the heap cannot be walked.
size_t heapBytesInUse();

}  // namespace vesk::testing
