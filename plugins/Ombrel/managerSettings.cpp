// The manager's settings in the settings store (owner "ss_manager") and its
// folders in the share-list file.
#include <windows.h>

#include <string>

#include "core/shareList.h"
#include "core/text.h"
#include "plugins/Ombrel/filterTable.h"
#include "plugins/Ombrel/manager.h"
#include "plugins/Ombrel/moduleServices.h"
#include "plugins/Ombrel/shareListFile.h"
#include "vesk/data.h"

namespace vesk::ss {

namespace {

const char* const autoClearKeys[4] = {"autoclear_complete_downloads", "autoclear_complete_uploads",
                                      "autoclear_error_downloads", "autoclear_error_uploads"};
const char* const filterFieldKey = "SSManager_Filter.fieldName";
const char* const filterOperandKey = "SSManager_Filter.opRight";
const char* const filterOperatorKey = "SSManager_Filter.comp";
const char* const filterNameKey = "SSManager_Filter.friendlyName";
constexpr DWORD folderBufferSize = 260;

value read(const char* key, const value& defaultValue) {
    moduleServices& s = services();
    return s.settings->getValue(key, defaultValue, s.token);
}

void write(const std::string& key, const value& v) {
    moduleServices& s = services();
    s.settings->setValue(key.c_str(), v, s.token);
}

std::string textSetting(const std::string& key) {
    value v = read(key.c_str(), value(""));
    return textOrEmpty(v.asString());
}

std::string readFolder(const std::string& file, const char* key) {
    return profileText(file, "DIR", key, "C:\\", folderBufferSize);
}

// Runs one group of the loader; a failure is logged and passed on.
template <class Group>
void guarded(Group group, const char* failureLine) {
    try {
        group();
    } catch (...) {
        logText(failureLine);
        throw 1;
    }
}

}  // namespace

void CSSManager::loadFlags() {
    for (int i = 0; i < 4; ++i) {
        value v = read(autoClearKeys[i], value(0L));
        autoClear_[i] = v.code == vt::longV && v.payload.l == 1;
    }
}

void CSSManager::loadDirectorySettings() {
    value max = read("MaxSearchResults", value(0L));
    maxSearchResults_ = max.code == vt::ulongV ? max.payload.ul : 0;
    // Only the payload counts for the two switches, whatever its type.
    autoConnectOnStart_ = read("AutoConnectOnStart", value(0L)).payload.l == 1;
    autoConnectOnSearch_ = read("AutoConnectOnSearch", value(0L)).payload.l == 1;
    value mode = read("DisplayMode", value(100L));
    displayMode_ = mode.code == vt::longV ? mode.payload.l : 0;
    std::string file = shareListFile::DefaultPath();
    SetDownloadDir(readFolder(file, "DOWNLOAD").c_str());
    SetTempDir(readFolder(file, "TEMP").c_str());
}

void CSSManager::loadFilters() {
    value count = read("SSManager_FilterCount", value(0L));
    unsigned long n = count.code == vt::ulongV ? count.payload.ul : 0;
    for (unsigned long i = 1; i <= n; ++i) {
        std::string position = std::to_string(i);
        std::string operatorName = textSetting(filterOperatorKey + position);
        // Saving writes positions without gaps: a position without an
        // operator ends the list, so a damaged count cannot fill the store.
        if (operatorName.empty())
            break;
        std::string field = textSetting(filterFieldKey + position);
        value operand = read((filterOperandKey + position).c_str(), value(""));
        std::string name = textSetting(filterNameKey + position);
        AddFilterByName(name.c_str(), field.c_str(), operatorName.c_str(), operand);
    }
}

bool CSSManager::Load() {
    if (!services().settings)
        return false;
    guarded([this] { loadFlags(); },
            " !!ERROR!! SSMANAGER: Exception thrown while loading autoclear flags from g_ISettings!\r\n");
    guarded([this] { loadDirectorySettings(); },
            " !!ERROR!! SSMANAGER: Exception thrown while Loading directory info from g_ISettings\r\n");
    guarded([this] { loadFilters(); }, " !!ERROR!! SSMANAGER: Exception thrown while loading filters\r\n");
    return true;
}

void CSSManager::Save() {
    if (!services().settings)
        return;
    for (int i = 0; i < 4; ++i)
        write(autoClearKeys[i], value(autoClear_[i] ? 1L : 0L));

    std::string file = shareListFile::DefaultPath();
    char folder[folderBufferSize];
    GetDownloadDir(0, folder);
    bool written = shareListFile::WriteKey(file, "DIR", "DOWNLOAD", folder);
    GetTempDir(0, folder);
    written = shareListFile::WriteKey(file, "DIR", "TEMP", folder) && written;
    if (!written)
        shareListFile::ReportWriteFailure(file);

    write("AutoConnectOnStart", value(autoConnectOnStart_ ? 1L : 0L));
    write("AutoConnectOnSearch", value(autoConnectOnSearch_ ? 1L : 0L));
    write("MaxSearchResults", value(static_cast<unsigned long>(maxSearchResults_)));
    write("DisplayMode", value(static_cast<long>(displayMode_)));
    filterList filters = filters_.Snapshot();
    write("SSManager_FilterCount", value(static_cast<unsigned long>(filters.size())));
    // Positions of filters removed since stay in the store; the count tells.
    unsigned long i = 0;
    for (const auto& filter : filters) {
        std::string position = std::to_string(++i);
        write(filterFieldKey + position, value(filter->fieldName.c_str()));
        write(filterOperandKey + position, filter->Operand());
        write(filterOperatorKey + position, value(filter->operatorName.c_str()));
        write(filterNameKey + position, value(filter->friendlyName.c_str()));
    }
}

}  // namespace vesk::ss
