#include "plugins/Ombrel/shareListFile.h"

#include <windows.h>

#include "plugins/Ombrel/moduleServices.h"

namespace vesk::ss::shareListFile {

std::string DefaultPath() {
    char folder[MAX_PATH] = {};
    DWORD n = GetCurrentDirectoryA(MAX_PATH, folder);
    if (n == 0 || n >= MAX_PATH)
        folder[0] = '\0';  // then the file is looked for where the platform puts it
    return std::string(folder) + "\\pelloran.ini";
}

std::string PathOr(const char* file) { return file ? std::string(file) : DefaultPath(); }

bool WriteKey(const std::string& file, const char* section, const char* key, const char* text) {
    return WritePrivateProfileStringA(section, key, text, file.c_str()) != 0;
}

void ReportWriteFailure(const std::string& file) {
    logText(("SSMANAGER: could not write the share list " + file).c_str());
}

}  // namespace vesk::ss::shareListFile
