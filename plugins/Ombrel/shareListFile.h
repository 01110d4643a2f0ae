// The share-list file "pelloran.ini" of the current directory: the manager's
// folders (section "DIR") and the shared folders (sections "SHARE0", ...).
#pragma once

#include <string>

namespace vesk::ss::shareListFile {

// The current directory followed by "\pelloran.ini".
std::string DefaultPath();
// The given file, or the default path for null.
std::string PathOr(const char* file);

}  // namespace vesk::ss::shareListFile
