// Uploads: a peer's GET on an accepted connection, answered from the
// shared files with the first piece, the rest sent by the transfer
// thread's passes; refusals, slots and stops.
#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/fixedText.h"
#include "plugins/gnutella/downloadActions.h"
#include "plugins/gnutella/httpMessages.h"
#include "plugins/gnutella/rateTexts.h"
#include "plugins/gnutella/transferRows.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/resources.h"
#include "plugins/gnutella/tests/scriptedUploader.h"
#include "plugins/gnutella/tests/uploadFixture.h"
#include "plugins/gnutella/transferStates.h"
#include "plugins/gnutella/transferThread.h"

namespace vesk::gnutella::test {
namespace {

const std::uint32_t songSize = 20000;

class Uploads : public UploadTest {
protected:
    void SetUp() override {
        UploadTest::SetUp();
        song = FileBytes(3, 0, songSize);
        songId = share("song.mp3", song);
        ASSERT_NE(songId, ~0u);
    }
    // The upload rows the window was given, the newest last.
    ss::IAgent* lastUploadRow() {
        std::vector<ss::IAgent*> rows = FakeUi().uploadRows();
        return rows.empty() ? nullptr : rows.back();
    }
    // A GET answered and served to its end; everything the peer received.
    std::string fetch(const std::string& request) {
        SOCKET peer;
        CGnutellaHost* host = acceptPeer(peer);
        if (!host || classify(host, peer, request) != 1)
            return "(not classified)";
        return receiveAll(peer);
    }
    // Shares "big.bin", size bytes of the pattern seed (kept in big); its id.
    unsigned shareBig(unsigned seed, std::size_t size) {
        big = FileBytes(seed, 0, size);
        return share("big.bin", big);
    }
    // A peer whose GET for the shared file shareBig made was taken;
    // INVALID_SOCKET when it was not.
    SOCKET requestBigFile(unsigned seed, std::size_t size) {
        unsigned bigId = shareBig(seed, size);
        SOCKET peer;
        CGnutellaHost* host = acceptPeer(peer);
        if (!host || classify(host, peer, Get("/get/" + std::to_string(bigId) + "/big.bin")) != 1)
            return INVALID_SOCKET;
        return peer;
    }
    // The transfer list's connection; null unless it holds exactly one.
    CGnutellaHost* onlyTransfer() {
        std::lock_guard<std::recursive_mutex> hold(g_TransferHostList.guard);
        return g_TransferHostList.items.size() == 1 ? g_TransferHostList.items.begin()->second : nullptr;
    }
    std::string song;
    unsigned songId = 0;
    std::string big;
};

std::string header(std::uint32_t length, std::uint32_t from, std::uint32_t to, std::uint32_t size) {
    return "HTTP 200 OK\r\nServer: Pelloran v3.1.3\r\nContent-type:application/binary\r\nContent-length: " +
           std::to_string(length) + "\r\nContent-range: bytes=" + std::to_string(from) + "-" + std::to_string(to) +
           "/" + std::to_string(size) + "\r\n\r\n";
}

TEST_F(Uploads, AWholeFileOrARangeIsServedAndTheUploadCompletes) {
    std::string byIndex = "/get/" + std::to_string(songId) + "/song.mp3";
    struct row {
        std::string path, headers;
        std::uint32_t from, to;  // the bytes expected, to inclusive
    } rows[] = {
        {byIndex, "", 0, songSize - 1},
        {byIndex, "Range: bytes=10000-\r\n", 10000, songSize - 1},
        {byIndex, "Range: bytes=100-199\r\n", 100, 199},  // the end is inclusive
        {byIndex, "Range: bytes=0-9999\r\n", 0, 9999},     // ends after more than one piece
        {byIndex, "Range: bytes=19990-30000\r\n", 19990, songSize - 1},  // cut to the file
        {"/get/" + std::to_string(songId) + "/SONG", "", 0, songSize - 1},  // the name's start, any case
        {"/get/" + std::to_string(songId) + "/", "", 0, songSize - 1},
    };
    for (const row& r : rows) {
        g_Settings.m_Uploaded = false;
        std::string got = fetch(Get(r.path, r.headers));
        std::uint32_t length = r.to - r.from + 1;
        EXPECT_EQ(got, header(length, r.from, r.to, songSize) + song.substr(r.from, length)) << r.path << r.headers;
        ss::IAgent* upload = lastUploadRow();
        ASSERT_TRUE(upload);
        EXPECT_EQ(RowText(upload, ResourceText(IDS_GNU_FIELD_STATUS)),
                  r.to + 1 - r.from == songSize ? "Complete (19.53 KB)" : "Complete (" + SizeText(r.to + 1) + ")")
            << r.path << r.headers;
        EXPECT_EQ(upload->GetProperty("TC").asUlong(), 0x5000u);
        EXPECT_TRUE(upload->HasAction(ResourceText(IDS_GNU_ACTION_REMOVE)));
        EXPECT_FALSE(upload->HasAction(ResourceText(IDS_GNU_ACTION_STOP)));
        EXPECT_TRUE(g_Settings.m_Uploaded);
        EXPECT_EQ(countedUploads(), 0u) << "the address's slot is given back";
        EXPECT_EQ(g_Settings.Counts().uploads, 0u);
    }
}

TEST_F(Uploads, TheRowNamesTheFileAndThePeer) {
    SOCKET peer;
    CGnutellaHost* host = acceptPeer(peer);
    ASSERT_TRUE(host);
    guid16 id = host->m_Id;
    ASSERT_EQ(classify(host, peer, Get("/get/" + std::to_string(songId) + "/song.mp3")), 1);
    ss::IAgent* upload = lastUploadRow();
    ASSERT_TRUE(upload);
    EXPECT_EQ(RowText(upload, ResourceText(IDS_GNU_FIELD_NAME)), "song.mp3");
    EXPECT_EQ(RowText(upload, ResourceText(IDS_GNU_FIELD_ADDRESS)), "127.0.0.1");
    EXPECT_EQ(_stricmp(RowText(upload, ResourceText(IDS_GNU_ACTION_DOWNLOAD)).c_str(), folder.file("song.mp3").c_str()), 0);
    EXPECT_EQ(upload->GetAttribute(ResourceText(IDS_GNU_FIELD_SIZE)).asUlong(), songSize);
    EXPECT_EQ(upload->GetAttribute(ResourceText(IDS_GNU_FIELD_INDEX)).asUlong(), songId);
    guid16 named;
    ASSERT_TRUE(RowBytes(upload, transferIdName, named.bytes, sizeof named.bytes));
    EXPECT_EQ(named, id);
    EXPECT_EQ(RowText(upload, ResourceText(IDS_GNU_FIELD_STATUS)), "Downloading (8.00 KB of 19.53 KB)");
    EXPECT_TRUE(upload->HasAction(ResourceText(IDS_GNU_ACTION_STOP)));
    EXPECT_EQ(g_Settings.Counts().uploads, 1u);
    EXPECT_EQ(countedUploads(), 1u);
}

TEST_F(Uploads, RequestsThatAreRefused) {
    std::string index = std::to_string(songId);
    std::string folderIndex = std::to_string(sharedFolderId());
    struct row {
        std::string request;
        std::string statusLine;
    } rows[] = {
        {Get("/get/" + index + "/song.mp3", "", "Mozilla/5.0 (X11)"), "HTTP/1.1 403 Forbidden\r\n"},
        {Get("/get/" + index + "/other.mp3"), "HTTP/1.1 404 Not Found\r\n"},
        {Get("/get/" + index + "/song.mp3.exe"), "HTTP/1.1 404 Not Found\r\n"},
        {Get("/get/" + index + "/..\\..\\secret.txt"), "HTTP/1.1 404 Not Found\r\n"},
        {Get("/get/" + index + "/song%2Emp3"), "HTTP/1.1 404 Not Found\r\n"},  // compared undecoded
        {Get("/get/" + folderIndex + "/"), "HTTP/1.1 500 Internal Server Error\r\n"},  // a folder is no file
        {Get("/get/4000000000/x"), "HTTP/1.1 500 Internal Server Error\r\n"},
        {Get("/uri-res/N2R?urn:sha1:AAAABBBBCCCCDDDDEEEEFFFFGGGGHHHH"), "HTTP/1.1 500 Internal Server Error\r\n"},
        {Get("/uri-res/N2R?sha1:AAAA"), "HTTP/1.1 400 Bad Request\r\n"},
        {Get("/get/abc/song.mp3"), "HTTP/1.1 400 Bad Request\r\n"},
        {Get("/index.html"), "HTTP/1.1 400 Bad Request\r\n"},  // a whole request for no shared file
        {"GET /get/" + index + "/song.mp3 FTP/1.0\r\n\r\n", "HTTP/1.1 400 Bad Request\r\n"},
        {Get("/get/" + index), "HTTP/1.1 400 Bad Request\r\n"},  // no name part
        {Get("/get/99999999999999999999/song.mp3"), "HTTP/1.1 400 Bad Request\r\n"},
        {Get("/get/" + index + "/song.mp3", "Range: bytes=20000-\r\n"), "HTTP/1.1 416 Requested Range Not Satisfiable\r\n"},
        {Get("/get/" + index + "/song.mp3", "Range: bytes=-5\r\n"), "HTTP/1.1 416 Requested Range Not Satisfiable\r\n"},
    };
    for (const row& r : rows) {
        std::string got = fetch(r.request);
        EXPECT_EQ(got.substr(0, r.statusLine.size()), r.statusLine) << r.request;
        EXPECT_EQ(got.find(song.substr(0, 64)), std::string::npos) << r.request;
        ASSERT_FALSE(got.empty()) << r.request;
        EXPECT_EQ(got.back(), '\0') << "the error answer ends with a zero byte: " << r.request;
        EXPECT_EQ(countedUploads(), 0u) << r.request;
        EXPECT_TRUE(g_TransferHostList.IsEmpty()) << r.request;
    }
    std::string page = fetch(rows[0].request);
    EXPECT_NE(page.find("<h1>403 Forbidden</h1>"), std::string::npos);
    // Spelt only in capitals the browser test lets it through.
    EXPECT_EQ(fetch(Get("/get/" + index + "/song.mp3", "", "MOZILLA-LIKE/1.0")).substr(0, 11), "HTTP 200 OK");
}

TEST_F(Uploads, ARequestThatDoesNotParseIsLeftUnansweredWithItsSlotBack) {
    SOCKET peer;
    CGnutellaHost* host = acceptPeer(peer);
    ASSERT_TRUE(host);
    EXPECT_EQ(classify(host, peer, "GET /get/1/a.mp3 HT"), 0);
    ASSERT_TRUE(host);
    EXPECT_EQ(countedUploads(), 0u);
    delete host;
}

TEST_F(Uploads, SlotsPerAddressAndInAllAnswerBusy) {
    // Larger than the sockets hold: uploads whose peers never read stall.
    unsigned bigId = shareBig(4, 24u << 20);
    std::string request = Get("/get/" + std::to_string(bigId) + "/big.bin");
    struct row {
        std::uint32_t maxUploads, perAddress, admitted;
    } rows[] = {{7, 4, 4}, {2, 4, 2}, {7, 0, 1}};
    for (const row& r : rows) {
        g_Settings.m_MaxUploads = r.maxUploads;
        g_Settings.m_MaxUploadsPerIP = r.perAddress;
        std::vector<SOCKET> running;
        for (std::uint32_t i = 0; i < r.admitted; ++i) {
            SOCKET peer;
            CGnutellaHost* host = acceptPeer(peer);
            ASSERT_TRUE(host);
            ASSERT_EQ(classify(host, peer, request), 1);
            running.push_back(peer);
        }
        EXPECT_EQ(fetch(request).substr(0, 34), "HTTP/1.1 503 Service Unavailable\r\n")
            << r.maxUploads << " " << r.perAddress;
        // One upload stopped from its row: the next is admitted.
        ss::IAgent* first = FakeUi().uploadRows().at(FakeUi().uploadRows().size() - r.admitted);
        FakeUi().gui().run([&] { first->FireAction(ResourceText(IDS_GNU_ACTION_STOP)); });
        ASSERT_TRUE(stepUntil([&] { return countedUploads() == r.admitted - 1; }));
        EXPECT_EQ(RowText(first, ResourceText(IDS_GNU_FIELD_STATUS)), StatusText(999));
        SOCKET next;
        CGnutellaHost* host = acceptPeer(next);
        ASSERT_TRUE(host);
        EXPECT_EQ(classify(host, next, request), 1);
        EXPECT_TRUE(host == nullptr);
        EXPECT_EQ(countedUploads(), r.admitted);
        // Every upload stopped: the counts come back to nothing.
        for (ss::IAgent* upload : FakeUi().uploadRows())
            FakeUi().gui().run([&] { upload->FireAction(ResourceText(IDS_GNU_ACTION_STOP)); });
        ASSERT_TRUE(stepUntil([&] { return countedUploads() == 0 && g_Settings.Counts().uploads == 0; }));
    }
}

TEST_F(Uploads, APeerThatClosesEarlyFailsTheUploadAndGivesItsSlotBack) {
    SOCKET peer = requestBigFile(5, 1u << 20);
    ASSERT_NE(peer, INVALID_SOCKET);
    net::test::closePlain(peer);
    sockets.erase(std::find(sockets.begin(), sockets.end(), peer));
    ss::IAgent* upload = lastUploadRow();
    ASSERT_TRUE(stepUntil([&] { return countedUploads() == 0 && upload->GetProperty("TC").asUlong() == 0xAFu; }));
    // Lost (998) or reset by the peer (the system's error).
    CGnutellaHost* ended = onlyTransfer();
    ASSERT_TRUE(ended);
    EXPECT_NE(ended->m_Transfer->code, 0u);
    EXPECT_EQ(RowText(upload, ResourceText(IDS_GNU_FIELD_STATUS)), FailureText(ended->m_Transfer->code));
    EXPECT_FALSE(g_Settings.m_Uploaded);
    EXPECT_EQ(g_Settings.Counts().uploads, 0u);
}

// Peers that send more after their request, read a little and go: each
// upload ends, its slot comes back, and a new address is served after seven
// of them filled every slot. (The addresses are the client's bookkeeping:
// each peer is labelled as the address it stands for.)
TEST_F(Uploads, UploadsWhosePeersSendMoreAfterTheRequestEndWhenThePeersGo) {
    unsigned bigId = shareBig(9, 4u << 20);
    const std::string firstPart = "GET /get/" + std::to_string(bigId) + "/big.bin HTTP/1.0\r\nConn";
    const std::string wholeRequest = firstPart + "ection: Keep-Alive\r\n\r\n";
    struct reproduction {
        const char* name;
        std::string first, later;  // the request's first send, and what the peer sends after the answer
    } kinds[] = {
        {"a request split over two sends", firstPart, "ection: Keep-Alive\r\n\r\n"},
        {"more bytes after a whole request", wholeRequest, "and then some"},
    };
    const char* addresses[] = {"10.1.0.1", "10.1.0.1", "10.1.0.1", "10.1.0.1", "10.1.0.2", "10.1.0.2", "10.1.0.2"};
    for (const reproduction& kind : kinds) {
        SCOPED_TRACE(kind.name);
        std::vector<SOCKET> peers;
        for (const char* address : addresses) {
            SOCKET peer;
            CGnutellaHost* host = acceptPeer(peer);
            ASSERT_TRUE(host);
            CopyText(host->m_AddressText, address);
            ASSERT_EQ(classify(host, peer, kind.first), 1) << "answered on its first part";
            Sleep(150);
            ASSERT_TRUE(net::test::sendAll(peer, std::vector<unsigned char>(kind.later.begin(), kind.later.end())));
            peers.push_back(peer);
        }
        EXPECT_EQ(g_Settings.Counts().uploads, 7u);
        // Each peer reads about 90 KB and closes.
        for (int i = 0; i < 20; ++i)
            TransferStep();
        for (SOCKET peer : peers) {
            std::vector<unsigned char> got = net::test::receiveBytes(peer, 90000);
            ASSERT_EQ(got.size(), 90000u);
            EXPECT_EQ(std::string(got.begin(), got.begin() + 11), "HTTP 200 OK");
            net::test::closePlain(peer);
            sockets.erase(std::find(sockets.begin(), sockets.end(), peer));
        }
        ASSERT_TRUE(stepUntil([&] { return g_Settings.Counts().uploads == 0 && countedUploads() == 0; }))
            << g_Settings.Counts().uploads << " uploads still counted";
        std::vector<std::string> panes = FakeUi().calls().linesStartingWith("IStatusBar::Output|DL: ");
        ASSERT_FALSE(panes.empty());
        EXPECT_EQ(panes.back(), "IStatusBar::Output|DL: 0 UL: 0|2|0") << "Uploads: goes back down";
        {
            std::lock_guard<std::recursive_mutex> hold(g_TransferHostList.guard);
            for (auto& entry : g_TransferHostList.items)
                EXPECT_EQ(entry.second->m_State, transferState::uploadEnded);
        }

        // An eighth request, from a new address, is served.
        SOCKET next;
        CGnutellaHost* host = acceptPeer(next);
        ASSERT_TRUE(host);
        CopyText(host->m_AddressText, "10.1.0.3");
        ASSERT_EQ(classify(host, next, Get("/get/" + std::to_string(songId) + "/song.mp3")), 1);
        std::string got = receiveAll(next);
        EXPECT_EQ(got.substr(0, 11), "HTTP 200 OK");
        EXPECT_EQ(got.substr(got.size() - std::min(got.size(), song.size())), song);
        DestroyHosts(g_TransferHostList);
    }
}

// What a peer sends while it is served is read and dropped: a peer that
// sends far more than the sockets hold is never blocked by this node.
TEST_F(Uploads, WhatAPeerSendsWhileItIsServedIsTakenAndDropped) {
    // Larger than the sockets hold: the upload runs while the peer sends.
    SOCKET peer = requestBigFile(11, 24u << 20);
    ASSERT_NE(peer, INVALID_SOCKET);
    std::atomic<bool> sent{false}, done{false};
    std::thread chatter([&] {
        sent = net::test::sendAll(peer, std::vector<unsigned char>(16u << 20, 'z'), 20000);
        done = true;
    });
    ULONGLONG end = GetTickCount64() + 30000;
    while (!done && GetTickCount64() < end) {
        TransferStep();
        Sleep(1);
    }
    chatter.join();
    EXPECT_TRUE(sent) << "the peer's bytes were left unread";
    EXPECT_EQ(g_Settings.Counts().uploads, 1u) << "still served";
    std::vector<unsigned char> head = net::test::receiveBytes(peer, 11);
    EXPECT_EQ(std::string(head.begin(), head.end()), "HTTP 200 OK");
}

// A peer that stops reading holds its upload only until the stall time-out:
// then the upload ends as lost and its slot comes back.
TEST_F(Uploads, AnUploadWhosePeerReadsNothingEndsAfterTheStallTimeOut) {
    SOCKET peer = requestBigFile(10, 24u << 20);
    ASSERT_NE(peer, INVALID_SOCKET);
    CGnutellaHost* upload = onlyTransfer();
    ASSERT_TRUE(upload);
    // Until the sockets and the link's backlog are full, then refused.
    std::uint32_t sent = 0;
    for (int quiet = 0; quiet < 200;) {
        TransferStep();
        Sleep(1);
        quiet = upload->m_Transfer->bytesDone == sent ? quiet + 1 : 0;
        sent = upload->m_Transfer->bytesDone;
    }
    ASSERT_LT(sent, big.size());
    advance(stallTimeoutMs - 1000);
    for (int i = 0; i < 20; ++i)
        TransferStep();
    EXPECT_EQ(upload->m_State, transferState::sending) << "not yet";
    EXPECT_EQ(countedUploads(), 1u);
    advance(2000);
    ASSERT_TRUE(stepUntil([&] { return upload->m_State == transferState::uploadEnded; }));
    EXPECT_EQ(upload->m_Transfer->code, 998u);
    EXPECT_EQ(countedUploads(), 0u);
    EXPECT_EQ(g_Settings.Counts().uploads, 0u);
    EXPECT_EQ(RowText(upload->m_Transfer->row, ResourceText(IDS_GNU_FIELD_STATUS)), FailureText(998));
}

}  // namespace
}  // namespace vesk::gnutella::test
