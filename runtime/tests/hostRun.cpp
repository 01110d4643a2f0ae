#include "runtime/tests/hostRun.h"

#include <stdexcept>

namespace vesk::test {

namespace {

std::vector<std::string> programFiles() {
    std::vector<std::string> files{"runtime.exe"};
    for (const std::string& dll : testing::runtimeDllNames())
        files.push_back(dll);
    return files;
}

}  // namespace

hostRun::hostRun() {
    for (const std::string& name : programFiles())
        if (!testing::copyFile(testing::stageDir() + "\\" + name, dir_.file(name)))
            throw std::runtime_error(std::string("cannot copy ") + name);
    if (!CreateDirectoryA(dir_.file("plugins").c_str(), nullptr))
        throw std::runtime_error("cannot make the plugins folder");
}

bool hostRun::addStagedModule(const std::string& name) {
    return testing::copyFile(testing::stageDir() + "\\plugins\\" + name, dir_.file("plugins\\" + name));
}

bool hostRun::addFixtureModule(const std::string& fixture, const std::string& as) {
    return testing::copyFile(testing::fixturesDir() + "\\" + fixture, dir_.file("plugins\\" + as));
}

bool hostRun::addScriptedModule(const std::string& name, const std::string& script) {
    return addFixtureModule("scripted.vkm", name + ".vkm") &&
           testing::writeFile(dir_.file("plugins\\" + name + ".script"), script);
}

hostRun::~hostRun() {
    if (process_)
        finish(0);
}

bool hostRun::run(const std::string& commandLine, DWORD timeoutMs) {
    return start(commandLine) && finish(timeoutMs);
}

bool hostRun::start(const std::string& commandLine) {
    if (process_)
        return false;
    std::string program = dir_.file("runtime.exe");
    std::string line = "\"" + program + "\"" + (commandLine.empty() ? "" : " " + commandLine);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, dir_.path().c_str(),
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    process_ = process.hProcess;
    exitCode_ = STILL_ACTIVE;
    return true;
}

bool hostRun::finish(DWORD timeoutMs) {
    if (!process_)
        return false;
    bool ended = WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0;
    if (!ended) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 10000);
    }
    GetExitCodeProcess(process_, &exitCode_);
    CloseHandle(process_);
    process_ = nullptr;
    return ended;
}

bool hostRun::stopByFile(DWORD timeoutMs) {
    if (!process_)
        return false;
    testing::writeFile(path("stop"), "");
    return finish(timeoutMs);
}

std::string hostRun::log() const { return testing::readFile(dir_.file("vesk.log")); }

std::vector<std::string> hostRun::logLines() const {
    std::vector<std::string> lines;
    std::string text = log();
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size())
        lines.push_back(text.substr(start));  // an unterminated last line
    return lines;
}

std::string entering(const std::string& entry, const std::string& module) {
    return "[*] entering :: " + entry + "() :: " + module;
}

std::string exiting(const std::string& entry, const std::string& module, bool success) {
    return "[*] exiting  :: " + entry + "() :: " + module + (success ? "  [SUCCESS]" : "  [FAILED]");
}

std::string unhandled(const std::string& entry, const std::string& module) {
    return "[*] unhandled exception :: " + entry + "() :: " + module;
}

}  // namespace vesk::test
