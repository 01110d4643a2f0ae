// The real modules the Gnutella module needs but the network module,
// loaded from the staged client into the test's own process and
// registered as the console does, with the recording fake user interface
// published in their directory. One per process: modules keep their state.
#pragma once

#include <windows.h>

#include "testing/fakes/fakeUi.h"

namespace vesk::gnutella::test {

struct loadedModules {
    vesk::testing::fakeUi ui;
    HMODULE resources = nullptr;  // the staged resource module

    // Throws std::runtime_error when a module does not register.
    loadedModules();
};

}  // namespace vesk::gnutella::test
