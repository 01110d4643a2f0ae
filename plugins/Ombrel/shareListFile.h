// The share-list file "pelloran.ini" of the start folder: the manager's
// folders (section "DIR") and the shared folders (sections "SHARE0", ...).
#pragma once

#include <string>

namespace vesk::ss::shareListFile {

// Takes the share list's path from the current directory, as the share
// engine does when it is made; the module does it once, when it registers.
void FixDefaultPath();
// The path fixed then; empty when there is none (see
// moduleServices::shareList).
std::string DefaultPath();
// The given file, or the default path for null.
std::string PathOr(const char* file);
// Writes one key of a section (a null key removes the whole section);
// false when the file could not be written or there is no file name.
bool WriteKey(const std::string& file, const char* section, const char* key, const char* text);
// One log line telling that the file could not be written.
void ReportWriteFailure(const std::string& file);

}  // namespace vesk::ss::shareListFile
