#include "testing/wineHost.h"

#include <windows.h>

#include <vector>

namespace vesk::testing {

std::string hostPath(const std::string& windowsPath) {
    using unixNameFn = char*(__cdecl*)(const WCHAR*);
    auto unixName = reinterpret_cast<unixNameFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName)
        return std::string();
    std::wstring wide(windowsPath.begin(), windowsPath.end());
    char* name = unixName(wide.c_str());
    std::string out = name ? name : "";
    if (name)
        HeapFree(GetProcessHeap(), 0, name);
    return out;
}

bool startHostProgram(const std::string& commandLine) {
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace vesk::testing
