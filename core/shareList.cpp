#include "core/shareList.h"

#include <windows.h>

#include <vector>

#include "core/text.h"

namespace vesk {

std::string shareListIn(const std::string& folder) {
    if (folder.empty())
        return std::string();
    std::string path = folder;
    if (path.back() != '\\')
        path += '\\';
    path += shareListFileName;
    return path.size() < MAX_PATH ? path : std::string();
}

bool sectionExists(const std::string& file, const std::string& section) {
    if (file.empty())
        return false;
    char probe[520];  // only whether anything is there counts
    return GetPrivateProfileSectionA(section.c_str(), probe, sizeof probe, file.c_str()) != 0;
}

std::string profileText(const std::string& file, const std::string& section, const char* key, const char* fallback,
                        unsigned size) {
    std::string text = fallback ? fallback : "";
    if (file.empty() || size == 0)
        return text;
    std::vector<char> read(size, '\0');
    GetPrivateProfileStringA(section.c_str(), key, fallback, read.data(), size, file.c_str());
    return read.data();
}

bool readsAsTrue(const std::string& flag) {
    std::string text = lowerCase(flag);
    return text == "1" || (!text.empty() && text[0] == 't');
}

}  // namespace vesk
