// Downloads from a scripted source on 127.0.0.1, through the transfer
// thread's passes and the row actions the transfer window fires.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/capsule.h"
#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/clock.h"
#include "plugins/gnutella/downloadActions.h"
#include "plugins/gnutella/fixedText.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/httpMessages.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/resources.h"
#include "plugins/gnutella/tests/downloadFixture.h"
#include "plugins/gnutella/tests/otherVolume.h"
#include "plugins/gnutella/tests/rowAgent.h"
#include "plugins/gnutella/tests/scriptedUploader.h"
#include "plugins/gnutella/transferRows.h"
#include "plugins/gnutella/transferStates.h"
#include "plugins/gnutella/transferSteps.h"
#include "plugins/gnutella/transferThread.h"
#include "plugins/gnutella/workerThreads.h"
#include "testing/fakes/script.h"

namespace vesk::gnutella::test {
namespace {

using connection = scriptedUploader::connection;
using vesk::testing::fileExists;
using vesk::testing::readFile;

std::string okAnswer(std::size_t size, const char* server = "Pelloran 1.0") {
    return std::string("HTTP/1.1 200 OK\r\nServer: ") + server +
           "\r\nContent-Length: " + std::to_string(size) + "\r\n\r\n";
}

// A 206 answer from byte from, its Content-Range written with "=" or " ".
std::string partialAnswer(std::size_t from, std::size_t size, const char* form) {
    return "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes" + std::string(form) + std::to_string(from) +
           "-" + std::to_string(size - 1) + "/" + std::to_string(size) +
           "\r\nContent-Length: " + std::to_string(size - from) + "\r\n\r\n";
}

const unsigned transferActions[] = {IDS_GNU_ACTION_STOP,   IDS_GNU_ACTION_START,    IDS_GNU_ACTION_RETRY,
                                    IDS_GNU_ACTION_REMOVE, IDS_GNU_ACTION_DOWNLOAD, IDS_GNU_ACTION_START_NOW};

class Downloads : public DownloadTest {
protected:
    // The transfer actions the row offers, by text id.
    std::vector<unsigned> actionsOf(ss::IAgent* row) {
        std::vector<unsigned> offered;
        for (unsigned id : transferActions)
            if (offers(row, id))
                offered.push_back(id);
        std::sort(offered.begin(), offered.end());
        return offered;
    }
    bool ended(ss::IAgent* row) { return stateOf(row) == transferState::downloadEnded; }
};

TEST_F(Downloads, AFullDownloadIsMovedIntoTheDownloadFolder) {
    scriptedUploader source;
    const std::uint32_t size = 100000;
    std::string file = FileBytes(1, 0, size);
    // A keep-alive source that stays quiet after the last byte.
    source.then(SendsAndHolds(okAnswer(size) + file));
    ref<ss::IAgent> row = resultRow("song.mp3", size, source.port());
    ss::IAgent* r = row.get();

    ASSERT_TRUE(fire(r, IDS_GNU_ACTION_DOWNLOAD));
    EXPECT_TRUE(queued(r));
    EXPECT_TRUE(listed(r));
    EXPECT_EQ(column(r, IDS_GNU_FIELD_STATUS), "Waiting...");
    EXPECT_EQ(colour(r), 0x787878u);
    EXPECT_EQ(actionsOf(r), (std::vector<unsigned>{IDS_GNU_ACTION_REMOVE, IDS_GNU_ACTION_START_NOW}));

    ASSERT_TRUE(stepUntil([&] { return ended(r); }));
    EXPECT_EQ(source.requests(),
              std::vector<std::string>{"GET /get/7/song.mp3 HTTP/1.0\r\nConnection: Keep-Alive\r\n\r\n"});
    EXPECT_EQ(readFile(downloads.file("song.mp3")), file);
    EXPECT_FALSE(fileExists(temp.file("song.mp3")));
    EXPECT_EQ(number(r, "AFD"), 2);
    EXPECT_EQ(column(r, IDS_GNU_ACTION_DOWNLOAD), downloads.file("song.mp3"));
    EXPECT_FALSE(r->HasAttribute(ResourceText(IDS_GNU_FIELD_TEMP_PATH)));
    EXPECT_EQ(column(r, IDS_GNU_FIELD_STATUS), "Complete (97.66 KB)");
    EXPECT_EQ(colour(r), 0x5000u);
    EXPECT_EQ(column(r, IDS_GNU_FIELD_CLIENT), "Pelloran 1.0");
    EXPECT_EQ(r->GetAttributeProperty(ResourceText(IDS_GNU_FIELD_CLIENT), "II").asLong(),
              VendorImage(vendorImage::own));
    EXPECT_EQ(actionsOf(r), std::vector<unsigned>{IDS_GNU_ACTION_REMOVE});
    for (const std::string& name : FakeUi().transferWindowActions(true))
        EXPECT_TRUE(r->HasAction(name.c_str())) << "the window's own action " << name << " stays";
    EXPECT_EQ(running(), 0u);
    EXPECT_EQ(transferOf(r)->code, 0u);

    // Without auto-clear the row stays; with it, it goes at the next pass.
    TransferStep();
    EXPECT_TRUE(listed(r));
    manager->SetAutoClear(ss::autoClear::completedDownloads, true);
    // The row leaves the window by a call the GUI thread carries out, the
    // connection its list in the same pass: wait for both.
    ASSERT_TRUE(stepUntil([&] { return !listed(r) && g_TransferHostList.IsEmpty(); }));
    EXPECT_EQ(actionsOf(r), std::vector<unsigned>{IDS_GNU_ACTION_DOWNLOAD}) << "it can be downloaded again";
    EXPECT_FALSE(r->HasAttribute(transferIdName));
}

TEST_F(Downloads, ADropMidFileResumesWithARangeToTheSameBytes) {
    const std::uint32_t size = 60000, half = 25000;
    // The HTTP form of Content-Range and this program's own.
    for (const char* form : {" ", "="}) {
        SCOPED_TRACE(std::string("Content-Range: bytes") + form);
        scriptedUploader source;
        std::string file = FileBytes(2, 0, size);
        source.then(SendsAndCloses(okAnswer(size) + file.substr(0, half)));  // then closed
        source.then(SendsAndHolds(partialAnswer(half, size, form) + file.substr(half)));
        std::string name = std::string("clip") + (form[0] == '=' ? "A" : "B") + ".avi";
        ref<ss::IAgent> row = resultRow(name, size, source.port());
        ss::IAgent* r = row.get();
        ASSERT_TRUE(fire(r, IDS_GNU_ACTION_DOWNLOAD));

        ASSERT_TRUE(stepUntil([&] { return ended(r); }));
        EXPECT_EQ(transferOf(r)->code, 998u);
        EXPECT_EQ(transferOf(r)->bytesDone, half);
        EXPECT_EQ(column(r, IDS_GNU_FIELD_STATUS), FailureText(998));
        EXPECT_EQ(colour(r), 0xAFu);
        EXPECT_EQ(actionsOf(r),
                  (std::vector<unsigned>{IDS_GNU_ACTION_REMOVE, IDS_GNU_ACTION_START, IDS_GNU_ACTION_RETRY}));
        EXPECT_EQ(running(), 0u);
        EXPECT_EQ(readFile(temp.file(name)), file.substr(0, half));

        ASSERT_TRUE(fire(r, IDS_GNU_ACTION_START));
        EXPECT_EQ(running(), 1u);
        ASSERT_TRUE(stepUntil([&] { return ended(r); }));
        ASSERT_EQ(source.requests().size(), 2u);
        EXPECT_NE(source.requests()[1].find("\r\nRange: bytes=25000-\r\n"), std::string::npos)
            << source.requests()[1];
        EXPECT_EQ(readFile(downloads.file(name)), file) << "byte for byte";
        EXPECT_EQ(running(), 0u);
    }
}

TEST_F(Downloads, ABusySourceCountsDownAndIsAskedAgain) {
    scriptedUploader source;
    const std::uint32_t size = 5000;
    std::string file = FileBytes(3, 0, size);
    source.then(SendsAndCloses("HTTP/1.1 503 Service Unavailable\r\n\r\n"));
    source.then(SendsAndHolds(okAnswer(size) + file));
    ref<ss::IAgent> row = resultRow("busy.txt", size, source.port());
    ss::IAgent* r = row.get();
    ASSERT_TRUE(fire(r, IDS_GNU_ACTION_DOWNLOAD));
    ASSERT_TRUE(stepUntil([&] { return ended(r); }));
    EXPECT_EQ(transferOf(r)->code, 503u);
    EXPECT_EQ(column(r, IDS_GNU_FIELD_STATUS), FailureText(503));
    EXPECT_EQ(actionsOf(r), (std::vector<unsigned>{IDS_GNU_ACTION_REMOVE, IDS_GNU_ACTION_START_NOW}));
    EXPECT_EQ(running(), 0u) << "a busy source holds no download slot while it waits";

    // The clock moves a second at a time; the row shows every fifth one.
    std::vector<std::string> shown;
    auto pass = [&](unsigned long milliseconds) {
        advance(milliseconds);
        TransferStep();
        std::string left = column(r, IDS_GNU_FIELD_TIME_LEFT);
        if (shown.empty() || shown.back() != left)
            shown.push_back(left);
    };
    for (int second = 1; second < 60; ++second)
        pass(1000);
    EXPECT_EQ(column(r, IDS_GNU_FIELD_STATUS), "Busy - retrying in 60 seconds");
    EXPECT_EQ(column(r, IDS_GNU_FIELD_SPEED), ResourceText(IDS_GNU_XFER_QUEUED));
    EXPECT_EQ(colour(r), 0x787878u);
    EXPECT_FALSE(queued(r));
    pass(500);
    EXPECT_EQ(shown,
              (std::vector<std::string>{ResourceText(IDS_GNU_XFER_STOPPED), "55s ", "50s ", "45s ", "40s ",
                                        "35s ", "30s ", "25s ", "20s ", "15s ", "10s ", "5s ", "0s "}))
        << "the first entry is what the busy answer left";
    EXPECT_EQ(source.accepted(), 1);

    // The wait is over: queued again, and left alone until a slot is free.
    g_Settings.m_MaxDownloads = 0;
    pass(500);
    for (int i = 0; i < 20; ++i)
        TransferStep();
    EXPECT_TRUE(queued(r));
    EXPECT_EQ(transferOf(r)->retryCount, 1u);
    EXPECT_EQ(column(r, IDS_GNU_FIELD_STATUS), "Waiting...");
    EXPECT_EQ(source.accepted(), 1);
    g_Settings.m_MaxDownloads = 7;
    ASSERT_TRUE(stepUntil([&] { return ended(r) && fileExists(downloads.file("busy.txt")); }));
    ASSERT_EQ(source.requests().size(), 2u);
    EXPECT_EQ(source.requests()[1].find("Range:"), std::string::npos);
    EXPECT_EQ(readFile(downloads.file("busy.txt")), file);
}

TEST_F(Downloads, NoRetriesLeftMakesABusyAnswerAFailure) {
    g_Settings.m_AutoRetryCount = 0;
    scriptedUploader source;
    source.then(SendsAndCloses("HTTP/1.1 503 Service Unavailable\r\n\r\n"));
    ref<ss::IAgent> row = resultRow("busy.txt", 10, source.port());
    ss::IAgent* r = row.get();
    ASSERT_TRUE(fire(r, IDS_GNU_ACTION_DOWNLOAD));
    ASSERT_TRUE(stepUntil([&] { return ended(r); }));
    std::string status = column(r, IDS_GNU_FIELD_STATUS);
    advance(61000);
    for (int i = 0; i < 20; ++i)
        TransferStep();
    EXPECT_EQ(column(r, IDS_GNU_FIELD_STATUS), status) << "no countdown";
    EXPECT_FALSE(queued(r));
    EXPECT_EQ(source.accepted(), 1);
    manager->SetAutoClear(ss::autoClear::failedDownloads, true);
    ASSERT_TRUE(stepUntil([&] { return !listed(r); })) << "cleared as a failed download";
}

TEST_F(Downloads, AnswersThatEndADownloadAsFailed) {
    struct row {
        const char* name;
        scriptedUploader::script script;
        std::uint32_t code;
        std::vector<unsigned> actions;
    } rows[] = {
        {"404",
         SendsAndCloses("HTTP/1.1 404 Not Found\r\n\r\n"),
         404,
         {IDS_GNU_ACTION_REMOVE, IDS_GNU_ACTION_START, IDS_GNU_ACTION_RETRY}},
        {"a status without a text",
         SendsAndCloses("HTTP/1.1 416 Range Not Satisfiable\r\n\r\n"),
         416,
         {IDS_GNU_ACTION_REMOVE, IDS_GNU_ACTION_START, IDS_GNU_ACTION_RETRY}},
        {"no HTTP answer",
         SendsAndCloses("ICY 200 OK\r\n\r\n"),
         993,
         {IDS_GNU_ACTION_REMOVE, IDS_GNU_ACTION_RETRY}},
        {"closed unanswered", [](connection&) {}, 998, {IDS_GNU_ACTION_REMOVE, IDS_GNU_ACTION_RETRY}},
        {"an answer that announces no byte",
         SendsAndHolds("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"),
         993,
         {IDS_GNU_ACTION_REMOVE, IDS_GNU_ACTION_RETRY}},
    };
    for (const row& t : rows) {
        SCOPED_TRACE(t.name);
        scriptedUploader source;
        source.then(t.script);
        ref<ss::IAgent> result = resultRow("file.bin", 1000, source.port());
        ss::IAgent* r = result.get();
        ASSERT_TRUE(fire(r, IDS_GNU_ACTION_DOWNLOAD));
        ASSERT_TRUE(stepUntil([&] { return ended(r); }));
        EXPECT_EQ(transferOf(r)->code, t.code);
        EXPECT_EQ(column(r, IDS_GNU_FIELD_STATUS), FailureText(t.code));
        EXPECT_EQ(colour(r), 0xAFu);
        EXPECT_EQ(actionsOf(r), t.actions);
        EXPECT_EQ(running(), 0u);
        EXPECT_FALSE(fileExists(temp.file("file.bin")));
        EXPECT_NE(column(r, IDS_GNU_FIELD_STATUS), "");
        DestroyHosts(g_TransferHostList);
    }
    EXPECT_EQ(std::string(StatusText(416)), ResourceText(IDS_GNU_STATUS_UNKNOWN));
}

// The end of a link is told as soon as it is seen: an answer that came
// before the source reset the connection is still read.
TEST_F(Downloads, AnAnswerThatCameBeforeTheSourceWentIsRead) {
    scriptedUploader source;
    const std::uint32_t size = 20000;
    std::string file = FileBytes(12, 0, size);
    gate reset;
    source.then([&](connection& c) {
        c.send(okAnswer(size) + file);
        Sleep(200);
        linger abortive{1, 0};
        setsockopt(c.socket, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abortive), sizeof abortive);
        c.close();
        reset.open(1);
    });
    ref<ss::IAgent> row = resultRow("reset.bin", size, source.port());
    ss::IAgent* r = row.get();
    ASSERT_TRUE(fire(r, IDS_GNU_ACTION_DOWNLOAD));
    ASSERT_TRUE(stepUntil([&] { return stateOf(r) == transferState::awaitingResponse; }));
    std::atomic<bool> never{false};
    ASSERT_TRUE(reset.waitFor(1, never));
    Sleep(500);  // the reset is seen before the next step
    ASSERT_TRUE(stepUntil([&] { return ended(r); }));
    EXPECT_EQ(transferOf(r)->code, 0u);
    EXPECT_EQ(readFile(downloads.file("reset.bin")), file);
}

// Current servents cap each answer at 512 KiB and wait for a follow-up
// request on the same connection; some send an error text and close
// instead. The download writes what each answer announced, never the
// text, asks the same source for the rest and ends byte for byte.
TEST_F(Downloads, ASourceThatCapsItsAnswersIsAskedForTheRestUntilTheFileIsWhole) {
    const std::size_t cap = 512 * 1024, size = 3 * cap + 1000;
    std::string file = FileBytes(13, 0, size);
    struct row {
        const char* name;
        bool closeAfterEach;
        int connections;
    } rows[] = {
        {"follow-ups on the same connection", false, 1},
        {"an error text and the close after each answer", true, 4},
    };
    for (const row& t : rows) {
        SCOPED_TRACE(t.name);
        scriptedUploader source;
        std::mutex lock;
        std::vector<std::string> requests;
        for (int k = 0; k < t.connections; ++k)
            source.then(CapsAnswers({file, cap, 2000, t.closeAfterEach, &lock, &requests}));
        std::string name = t.closeAfterEach ? "capped2.bin" : "capped1.bin";
        ref<ss::IAgent> row = resultRow(name, static_cast<std::uint32_t>(size), source.port());
        ss::IAgent* r = row.get();
        ASSERT_TRUE(fire(r, IDS_GNU_ACTION_DOWNLOAD));
        ASSERT_TRUE(stepUntil([&] { return ended(r) && number(r, "AFD") == 2; }));
        EXPECT_EQ(transferOf(r)->code, 0u);
        EXPECT_TRUE(readFile(downloads.file(name)) == file) << "byte for byte";
        EXPECT_EQ(source.accepted(), t.connections);
        std::lock_guard<std::mutex> hold(lock);
        ASSERT_EQ(requests.size(), 4u);
        EXPECT_EQ(requests[0].find("Range:"), std::string::npos);
        for (std::size_t k = 1; k < requests.size(); ++k)
            EXPECT_NE(requests[k].find("\r\nRange: bytes=" + std::to_string(k * cap) + "-\r\n"), std::string::npos)
                << requests[k];
    }
}

// Bytes past the end the answer announced, or past the size the hit named,
// never reach the file.
TEST_F(Downloads, BytesPastTheAnnouncedEndOrTheSizeAreNotWritten) {
    const std::uint32_t size = 6000;
    std::string file = FileBytes(14, 0, size);
    const std::string more = "HTTP/1.1 400 Timeout waiting for follow-up\r\n\r\n";
    struct row {
        const char* name;
        std::string answer;
    } rows[] = {
        {"no length, more bytes than the file", "HTTP/1.1 200 OK\r\n\r\n" + file + more},
        {"a length past the file", "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(size + more.size()) +
                                       "\r\n\r\n" + file + more},
        {"a range past the file", "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 0-" +
                                      std::to_string(size + more.size() - 1) + "/" + std::to_string(size + more.size()) +
                                      "\r\n\r\n" + file + more},
        {"an error text behind the announced length", okAnswer(size) + file + more},
    };
    int n = 0;
    for (const row& t : rows) {
        SCOPED_TRACE(t.name);
        scriptedUploader source;
        source.then(SendsAndHolds(t.answer));
        std::string name = "sized" + std::to_string(n++) + ".bin";
        ref<ss::IAgent> result = resultRow(name, size, source.port());
        ss::IAgent* r = result.get();
        ASSERT_TRUE(fire(r, IDS_GNU_ACTION_DOWNLOAD));
        ASSERT_TRUE(stepUntil([&] { return ended(r) && number(r, "AFD") == 2; }));
        EXPECT_EQ(readFile(downloads.file(name)), file);
    }
}

// The local name is made from the peer's name, never the name itself: a
// name that climbs out of the folders stays inside them.
TEST_F(Downloads, APeersFileNameNeverLeadsOutOfTheFolders) {
    struct row {
        const char* remote;
        const char* local;
        const char* outside;  // where the raw name would have gone, from the temporary folder
    } rows[] = {
        {"..\\..\\escape.bin", ".._.._escape.bin", "..\\..\\escape.bin"},
        {"../up.bin", ".._up.bin", "..\\up.bin"},
    };
    const std::uint32_t size = 3000;
    std::string file = FileBytes(15, 0, size);
    for (const row& t : rows) {
        SCOPED_TRACE(t.remote);
        scriptedUploader source;
        source.then(SendsAndHolds(okAnswer(size) + file));
        ref<ss::IAgent> result = resultRow(t.remote, size, source.port());
        ss::IAgent* r = result.get();
        ASSERT_TRUE(fire(r, IDS_GNU_ACTION_DOWNLOAD));
        ASSERT_TRUE(stepUntil([&] { return ended(r) && number(r, "AFD") == 2; }));
        EXPECT_EQ(readFile(downloads.file(t.local)), file);
        for (const std::string& folder : {temp.path(), downloads.path()}) {
            std::string outside = folder + "\\" + t.outside;
            EXPECT_FALSE(fileExists(outside)) << outside;
            DeleteFileA(outside.c_str());
        }
    }
}

// An answer that came before the response time-out is read, however late
// the step that reads it runs.
TEST_F(Downloads, AnAnswerThatCameInTimeIsReadHoweverLateTheStep) {
    scriptedUploader source;
    const std::uint32_t size = 4000;
    std::string file = FileBytes(16, 0, size);
    gate answered;
    source.then([&](connection& c) {
        c.send(okAnswer(size) + file);
        answered.open(1);
        c.hold();
    });
    ref<ss::IAgent> row = resultRow("intime.bin", size, source.port());
    ss::IAgent* r = row.get();
    ASSERT_TRUE(fire(r, IDS_GNU_ACTION_DOWNLOAD));
    ASSERT_TRUE(stepUntil([&] { return stateOf(r) == transferState::awaitingResponse; }));
    std::atomic<bool> never{false};
    ASSERT_TRUE(answered.waitFor(1, never));
    Sleep(300);  // here before the step runs
    advance(5001);
    ASSERT_TRUE(stepUntil([&] { return ended(r); }));
    EXPECT_EQ(transferOf(r)->code, 0u);
    EXPECT_EQ(readFile(downloads.file("intime.bin")), file);
}

TEST_F(Downloads, ASourceThatRefusesTheConnectionShowsTheSystemsReason) {
    ref<ss::IAgent> row = resultRow("refused.bin", 1000, net::test::freePort());
    ss::IAgent* r = row.get();
    ASSERT_TRUE(fire(r, IDS_GNU_ACTION_DOWNLOAD));
    ASSERT_TRUE(stepUntil([&] { return ended(r); }));
    std::uint32_t code = transferOf(r)->code;
    EXPECT_GE(code, 10000u) << "a socket error number";
    std::string status = column(r, IDS_GNU_FIELD_STATUS);
    EXPECT_EQ(status, FailureText(code));
    EXPECT_NE(status, FailureText(1)) << "the system's text, not the one for unknown codes";
    EXPECT_EQ(colour(r), 0xAFu);
    EXPECT_EQ(actionsOf(r), (std::vector<unsigned>{IDS_GNU_ACTION_REMOVE, IDS_GNU_ACTION_RETRY}));
    EXPECT_EQ(running(), 0u);
}

TEST_F(Downloads, AHeaderThatNeverEndsTimesOut) {
    scriptedUploader source;
    source.then(SendsAndHolds("HTTP/1.1 200 OK\r\nServer: slow\r\n"));
    ref<ss::IAgent> row = resultRow("slow.bin", 1000, source.port());
    ss::IAgent* r = row.get();
    ASSERT_TRUE(fire(r, IDS_GNU_ACTION_DOWNLOAD));
    ASSERT_TRUE(stepUntil([&] {
        CGnutellaTransfer* t = transferOf(r);
        return t && !t->responseHeader.empty();
    }));
    for (int i = 0; i < 20; ++i)
        TransferStep();
    EXPECT_EQ(stateOf(r), transferState::awaitingResponse) << "waited for across passes";
    advance(5001);
    ASSERT_TRUE(stepUntil([&] { return ended(r); }));
    EXPECT_EQ(transferOf(r)->code, 992u);
    EXPECT_EQ(column(r, IDS_GNU_FIELD_STATUS), FailureText(992));
    EXPECT_EQ(running(), 0u);
}

// A source that goes quiet holds its download only until the stall
// time-out: the download then ends as a lost connection, gives its slot
// back and is resumed from its bytes when started again.
TEST_F(Downloads, ASourceThatGoesQuietEndsTheDownloadAfterTheStallTimeOut) {
    scriptedUploader source;
    const std::uint32_t size = 30000, part = 10000;
    std::string file = FileBytes(17, 0, size);
    source.then(SendsAndHolds(okAnswer(size) + file.substr(0, part)));
    source.then(SendsAndHolds(partialAnswer(part, size, " ") + file.substr(part)));
    ref<ss::IAgent> row = resultRow("quiet.bin", size, source.port());
    ss::IAgent* r = row.get();
    ASSERT_TRUE(fire(r, IDS_GNU_ACTION_DOWNLOAD));
    ASSERT_TRUE(stepUntil([&] {
        CGnutellaTransfer* t = transferOf(r);
        return t && t->bytesDone == part;
    }));
    advance(stallTimeoutMs - 1000);
    for (int i = 0; i < 20; ++i)
        TransferStep();
    EXPECT_EQ(stateOf(r), transferState::receiving) << "not yet";
    EXPECT_EQ(running(), 1u);
    advance(2000);
    ASSERT_TRUE(stepUntil([&] { return ended(r); }));
    EXPECT_EQ(transferOf(r)->code, 998u);
    EXPECT_EQ(running(), 0u) << "the slot comes back";
    ASSERT_TRUE(fire(r, IDS_GNU_ACTION_START));
    ASSERT_TRUE(stepUntil([&] { return ended(r) && number(r, "AFD") == 2; }));
    EXPECT_EQ(readFile(downloads.file("quiet.bin")), file);
}

TEST_F(Downloads, AHeaderSplitAcrossPacketsIsJoined) {
    scriptedUploader source;
    gate pieces;
    const std::uint32_t size = 3000;
    std::string file = FileBytes(4, 0, size);
    std::vector<std::string> parts = {"HTT", "P/1.1 200 OK\r\nServer: Bear",
                                      "Share 2.3\r\nContent-Length: 3000\r\n", "\r\n" + file};
    source.then([&](connection& c) {
        for (std::size_t i = 0; i < parts.size(); ++i)
            if (!pieces.waitFor(static_cast<int>(i + 1), *c.stopping) || !c.send(parts[i]))
                return;
        c.hold();
    });
    ref<ss::IAgent> row = resultRow("split.bin", size, source.port());
    ss::IAgent* r = row.get();
    ASSERT_TRUE(fire(r, IDS_GNU_ACTION_DOWNLOAD));
    ASSERT_TRUE(stepUntil([&] { return stateOf(r) == transferState::awaitingResponse; }));
    std::string sent;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        pieces.open(static_cast<int>(i + 1));
        sent += parts[i];
        ASSERT_TRUE(stepUntil([&] { return transferOf(r)->responseHeader == sent; })) << i;
        EXPECT_EQ(stateOf(r), transferState::awaitingResponse);
    }
    pieces.open(static_cast<int>(parts.size()));
    ASSERT_TRUE(stepUntil([&] { return ended(r); }));
    EXPECT_EQ(column(r, IDS_GNU_FIELD_CLIENT), "Bearshare 2.3");
    EXPECT_EQ(r->GetAttributeProperty(ResourceText(IDS_GNU_FIELD_CLIENT), "II").asLong(),
              VendorImage(vendorImage::vendor149));
    EXPECT_EQ(readFile(downloads.file("split.bin")), file);
}

