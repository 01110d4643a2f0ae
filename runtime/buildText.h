// The build text of the banner: "PrivateBuild" of a module's version block.
#pragma once

#include <string>

namespace vesk {

constexpr std::size_t buildTextLimit = 15;

// The "PrivateBuild" text of the first translation in the version block of
// the library at path, lower-cased and cut to buildTextLimit characters;
// empty when the library, its version block or the value is missing.
std::string readBuildText(const char* path);

}  // namespace vesk
