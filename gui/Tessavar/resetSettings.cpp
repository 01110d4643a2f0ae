#include "gui/Tessavar/resetSettings.h"

#include <cstring>

namespace vesk::tessavar {

namespace {

constexpr WORD defaultSettingsId = 319;  // the resource module's fixed id
constexpr const char* settingsFile = "vesk.egg";

// The "Plugins" value as the installation wrote it, read within its limit.
std::string pluginValueModulePath() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, clientKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return resourceModulePath(ERROR_FILE_NOT_FOUND, REG_NONE, nullptr, 0);
    char data[pluginFolderLimit];
    DWORD type = REG_NONE, size = sizeof data;
    LONG read = RegQueryValueExA(key, "Plugins", nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    return resourceModulePath(read, type, data, size);
}

}  // namespace

std::string resourceModulePath(LONG readResult, DWORD type, const char* data, DWORD size) {
    std::string folder = defaultPluginFolder;
    if (readResult == ERROR_SUCCESS && type == REG_SZ && data && size <= pluginFolderLimit) {
        const void* end = std::memchr(data, '\0', size);
        size_t length = end ? static_cast<const char*>(end) - data : 0;
        bool slashed = length && (data[length - 1] == '\\' || data[length - 1] == '/');
        size_t needed = length + (slashed ? 0 : 1) + std::strlen(resourceModuleName) + 1;
        if (length && needed <= pluginFolderLimit)
            folder.assign(data, length).append(slashed ? "" : "\\");
    }
    return folder + resourceModuleName;
}

bool resetLanguage() {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, clientKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    DWORD systemDefault = 0;
    LONG written = RegSetValueExA(key, "LanguageID", 0, REG_DWORD,
                                  reinterpret_cast<const BYTE*>(&systemDefault), sizeof systemDefault);
    RegCloseKey(key);
    return written == ERROR_SUCCESS;
}

bool readDefaultSettings(const std::string& modulePath, std::string& text) {
    // Only its resources are wanted: no code of the module runs.
    HMODULE module = LoadLibraryExA(modulePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return false;
    bool found = false;
    if (HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(defaultSettingsId), "txt")) {
        DWORD size = SizeofResource(module, resource);
        HGLOBAL loaded = size ? LoadResource(module, resource) : nullptr;
        const void* bytes = loaded ? LockResource(loaded) : nullptr;
        if (bytes) {
            text.assign(static_cast<const char*>(bytes), size);
            found = true;
        }
    }
    FreeLibrary(module);
    return found;
}

bool writeReplacing(const std::string& path, const std::string& bytes) {
    std::string temporary = path + ".new";
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool complete = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size() && FlushFileBuffers(file);
    bool closed = CloseHandle(file);
    if (complete && closed &&
        MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(temporary.c_str());
    return false;
}

int resetSettings() {
    bool languageReset = resetLanguage();
    std::string text;
    if (!readDefaultSettings(pluginValueModulePath(), text) || !writeReplacing(settingsFile, text))
        return 1;
    return languageReset ? 0 : 2;
}

}  // namespace vesk::tessavar