TEST_F(Downloads, AtMostTheConfiguredNumberRunAtOnce) {
    g_Settings.m_MaxDownloads = 2;
    scriptedUploader source;
    gate answers;
    const std::uint32_t size = 2000;
    std::string file = FileBytes(5, 0, size);
    for (int k = 0; k < 4; ++k)
        source.then([&, k](connection& c) {
            if (answers.waitFor(k + 1, *c.stopping))
                c.send(okAnswer(size) + file);
            c.hold();
        });
    std::vector<ref<ss::IAgent>> rows;
    for (int k = 0; k < 4; ++k) {
        rows.push_back(resultRow("file" + std::to_string(k) + ".bin", size, source.port()));
        ASSERT_TRUE(fire(rows.back().get(), IDS_GNU_ACTION_DOWNLOAD));
    }
    unsigned most = 0;
    auto watched = [&](const std::function<bool()>& condition) {
        return [&, condition] {
            most = std::max(most, running());
            return condition();
        };
    };
    auto finished = [&] {
        int n = 0;
        for (int k = 0; k < 4; ++k)
            n += fileExists(downloads.file("file" + std::to_string(k) + ".bin"));
        return n;
    };
    ASSERT_TRUE(stepUntil(watched([&] { return source.accepted() == 2; })));
    for (int i = 0; i < 200; ++i) {
        TransferStep();
        most = std::max(most, running());
    }
    EXPECT_EQ(source.accepted(), 2);
    EXPECT_EQ(running(), 2u);
    EXPECT_TRUE(queued(rows[2].get()));
    EXPECT_TRUE(queued(rows[3].get()));

    answers.open(1);
    ASSERT_TRUE(stepUntil(watched([&] { return finished() == 1 && source.accepted() == 3; })));
    answers.open(4);
    ASSERT_TRUE(stepUntil(watched([&] { return finished() == 4 && running() == 0; })));
    EXPECT_EQ(most, 2u);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(readFile(downloads.file("file" + std::to_string(k) + ".bin")), file) << k;
}

