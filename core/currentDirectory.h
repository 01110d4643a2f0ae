// The process's current directory, where the host and the modules find
// their files at start.
#pragma once

#include <string>

namespace vesk {

// The current directory whatever its length, without a trailing '\' unless
// it is a drive root; empty when it cannot be read. It changes under a
// module's feet (a file dialog moves it): read it once at start and keep
// the paths made from it.
std::string currentDirectory();

}  // namespace vesk
