#include "runtime/buildText.h"

#include <cctype>

#include "core/versionText.h"

namespace vesk {

std::string readBuildText(const char* path) {
    std::string build = readPrivateBuild(path, buildTextLimit);
    for (char& c : build)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return build;
}

}  // namespace vesk