TEST_F(Downloads, StopThenRetryFromTheFirstByteUnderAFreeNameThenRemove) {
    scriptedUploader source;
    const std::uint32_t size = 50000, part = 20000;
    std::string file = FileBytes(6, 0, size);
    source.then(SendsAndHolds(okAnswer(size) + file.substr(0, part)));  // stalls part of the way
    source.then(SendsAndHolds(okAnswer(size) + file));
    ref<ss::IAgent> row = resultRow("song.mp3", size, source.port());
    ss::IAgent* r = row.get();
    ASSERT_TRUE(fire(r, IDS_GNU_ACTION_DOWNLOAD));
    ASSERT_TRUE(stepUntil([&] {
        CGnutellaTransfer* t = transferOf(r);
        return t && t->bytesDone == part;
    }));
    EXPECT_EQ(actionsOf(r), std::vector<unsigned>{IDS_GNU_ACTION_STOP});

    ASSERT_TRUE(fire(r, IDS_GNU_ACTION_STOP));
    TransferStep();
    EXPECT_EQ(stateOf(r), transferState::downloadStopRequested);
    EXPECT_EQ(column(r, IDS_GNU_FIELD_STATUS), StatusText(999));
    EXPECT_EQ(colour(r), 0x787878u);
    EXPECT_EQ(r->GetAttribute(ResourceText(IDS_GNU_FIELD_PROGRESS)).asLong(), -1);
    EXPECT_EQ(actionsOf(r),
              (std::vector<unsigned>{IDS_GNU_ACTION_REMOVE, IDS_GNU_ACTION_START, IDS_GNU_ACTION_RETRY}));
    ASSERT_TRUE(stepUntil([&] { return ended(r); }));
    EXPECT_EQ(running(), 0u);

    // Retry starts from byte 0; the stopped partial file keeps its name.
    ASSERT_TRUE(fire(r, IDS_GNU_ACTION_RETRY));
    ASSERT_TRUE(stepUntil([&] { return ended(r) && number(r, "AFD") == 2; }));
    ASSERT_EQ(source.requests().size(), 2u);
    EXPECT_EQ(source.requests()[1].find("Range:"), std::string::npos);
    EXPECT_EQ(readFile(downloads.file("song[0].mp3")), file);
    EXPECT_EQ(column(r, IDS_GNU_ACTION_DOWNLOAD), downloads.file("song[0].mp3"));
    EXPECT_EQ(readFile(temp.file("song.mp3")), file.substr(0, part));
    EXPECT_FALSE(fileExists(downloads.file("song.mp3")));

    ASSERT_TRUE(fire(r, IDS_GNU_ACTION_REMOVE));
    EXPECT_FALSE(listed(r));
    EXPECT_EQ(actionsOf(r), std::vector<unsigned>{IDS_GNU_ACTION_DOWNLOAD});
    EXPECT_FALSE(r->HasAttribute(transferIdName));
    EXPECT_EQ(colour(r), 0u);
    ASSERT_TRUE(stepUntil([] { return g_TransferHostList.IsEmpty(); }));
}

