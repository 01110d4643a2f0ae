// The module's parts in the test's own process, as _register would set
// them up: the real core directory, factory and entity table, a log that
// keeps its lines, the threader's thread class and function index, the
// recording fake user interface with the staged resource module, and a
// settings store in memory.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "plugins/gnutella/tests/fakeSettings.h"
#include "testing/fakes/fakeUi.h"
#include "testing/recordingLog.h"
#include "vesk/directory.h"
#include "vesk/factory.h"

namespace vesk::gnutella::test {

class gnutellaFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The recorded user interface calls that begin with prefix.
    std::vector<std::string> recorded(const std::string& prefix) {
        return ui.calls().linesStartingWith(prefix);
    }

    Icore* directory = nullptr;
    Ifactory* factory = nullptr;
    IentityTable* entities = nullptr;
    vesk::testing::recordingLog* log = nullptr;  // published in the directory
    capsule<fakeSettings>* store = nullptr;      // one reference held
    vesk::testing::fakeUi ui;
    HMODULE resources = nullptr;
};

}  // namespace vesk::gnutella::test
