// Texts of a module's version block.
#pragma once

#include <cstddef>
#include <string>

namespace vesk {

// The "PrivateBuild" text of the first translation in the version block of
// the library at path, at most limit characters; empty when the library,
// its version block or the value is missing.
std::string readPrivateBuild(const char* path, std::size_t limit);

}  // namespace vesk