// The fake user interface's script drives download rows by file name, as a
// client started with it is driven by a test on two hosts.
TEST_F(Downloads, TheFakesScriptFiresADownloadRowsActionAndWaitsForItsText) {
    scriptedUploader source;
    const std::uint32_t size = 50000, part = 20000;
    std::string file = FileBytes(8, 0, size);
    source.then(SendsAndHolds(okAnswer(size) + file.substr(0, part)));  // stalls part of the way
    source.then(SendsAndHolds(partialAnswer(part, size, " ") + file.substr(part)));
    ref<ss::IAgent> row = resultRow("chorus.ogg", size, source.port());
    ss::IAgent* r = row.get();
    ASSERT_TRUE(fire(r, IDS_GNU_ACTION_DOWNLOAD));
    ASSERT_TRUE(stepUntil([&] {
        CGnutellaTransfer* t = transferOf(r);
        return t && t->bytesDone == part;
    }));

    auto runLines = [](const std::vector<std::string>& lines) {
        vesk::testing::scriptContext context{&FakeUi(), g_Services.core, g_State.token};
        FakeUi().gui().run([&] { vesk::testing::runScript(context, lines); });
    };
    // Start is not offered while it runs; stop is; unknown names and
    // actions fire nothing.
    runLines({"download-action start|chorus.ogg", "download-action stop|chorus.ogg",
              "download-action stop|other.ogg", "download-action jump|chorus.ogg"});
    ASSERT_TRUE(stepUntil([&] { return ended(r); }));
    const std::string stopped = StatusText(999);
    runLines({"await-download 2000 chorus.ogg|" + stopped, "await-download 50 chorus.ogg|never shown",
              "download-action start|chorus.ogg", "downloads"});
    ASSERT_TRUE(stepUntil([&] { return ended(r) && number(r, "AFD") == 2; }));
    EXPECT_EQ(readFile(downloads.file("chorus.ogg")), file) << "started again from its bytes";
    ASSERT_EQ(source.requests().size(), 2u);
    EXPECT_NE(source.requests()[1].find("Range: bytes=20000-"), std::string::npos);

    std::vector<std::string> recorded = FakeUi().calls().linesStartingWith("script|");
    for (const std::string& line : std::vector<std::string>{"script|download-action|start|chorus.ogg|0", "script|download-action|stop|chorus.ogg|1",
          "script|download-action|stop|other.ogg|0", "script|download-action|jump|chorus.ogg|0",
          "script|await-download|chorus.ogg|" + stopped + "|1", "script|await-download|chorus.ogg|never shown|0",
          "script|download-action|start|chorus.ogg|1"})
        EXPECT_NE(std::find(recorded.begin(), recorded.end(), line), recorded.end()) << line;
    auto listedRow = std::find_if(recorded.begin(), recorded.end(), [](const std::string& line) {
        return line.rfind("script|download-row|", 0) == 0 && line.find("|File Name=chorus.ogg|") != std::string::npos;
    });
    EXPECT_NE(listedRow, recorded.end()) << "the rows are listed with their attributes";
}

