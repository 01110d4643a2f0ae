// Running another program of the test and waiting for its end.
#pragma once

#include <string>

namespace vesk::testing {

constexpr unsigned long notEnded = ~0ul;

// The program's exit code, or notEnded when it did not start or did not
// end within timeoutMs (it is then ended). It runs in folder (empty: this
// program's current folder).
unsigned long runProgram(const std::string& commandLine, unsigned long timeoutMs = 60000,
                         const std::string& folder = "");

}  // namespace vesk::testing
