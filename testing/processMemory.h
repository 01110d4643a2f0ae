// The memory a program holds, for leak tests and the benchmarks.
#pragma once

#include <cstddef>

namespace vesk::testing {

// The process's private bytes: the memory committed for it alone. Read as
// the commit charge, which equals them on Windows and which Wine fills in
// where it leaves the private count at 0. 0 when it cannot be read.
size_t privateBytes();

}  // namespace vesk::testing