TEST_F(Downloads, ARunningDownloadRemovedGivesItsSlotBack) {
    scriptedUploader source;
    source.then(SendsAndHolds(okAnswer(10000) + std::string(100, 'x')));
    ref<ss::IAgent> row = resultRow("big.bin", 10000, source.port());
    ss::IAgent* r = row.get();
    ASSERT_TRUE(fire(r, IDS_GNU_ACTION_DOWNLOAD));
    ASSERT_TRUE(stepUntil([&] { return stateOf(r) == transferState::receiving; }));
    EXPECT_EQ(running(), 1u);
    ASSERT_TRUE(fire(r, IDS_GNU_ACTION_STOP));
    TransferStep();
    ASSERT_EQ(stateOf(r), transferState::downloadStopRequested);
    ASSERT_TRUE(fire(r, IDS_GNU_ACTION_REMOVE)) << "during the stop";
    EXPECT_EQ(running(), 0u);
    EXPECT_FALSE(listed(r));
    ASSERT_TRUE(stepUntil([] { return g_TransferHostList.IsEmpty(); }));
    for (int i = 0; i < 5; ++i)
        TransferStep();
    EXPECT_FALSE(listed(r)) << "the stop's closing work does not bring the row back";
}

TEST_F(Downloads, AQueuedRowRemovedLeavesTheQueueAndTheWindow) {
    g_Settings.m_MaxDownloads = 0;
    ref<ss::IAgent> row = resultRow("later.bin", 10, 1);
    ss::IAgent* r = row.get();
    ASSERT_TRUE(fire(r, IDS_GNU_ACTION_DOWNLOAD));
    for (int i = 0; i < 5; ++i)
        TransferStep();
    EXPECT_TRUE(queued(r));
    ASSERT_TRUE(fire(r, IDS_GNU_ACTION_REMOVE));
    EXPECT_FALSE(queued(r));
    EXPECT_FALSE(listed(r));
    EXPECT_EQ(actionsOf(r), std::vector<unsigned>{IDS_GNU_ACTION_DOWNLOAD});
    EXPECT_TRUE(g_TransferHostList.IsEmpty());
}

