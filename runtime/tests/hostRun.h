// One run of runtime.exe in a temporary folder: the program, the GCC DLLs
// and a plugins\ folder filled by the test.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "testing/testPaths.h"

namespace vesk::test {

class hostRun {
public:
    hostRun();
    ~hostRun();
    hostRun(const hostRun&) = delete;
    hostRun& operator=(const hostRun&) = delete;

    // A module of the staged client (stage\plugins\<name>).
    bool addStagedModule(const std::string& name);
    // A test module from fixtures\, copied into plugins\ as <as>.
    bool addFixtureModule(const std::string& fixture, const std::string& as);
    // The scripted test module as plugins\<name>.vkm with its script.
    bool addScriptedModule(const std::string& name, const std::string& script);

    // Starts runtime.exe in the folder and waits for its end. False when it
    // did not end within timeoutMs (it is then killed) or did not start.
    bool run(const std::string& commandLine = "", DWORD timeoutMs = 60000);
    // The same in two halves, for tests that work beside the running host:
    // start, then finish (waits, kills after the time, closes the handles).
    bool start(const std::string& commandLine = "");
    bool finish(DWORD timeoutMs = 60000);
    // The started process (null when none); true while it runs.
    HANDLE process() const { return process_; }
    bool running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
    DWORD exitCode() const { return exitCode_; }

    // vesk.log as it is on disk, and split into lines at "\r\n".
    std::string log() const;
    std::vector<std::string> logLines() const;
    const std::string& folder() const { return dir_.path(); }
    // A file of the run's folder.
    std::string path(const std::string& name) const { return dir_.file(name); }

    // Writes the run's "stop" file (path("stop")), which the fake user
    // interface's script awaits before it ends the client, then finishes.
    // True when the client ended by itself within timeoutMs.
    bool stopByFile(DWORD timeoutMs = 60000);

private:
    testing::tempDir dir_;
    DWORD exitCode_ = STILL_ACTIVE;
    HANDLE process_ = nullptr;
};

// The console's lifecycle lines as they appear in the log.
std::string entering(const std::string& entry, const std::string& module);
std::string exiting(const std::string& entry, const std::string& module, bool success);
std::string unhandled(const std::string& entry, const std::string& module);

}  // namespace vesk::test
