#include "plugins/Ombrel/shareListFile.h"

#include <windows.h>

#include "core/currentDirectory.h"
#include "core/shareList.h"
#include "plugins/Ombrel/moduleServices.h"

namespace vesk::ss::shareListFile {

void FixDefaultPath() { services().shareList = shareListIn(currentDirectory()); }

std::string DefaultPath() { return services().shareList; }

std::string PathOr(const char* file) { return file ? std::string(file) : DefaultPath(); }

// An empty name would make the profile calls write the system's own file.
bool WriteKey(const std::string& file, const char* section, const char* key, const char* text) {
    return !file.empty() && WritePrivateProfileStringA(section, key, text, file.c_str()) != 0;
}

void ReportWriteFailure(const std::string& file) {
    if (file.empty())
        logText("SSMANAGER: could not write the share list: the start folder gives no path for it");
    else
        logText(("SSMANAGER: could not write the share list " + file).c_str());
}

}  // namespace vesk::ss::shareListFile
