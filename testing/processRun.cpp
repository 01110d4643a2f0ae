#include "testing/processRun.h"

#include <windows.h>

#include <vector>

namespace vesk::testing {

unsigned long runProgram(const std::string& commandLine, unsigned long timeoutMs, const std::string& folder) {
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return notEnded;
    DWORD code = 0;
    unsigned long result = notEnded;
    if (::WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0 &&
        ::GetExitCodeProcess(process.hProcess, &code))
        result = code;
    else
        ::TerminateProcess(process.hProcess, 1);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return result;
}

}  // namespace vesk::testing
