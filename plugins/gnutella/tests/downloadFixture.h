// The transfer side in the test's own process, with the real file-system,
// manager (agents, folders, auto-clear) and network modules loaded from the
// staged client, the recording fake user interface, a clock the tests move,
// and folders of their own for temporary and finished files. The tests run
// the transfer thread's passes themselves, and fire row actions on the fake
// GUI thread as the transfer window does.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaTransfer.h"
#include "testing/fakes/fakeUi.h"
#include "testing/testPaths.h"
#include "vesk/ss.h"

namespace vesk::gnutella::test {

class DownloadTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A search result as the search side makes it: the source (127.0.0.1,
    // the port, file index 7), the file's name and size, and the download
    // action. One reference held by the returned ref.
    ref<ss::IAgent> resultRow(const std::string& name, std::uint32_t size, unsigned short port);
    // Fires the row's action named by the text id, on the GUI thread.
    bool fire(ss::IAgent* row, unsigned id);
    // Passes of the transfer thread until the condition holds; false after
    // 20 s.
    bool stepUntil(const std::function<bool()>& condition);
    // The connection the row's "GnuTID" names now, or null.
    CGnutellaHost* hostOf(ss::IAgent* row);
    CGnutellaTransfer* transferOf(ss::IAgent* row) {
        CGnutellaHost* host = hostOf(row);
        return host ? host->m_Transfer : nullptr;
    }
    std::uint16_t stateOf(ss::IAgent* row) {
        CGnutellaHost* host = hostOf(row);
        return host ? host->m_State : 0;
    }

    // What the row shows.
    std::string column(ss::IAgent* row, unsigned id);
    long number(ss::IAgent* row, const char* name);
    unsigned long colour(ss::IAgent* row);
    bool offers(ss::IAgent* row, unsigned id);
    bool listed(ss::IAgent* row);
    bool queued(ss::IAgent* row);
    unsigned running();

    void advance(unsigned long milliseconds);

    vesk::testing::tempDir temp, downloads;
    ss::ISSManager* manager = nullptr;
};

vesk::testing::fakeUi& FakeUi();

}  // namespace vesk::gnutella::test