TEST_F(Downloads, TheClearQueueRequestRemovesEveryQueuedRowAndStartsNone) {
    std::vector<ref<ss::IAgent>> rows;
    for (int k = 0; k < 3; ++k) {
        rows.push_back(resultRow("q" + std::to_string(k), 10, 1));
        ASSERT_TRUE(fire(rows.back().get(), IDS_GNU_ACTION_DOWNLOAD));
    }
    RequestClearQueue();
    TransferStep();
    EXPECT_TRUE(g_QueuedDownloadList.IsEmpty());
    EXPECT_TRUE(g_TransferHostList.IsEmpty());
    for (auto& row : rows)
        EXPECT_FALSE(listed(row.get()));
}

TEST_F(Downloads, AStaleTransferIdStartsAFreshConnection) {
    scriptedUploader source;
    std::string file = FileBytes(7, 0, 1000);
    source.then(SendsAndHolds(okAnswer(1000) + file));
    ref<ss::IAgent> row = resultRow("stale.bin", 1000, source.port());
    ss::IAgent* r = row.get();
    unsigned char gone[16] = {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
    r->SetAttributeBuffer(transferIdName, gone, sizeof gone);
    r->AddAction(ResourceText(IDS_GNU_ACTION_START), &start_download);
    ASSERT_TRUE(fire(r, IDS_GNU_ACTION_START));
    ASSERT_NE(hostOf(r), nullptr);
    ASSERT_TRUE(stepUntil([&] { return ended(r); }));
    EXPECT_EQ(readFile(downloads.file("stale.bin")), file);
    EXPECT_EQ(running(), 0u);
}

TEST_F(Downloads, AResumeIsRefusedWhenThePartialFileDoesNotMatch) {
    const std::uint32_t size = 30000, part = 10000;
    struct row {
        const char* name;
        std::string partial;  // what the partial file holds at the restart; none when empty
    } rows[] = {{"a longer partial file", FileBytes(8, 0, part) + "x"}, {"no partial file", ""}};
    for (const row& t : rows) {
        SCOPED_TRACE(t.name);
        scriptedUploader source;
        std::string file = FileBytes(8, 0, size);
        source.then(SendsAndCloses(okAnswer(size) + file.substr(0, part)));
        source.then(SendsAndHolds(partialAnswer(part, size, " ") + file.substr(part)));
        ref<ss::IAgent> result = resultRow("part.bin", size, source.port());
        ss::IAgent* r = result.get();
        ASSERT_TRUE(fire(r, IDS_GNU_ACTION_DOWNLOAD));
        ASSERT_TRUE(stepUntil([&] { return ended(r); }));
        ASSERT_EQ(transferOf(r)->bytesDone, part);
        DeleteFileA(temp.file("part.bin").c_str());
        if (!t.partial.empty()) {
            ASSERT_TRUE(vesk::testing::writeFile(temp.file("part.bin"), t.partial));
        }

        ASSERT_TRUE(fire(r, IDS_GNU_ACTION_START));
        ASSERT_TRUE(stepUntil([&] { return ended(r) && transferOf(r)->code == 990; }));
        EXPECT_EQ(column(r, IDS_GNU_FIELD_STATUS), FailureText(990));
        EXPECT_EQ(running(), 0u);
        EXPECT_EQ(readFile(temp.file("part.bin")), t.partial) << "nothing written";
        EXPECT_FALSE(fileExists(downloads.file("part.bin")));
        DestroyHosts(g_TransferHostList);
        DeleteFileA(temp.file("part.bin").c_str());
    }
}

TEST_F(Downloads, ARemovalWaitsForTheCopyThreadOfItsFile) {
    auto* host = new CGnutellaHost();
    host->m_Transfer = new CGnutellaTransfer();
    host->m_Transfer->copyRunning = true;
    host->m_State = transferState::removing;
    g_TransferHostList.items[host->m_Id] = host;
    TransferStep();
    EXPECT_EQ(g_TransferHostList.Count(), 1u);
    g_State.shuttingDown = 1;
    TransferStep();
    EXPECT_EQ(g_TransferHostList.Count(), 1u) << "also while shutting down";
    host->m_Transfer->copyRunning = false;
    TransferStep();
    g_State.shuttingDown = 0;
    EXPECT_TRUE(g_TransferHostList.IsEmpty());
}

// The module unloads while a finished file is copied to another volume:
// the unload waits for the copy thread, which stops between pieces, and
// the download folder holds the whole file or nothing.
TEST_F(Downloads, AnUnloadDuringAMoveWaitsForItAndLeavesNoPartialFile) {
    otherVolumeDir partials;
    if (partials.path().empty())
        GTEST_SKIP() << "no second volume";
    std::string bytes = FileBytes(18, 0, 32u << 20);
    ASSERT_TRUE(vesk::testing::writeFile(partials.file("big.iso"), bytes));
    ref<ss::IAgent> row = resultRow("big.iso", static_cast<std::uint32_t>(bytes.size()), 1);
    SetRowText(row.get(), IDS_GNU_ACTION_DOWNLOAD, downloads.file("big.iso"));
    auto* host = new CGnutellaHost();
    auto* transfer = new CGnutellaTransfer();
    host->m_Transfer = transfer;
    CopyText(transfer->tempFolder, partials.path());
    CopyText(transfer->localName, "big.iso");
    transfer->row = row.get();
    row->addRef();
    host->m_State = transferState::movingFile;
    g_TransferHostList.items[host->m_Id] = host;
    ASSERT_EQ(StartFileCopy(host), 0);

    JoinWorkerThreads();  // as the module's unload does before its connections go
    EXPECT_FALSE(transfer->copyRunning) << "the copy thread is done with the connection";
    EXPECT_EQ(host->m_State, transferState::downloadEnded);
    std::vector<std::string> landed = FilesIn(downloads.path());
    if (landed.empty()) {
        EXPECT_TRUE(readFile(partials.file("big.iso")) == bytes) << "stopped: the file stays whole where it was";
    } else {
        EXPECT_EQ(landed, std::vector<std::string>{"big.iso"});
        EXPECT_TRUE(readFile(downloads.file("big.iso")) == bytes) << "moved: whole";
    }
    DestroyHosts(g_TransferHostList);
}

// "Start now" on the GUI thread and the queue's start on the transfer
// thread may meet on one row: it gets one connection.
TEST_F(Downloads, OneConnectionPerRowWhateverTheTimingOfItsStarts) {
    const unsigned short nobody = net::test::freePort();
    for (int i = 0; i < 100; ++i) {
        ref<ss::IAgent> row = resultRow("race" + std::to_string(i) + ".bin", 10, nobody);
        std::atomic<int> ready{0};
        std::atomic<bool> go{false};
        auto start = [&] {
            ++ready;
            while (!go) {
            }
            start_download(row.get());
        };
        std::thread gui(start), transfers(start);
        while (ready < 2) {
        }
        go = true;
        gui.join();
        transfers.join();
        std::size_t connections = 0;
        {
            std::lock_guard<std::recursive_mutex> hold(g_TransferHostList.guard);
            for (auto& entry : g_TransferHostList.items)
                connections += entry.second->m_Transfer && entry.second->m_Transfer->row == row.get() ? 1 : 0;
        }
        ASSERT_EQ(connections, 1u) << "start " << i;
    }
}

// A buffer that shows a read of it after the agent let it go: reading its
// size takes a while, so that a removal meanwhile would come between the
// reader's look-up and its copy.
class watchedBuffer : public objectBase, public Ibuffer {
public:
    watchedBuffer(const void* data, unsigned size, std::atomic<bool>& reading, std::atomic<bool>& readAfterRemoval)
        : bytes_(static_cast<const unsigned char*>(data), static_cast<const unsigned char*>(data) + size),
          reading_(reading),
          readAfterRemoval_(readAfterRemoval) {
        registerInterfaceOf<Ibuffer>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    unsigned resize(unsigned n) override {
        if (n == 0) {
            reading_ = true;
            Sleep(200);
        }
        return static_cast<unsigned>(bytes_.size());
    }
    unsigned setSize(unsigned) override { return static_cast<unsigned>(bytes_.size()); }
    Ibuffer* slice(unsigned, unsigned) override { return nullptr; }
    unsigned append(const void*, int) override { return static_cast<unsigned>(bytes_.size()); }
    void appendBuffer(Ibuffer*) override {}
    unsigned char* current() override {
        if (removed)
            readAfterRemoval_ = true;
        return bytes_.data();
    }
    Ibuffer* clone() override { return nullptr; }
    void assign(const void*, int) override {}
    int seek(int, int) override { return 0; }
    int tell() override { return 0; }

    std::atomic<bool> removed{false};

private:
    std::vector<unsigned char> bytes_;
    std::atomic<bool>& reading_;
    std::atomic<bool>& readAfterRemoval_;
};

// A row that keeps the transfer identifier in watched buffers; one it lets
// go is only marked, so that a late read of it is seen, not undefined.
class idRow : public rowAgent {
public:
    ~idRow() {
        for (watchedBuffer* b : kept_)
            b->release();
    }
    bool SetAttributeBuffer(const char*, const void* data, unsigned size) override {
        std::lock_guard<std::mutex> hold(lock_);
        if (current_)
            current_->removed = true;
        current_ = new capsule<watchedBuffer>(data, size, reading, readAfterRemoval);
        current_->addRef();
        kept_.push_back(current_);
        return true;
    }
    value GetAttribute(const char*) override {
        std::lock_guard<std::mutex> hold(lock_);
        return current_ ? value(static_cast<Ibuffer*>(current_)) : value(0L);
    }
    bool HasAttribute(const char*) override { return current_ != nullptr; }
    bool RemoveAttribute(const char*) override {
        std::lock_guard<std::mutex> hold(lock_);
        if (!current_)
            return false;
        current_->removed = true;
        current_ = nullptr;
        return true;
    }

    std::atomic<bool> reading{false}, readAfterRemoval{false};

private:
    std::mutex lock_;
    watchedBuffer* current_ = nullptr;
    std::vector<watchedBuffer*> kept_;
};

TEST_F(Downloads, ARowsTransferIdIsNeverReadFromABufferItsRemovalLetGo) {
    ref<idRow> row(new capsule<idRow>());
    guid16 id;
    for (unsigned char& b : id.bytes)
        b = 0x5A;
    SetRowTransferId(row.get(), id);
    guid16 read;
    bool found = false;
    std::thread reader([&] { found = RowTransferId(row.get(), read); });
    ASSERT_TRUE(net::test::waitFor([&] { return row->reading.load(); }));
    std::thread remover([&] { ClearRowTransferId(row.get()); });
    reader.join();
    remover.join();
    EXPECT_TRUE(found);
    EXPECT_EQ(read, id);
    EXPECT_FALSE(row->readAfterRemoval) << "a removal came between the look-up and the copy";
    EXPECT_FALSE(RowTransferId(row.get(), read));
}

TEST_F(Downloads, TheTransferThreadRunsADownloadStartedFromTheGuiThread) {
    SetTickSource(nullptr);
    scriptedUploader source;
    const std::uint32_t size = 300000;
    std::string file = FileBytes(9, 0, size);
    source.then(SendsAndCloses(okAnswer(size) + file));
    Ithread* thread = CreateModuleThread("Gnutella File Transfer Thread", &file_transfer_thread, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_TRUE(thread->start());
    ref<ss::IAgent> row = resultRow("threaded.bin", size, source.port());
    ss::IAgent* r = row.get();
    ASSERT_TRUE(fire(r, IDS_GNU_ACTION_DOWNLOAD));
    EXPECT_TRUE(net::test::waitFor([&] { return number(r, "AFD") == 2; }, 20000));
    EXPECT_EQ(readFile(downloads.file("threaded.bin")), file);
    ASSERT_TRUE(fire(r, IDS_GNU_ACTION_REMOVE));
    EXPECT_TRUE(net::test::waitFor([] { return g_TransferHostList.IsEmpty(); }, 20000));
    EXPECT_TRUE(thread->stop());
    thread->release();
}

}  // namespace
}  // namespace vesk::gnutella::test
