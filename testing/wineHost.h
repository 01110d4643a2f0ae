// Programs of the system Wine runs on, for tests and benchmarks that need
// what Windows calls cannot make there (a symbolic link, a reference
// timing). Such a program can be started but not waited for: poll for
// what it does.
#pragma once

#include <string>

namespace vesk::testing {

// The host system's path of a Windows path; empty when not under Wine.
std::string hostPath(const std::string& windowsPath);
// Starts a host program, e.g. "Z:\\bin\\ln -s a b" (arguments split as
// Windows splits a command line); false when it could not be started.
bool startHostProgram(const std::string& commandLine);

}  // namespace vesk::testing
