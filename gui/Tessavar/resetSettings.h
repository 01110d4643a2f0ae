// The settings reset tool's work: the language choice back to the system
// default and the default settings text of the resource module written
// over "vesk.egg" in the current directory.
#pragma once

#include <windows.h>

#include <string>

namespace vesk::tessavar {

// The client's registry key under HKEY_CURRENT_USER.
constexpr const char* clientKey = "Software\\Pelloran";
constexpr const char* defaultPluginFolder = ".\\plugins\\";
constexpr const char* resourceModuleName = "rsrc.vkm";
constexpr DWORD pluginFolderLimit = 260;  // bytes read of "Plugins"

// The resource module's path from the "Plugins" value as read (the read's
// result, the value's type, its bytes): the folder with a backslash added
// when it has none, followed by "rsrc.vkm". A value that is missing, no
// string, empty, unterminated within its bytes, or too long for the name
// to be appended within the limit gives the default folder instead.
std::string resourceModulePath(LONG readResult, DWORD type, const char* data, DWORD size);

// Sets "LanguageID" to 0 (REG_DWORD); false when the key or value could
// not be written.
bool resetLanguage();

// The module's "txt" resource 319; false (text untouched) when the module
// cannot be opened or has no such resource or it is empty.
bool readDefaultSettings(const std::string& modulePath, std::string& text);

// Writes bytes to a temporary file beside path, flushes it and then
// replaces path with it; on failure path is as it was and no temporary
// file is left.
bool writeReplacing(const std::string& path, const std::string& bytes);

// All of it: 0 when both were reset, 1 when "vesk.egg" was left as it was,
// 2 when the file was written but the language choice was not.
int resetSettings();

}  // namespace vesk::tessavar
