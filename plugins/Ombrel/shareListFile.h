// The share-list file "pelloran.ini" of the current directory: the manager's
// folders (section "DIR") and the shared folders (sections "SHARE0", ...).
#pragma once

#include <string>

namespace vesk::ss::shareListFile {

// The current directory followed by "\pelloran.ini".
std::string DefaultPath();
// The given file, or the default path for null.
std::string PathOr(const char* file);
// Writes one key of a section (a null key removes the whole section);
// false when the file could not be written.
bool WriteKey(const std::string& file, const char* section, const char* key, const char* text);
// One log line telling that the file could not be written.
void ReportWriteFailure(const std::string& file);

}  // namespace vesk::ss::shareListFile
