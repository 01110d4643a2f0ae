// Push in both roles: a Push for this node makes it connect out, send the
// GIV and serve the requester's GET; a download from a source behind a
// firewall asks for a push over the link that saw the source, and takes
// over the connection its GIV arrives on, or gives up after 10 s.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "core/capsule.h"
#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaPacket.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/addresses.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/httpMessages.h"
#include "plugins/gnutella/inactiveHosts.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/pushRequests.h"
#include "plugins/gnutella/pushToUs.h"
#include "plugins/gnutella/resources.h"
#include "plugins/gnutella/tests/scriptedUploader.h"
#include "plugins/gnutella/tests/uploadFixture.h"
#include "plugins/gnutella/transferRows.h"
#include "plugins/gnutella/transferStates.h"
#include "plugins/gnutella/transferThread.h"
#include "testing/processMemory.h"

namespace vesk::gnutella::test {
namespace {

using net::test::receiveBytes;

const unsigned char ownGuid[16] = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7,
                                   0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF};
const unsigned char sourceServent[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

std::string text(const std::vector<unsigned char>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// The header of everything the peer sends until its empty line.
std::string readHeader(SOCKET s) {
    std::string got;
    while (got.find("\r\n\r\n") == std::string::npos) {
        std::vector<unsigned char> one = receiveBytes(s, 1, 20000);
        if (one.empty())
            break;
        got += static_cast<char>(one[0]);
    }
    return got;
}

CGnutellaPacket pushFor(const unsigned char* servent, std::uint32_t index, const unsigned char* address,
                        std::uint16_t port) {
    CGnutellaPacket push;
    WriteDescriptorHeader(push.m_Header, nullptr, function::push, 7, 0, 26);
    push.m_Payload.resize(26);
    std::memcpy(push.m_Payload.data(), servent, 16);
    WriteLe32(push.m_Payload.data() + 16, index);
    std::memcpy(push.m_Payload.data() + 20, address, 4);
    WriteLe16(push.m_Payload.data() + 24, port);
    return push;
}

class Pushes : public UploadTest {
protected:
    void SetUp() override {
        UploadTest::SetUp();
        std::memcpy(g_Settings.m_ClientGuid, ownGuid, sizeof ownGuid);
        song = FileBytes(6, 0, 20000);
        songId = share("song.mp3", song);
        ASSERT_NE(songId, ~0u);
    }
    std::string song;
    unsigned songId = 0;
};

const unsigned char loopback[4] = {127, 0, 0, 1};

TEST_F(Pushes, APushForThisNodeConnectsOutSendsTheGivAndServesTheRequest) {
    net::test::plainListener requester;
    CGnutellaPacket push = pushFor(ownGuid, songId, loopback, requester.port());
    EXPECT_GE(HandlePushToUs(&push), 0);
    SOCKET peer = requester.acceptOne();
    ASSERT_NE(peer, INVALID_SOCKET);
    sockets.push_back(peer);
    std::string giv = "GIV " + std::to_string(songId) + ":A0A1A2A3A4A5A6A7A8A9AAABACADAEAF/song.mp3\n\n";
    ASSERT_TRUE(stepUntil([&] { return !g_InactiveHostList.IsEmpty(); }));
    EXPECT_EQ(text(receiveBytes(peer, giv.size() + 1)), giv + '\0');
    EXPECT_TRUE(g_TransferHostList.IsEmpty());

    // The connection now waits, unclassified, for the requester's GET.
    CGnutellaHost* host;
    {
        std::lock_guard<std::recursive_mutex> hold(g_InactiveHostList.guard);
        ASSERT_EQ(g_InactiveHostList.items.size(), 1u);
        host = g_InactiveHostList.items.begin()->second;
        g_InactiveHostList.items.clear();
    }
    EXPECT_EQ(host->m_State, transferState::unclassified);
    ASSERT_EQ(classify(host, peer, Get("/get/" + std::to_string(songId) + "/song.mp3")), 1);
    std::string got = receiveAll(peer);
    ASSERT_GE(got.size(), song.size());
    EXPECT_EQ(got.substr(0, 11), "HTTP 200 OK");
    EXPECT_EQ(got.substr(got.size() - song.size()), song);
}

TEST_F(Pushes, PushesForThisNodeThatAreDropped) {
    const unsigned char nowhere[4] = {0, 0, 0, 0};
    const unsigned char multicast[4] = {224, 0, 0, 1};
    unsigned folderId = sharedFolderId();
    struct row {
        std::uint32_t index;
        const unsigned char* address;
        std::uint16_t port;
    } rows[] = {
        {99999, loopback, 6346},    // no such object
        {folderId, loopback, 6346},  // a folder
        {songId, nowhere, 6346},
        {songId, multicast, 6346},
        {songId, loopback, 0},
    };
    for (const row& r : rows) {
        CGnutellaPacket push = pushFor(ownGuid, r.index, r.address, r.port);
        EXPECT_EQ(HandlePushToUs(&push), -1) << r.index << " " << r.port;
        EXPECT_TRUE(g_TransferHostList.IsEmpty());
    }
}

TEST_F(Pushes, APushUploadWhoseRequesterCannotBeReachedGoes) {
    CGnutellaPacket push = pushFor(ownGuid, songId, loopback, net::test::freePort());
    HandlePushToUs(&push);
    EXPECT_FALSE(g_TransferHostList.IsEmpty());
    EXPECT_TRUE(stepUntil([&] {
        advance(1000);
        return g_TransferHostList.IsEmpty();
    }));
    EXPECT_TRUE(g_InactiveHostList.IsEmpty());
}

// A Push whose connection cannot be made whole (here no row can be had)
// lets go of everything made for it.
TEST_F(Pushes, APushWhoseConnectionCannotBeMadeWholeKeepsNothing) {
    const unsigned long agents = g_State.agentClass;
    g_State.agentClass = 0;
    auto allRefused = [&](unsigned count) {
        for (unsigned i = 0; i < count; ++i) {
            CGnutellaPacket push = pushFor(ownGuid, songId, loopback, 9);  // a new GUID each
            if (HandlePushToUs(&push) != -1)
                return false;
        }
        return true;
    };
    bool warmed = allRefused(200);  // the remembered GUIDs and the heap's own lists fill
    std::size_t before = testing::heapBytesInUse();
    bool refused = allRefused(2000);
    std::size_t after = testing::heapBytesInUse();
    g_State.agentClass = agents;
    ASSERT_TRUE(warmed && refused);
    EXPECT_TRUE(g_TransferHostList.IsEmpty());
    ASSERT_NE(before, 0u);
    EXPECT_LT(after, before + 64 * 1024) << "kept " << (after - before) / 2000 << " bytes a push";
}

TEST_F(Pushes, ARepeatedPushIsAnsweredOnce) {
    net::test::plainListener requester;
    CGnutellaPacket push = pushFor(ownGuid, songId, loopback, requester.port());
    EXPECT_GE(HandlePushToUs(&push), 0);
    EXPECT_EQ(HandlePushToUs(&push), -1) << "while dialling";
    SOCKET peer = requester.acceptOne();
    ASSERT_NE(peer, INVALID_SOCKET);
    sockets.push_back(peer);
    ASSERT_TRUE(stepUntil([&] { return !g_InactiveHostList.IsEmpty(); })) << "the GIV went";
    EXPECT_EQ(HandlePushToUs(&push), -1) << "after its GIV";
    for (int i = 0; i < 20; ++i)
        TransferStep();
    EXPECT_EQ(requester.acceptOne(300), INVALID_SOCKET) << "the requester is dialled once";
    EXPECT_EQ(g_InactiveHostList.Count() + g_TransferHostList.Count(), 1u);
    EXPECT_TRUE(PushTakenBefore(guid16::from(push.Guid())));
}

// A peer that repeats Pushes gets at most a few connections set up at once;
// a GIV whose requester never asks is closed after the request time-out,
// and its place comes back.
TEST_F(Pushes, PushSetUpsAreBoundedAndAGivLeftWithoutARequestIsClosed) {
    net::test::plainListener requester;
    g_State.running = 1;  // the listener thread's step as online
    // Each with a GUID of its own.
    auto pushOnce = [&] {
        CGnutellaPacket push = pushFor(ownGuid, songId, loopback, requester.port());
        return HandlePushToUs(&push);
    };
    for (unsigned i = 0; i < maxPushSetUps + 2; ++i)
        EXPECT_EQ(pushOnce() >= 0, i < maxPushSetUps) << i;
    std::vector<SOCKET> peers;
    for (unsigned i = 0; i < maxPushSetUps; ++i) {
        SOCKET peer = requester.acceptOne();
        ASSERT_NE(peer, INVALID_SOCKET);
        sockets.push_back(peer);
        peers.push_back(peer);
    }
    ASSERT_TRUE(stepUntil([&] { return g_InactiveHostList.Count() == maxPushSetUps; })) << "every GIV went";
    EXPECT_EQ(pushOnce(), -1) << "GIVs awaiting their request are being set up";

    advance(givAnswerTimeoutMs - 100);
    for (int i = 0; i < 3; ++i)
        ServiceInactiveHosts();
    EXPECT_EQ(g_InactiveHostList.Count(), maxPushSetUps) << "not yet";
    advance(200);
    ASSERT_TRUE(stepUntil([&] {
        ServiceInactiveHosts();
        return g_InactiveHostList.IsEmpty();
    }));
    for (SOCKET peer : peers) {
        bool closed = false;
        net::test::receiveUntilClosed(peer, closed, 5000);
        EXPECT_TRUE(closed);
    }
    EXPECT_GE(pushOnce(), 0) << "room again";
    g_State.running = 0;
}

TEST_F(Pushes, AGivsRequestThatCameInTimeIsServedHoweverLateTheStep) {
    net::test::plainListener requester;
    g_State.running = 1;
    CGnutellaPacket push = pushFor(ownGuid, songId, loopback, requester.port());
    ASSERT_GE(HandlePushToUs(&push), 0);
    SOCKET peer = requester.acceptOne();
    ASSERT_NE(peer, INVALID_SOCKET);
    sockets.push_back(peer);
    ASSERT_TRUE(stepUntil([&] { return !g_InactiveHostList.IsEmpty(); }));
    std::string request = Get("/get/" + std::to_string(songId) + "/song.mp3");
    ASSERT_TRUE(net::test::sendAll(peer, std::vector<unsigned char>(request.begin(), request.end())));
    Sleep(300);  // here before the listener thread's step
    advance(givAnswerTimeoutMs + 1000);
    ServiceInactiveHosts();
    EXPECT_TRUE(g_InactiveHostList.IsEmpty());
    EXPECT_EQ(g_TransferHostList.Count(), 1u) << "served";
    std::string got = receiveAll(peer);
    EXPECT_EQ(got.substr(got.size() - std::min(got.size(), song.size())), song);
    g_State.running = 0;
}

// Records whether the watched lock was held while the status bar was
// written to (the user interface ends such calls in the GUI thread).
class lockProbeBar : public objectBase, public ui::IStatusBar {
public:
    lockProbeBar() {
        registerInterfaceOf<ui::IStatusBar>(this);
        registerInterfaceOf<Igeneric>(static_cast<ui::IStatusBar*>(this));
    }
    int Create(ui::IWnd*) override { return 1; }
    void Output(const char*) override { note(); }
    void Output(const char*, int, DWORD) override { note(); }
    int Resize(RECT*, void*, int, int) override { return 0; }
    long SetIcon(int, HICON) override { return 0; }

    std::atomic<Ilock*> watched{nullptr};
    std::atomic<int> calls{0};
    std::atomic<bool> heldDuringCall{false};

private:
    void note() {
        ++calls;
        if (Ilock* lock = watched.load())
            heldDuringCall = heldDuringCall || lock->isLocked(0);
    }
};

TEST_F(Pushes, TheGivsStatusRefreshWaitsUntilTheConnectionsLockIsLetGo) {
    net::test::plainListener requester;
    CGnutellaPacket push = pushFor(ownGuid, songId, loopback, requester.port());
    ASSERT_GE(HandlePushToUs(&push), 0);
    SOCKET peer = requester.acceptOne();
    ASSERT_NE(peer, INVALID_SOCKET);
    sockets.push_back(peer);
    CGnutellaHost* host;
    {
        std::lock_guard<std::recursive_mutex> hold(g_TransferHostList.guard);
        ASSERT_EQ(g_TransferHostList.items.size(), 1u);
        host = g_TransferHostList.items.begin()->second;
    }
    ref<lockProbeBar> probe(new capsule<lockProbeBar>());
    probe->watched = host->m_Lock;
    ui::IStatusBar* bar = g_Services.statusBar;
    g_Services.statusBar = probe.get();
    bool handedOver = stepUntil([&] { return !g_InactiveHostList.IsEmpty(); });
    g_Services.statusBar = bar;
    ASSERT_TRUE(handedOver);
    EXPECT_GT(probe->calls, 0) << "the connecting hosts were counted";
    EXPECT_FALSE(probe->heldDuringCall);
}

class PushedDownloads : public Pushes {
protected:
    // A download from a source marked as reachable only by push, at a
    // private address (never dialled), waiting for its GIV.
    ss::IAgent* awaitingGiv() {
        row = resultRow("song.mp3", 20000, 6346);
        ss::IAgent* r = row.get();
        r->SetAttribute(ResourceText(IDS_GNU_FIELD_ADDRESS), value("10.0.0.5"));
        r->SetAttribute("GNUTELLA_FORCE_PUSH", value(1UL));
        r->SetAttributeBuffer(ResourceText(IDS_GNU_FIELD_ID), sourceServent, sizeof sourceServent);
        if (!fire(r, IDS_GNU_ACTION_DOWNLOAD) ||
            !stepUntil([&] { return stateOf(r) == transferState::awaitingGiv; }))
            return nullptr;
        return r;
    }
    ref<ss::IAgent> row;
};

TEST_F(PushedDownloads, ThePushGoesOverTheLinkThatSawTheSourceAndItsGivTakesTheDownload) {
    unsigned char own[4] = {127, 0, 0, 1};
    g_Settings.m_OwnAddress.Set(own);
    g_Settings.m_ListenPort = 6346;
    SOCKET link = linkThatSaw(sourceServent);
    ASSERT_NE(link, INVALID_SOCKET);
    ss::IAgent* r = awaitingGiv();
    ASSERT_TRUE(r);
    EXPECT_EQ(column(r, IDS_GNU_FIELD_STATUS), ResourceText(IDS_GNU_XFER_PUSH_SENT));

    SendRequestedPushes();
    std::vector<unsigned char> push = receiveBytes(link, 49);
    ASSERT_EQ(push.size(), 49u);
    EXPECT_EQ(push[16], function::push);
    EXPECT_EQ(ReadLe32(push.data() + 19), 26u);
    EXPECT_EQ(std::vector<unsigned char>(push.begin() + 23, push.begin() + 39),
              std::vector<unsigned char>(sourceServent, sourceServent + 16));
    EXPECT_EQ(std::vector<unsigned char>(push.begin() + 39, push.end()),
              (std::vector<unsigned char>{7, 0, 0, 0, 127, 0, 0, 1, 0xCA, 0x18}));

    // A GIV with the servent in lower case is no answer to it.
    SOCKET source;
    CGnutellaHost* accepted = acceptPeer(source);
    ASSERT_TRUE(accepted);
    EXPECT_EQ(classify(accepted, source, "GIV 7:000102030405060708090a0b0c0d0e0f/song.mp3\n\n"), 1);
    EXPECT_EQ(stateOf(r), transferState::awaitingGiv);

    accepted = acceptPeer(source);
    ASSERT_TRUE(accepted);
    EXPECT_EQ(classify(accepted, source, "GIV 7:000102030405060708090A0B0C0D0E0F/song.mp3\n\n"), 1);
    EXPECT_EQ(stateOf(r), transferState::requestPending);
    TransferStep();
    EXPECT_EQ(readHeader(source), "GET /get/7/song.mp3 HTTP/1.0\r\nConnection: Keep-Alive\r\n\r\n");
    std::string answer = "HTTP/1.1 200 OK\r\nContent-Length: 20000\r\n\r\n" + song;
    ASSERT_TRUE(net::test::sendAll(source, std::vector<unsigned char>(answer.begin(), answer.end())));
    ASSERT_TRUE(stepUntil([&] { return stateOf(r) == transferState::downloadEnded; }));
    EXPECT_EQ(transferOf(r)->code, 0u);
    EXPECT_EQ(transferOf(r)->viaPush, 1);
    EXPECT_EQ(vesk::testing::readFile(downloads.file("song.mp3")), song);
}

TEST_F(PushedDownloads, ALateGivNeverTakesRunningDownloadsAboveTheLimit) {
    g_Settings.m_MaxDownloads = 1;
    unsigned char own[4] = {1, 2, 3, 4};
    g_Settings.m_OwnAddress.Set(own);
    g_Settings.m_EnableReported = 0;
    linkThatSaw(sourceServent);
    ss::IAgent* r = awaitingGiv();
    ASSERT_TRUE(r);
    SendRequestedPushes();
    advance(10001);
    ASSERT_TRUE(stepUntil([&] { return stateOf(r) == transferState::downloadEnded; }));
    ASSERT_EQ(transferOf(r)->code, 992u);
    ASSERT_EQ(running(), 0u);

    // Another download takes the one slot.
    scriptedUploader source;
    source.then(SendsAndHolds("HTTP/1.1 200 OK\r\nContent-Length: 20000\r\n\r\n" + song.substr(0, 1000)));
    ref<ss::IAgent> other = resultRow("other.bin", 20000, source.port());
    ASSERT_TRUE(fire(other.get(), IDS_GNU_ACTION_DOWNLOAD));
    ASSERT_TRUE(stepUntil([&] { return stateOf(other.get()) == transferState::receiving; }));
    ASSERT_EQ(running(), 1u);

    const std::string giv = "GIV 7:000102030405060708090A0B0C0D0E0F/song.mp3\n\n";
    SOCKET late;
    CGnutellaHost* accepted = acceptPeer(late);
    ASSERT_TRUE(accepted);
    EXPECT_EQ(classify(accepted, late, giv), 1);
    EXPECT_EQ(stateOf(r), transferState::downloadEnded) << "no free slot: refused";
    EXPECT_EQ(running(), 1u);

    // Once the slot is free, a GIV is taken.
    ASSERT_TRUE(fire(other.get(), IDS_GNU_ACTION_STOP));
    ASSERT_TRUE(stepUntil([&] { return running() == 0; }));
    accepted = acceptPeer(late);
    ASSERT_TRUE(accepted);
    EXPECT_EQ(classify(accepted, late, giv), 1);
    EXPECT_EQ(stateOf(r), transferState::requestPending);
    EXPECT_EQ(running(), 1u);
}

TEST_F(PushedDownloads, AnUnansweredPushEnds) {
    struct unanswered {
        bool linkSawSource;
        unsigned char own[4];
        std::uint16_t reported;
        std::uint32_t code;
    } rows[] = {
        {false, {1, 2, 3, 4}, 0, 994},     // no link can route it
        {true, {192, 168, 1, 2}, 0, 991},  // both ends private, nothing reported
        {true, {192, 168, 1, 2}, 1, 992},
        {true, {1, 2, 3, 4}, 0, 992},
    };
    for (const unanswered& c : rows) {
        g_Settings.m_OwnAddress.Set(c.own);
        g_Settings.m_EnableReported = c.reported;
        if (c.linkSawSource)
            linkThatSaw(sourceServent);
        ss::IAgent* r = awaitingGiv();
        ASSERT_TRUE(r);
        SendRequestedPushes();
        TransferStep();
        if (c.code != 994) {
            EXPECT_EQ(stateOf(r), transferState::awaitingGiv) << "it waits 10 s";
            advance(10001);
        }
        ASSERT_TRUE(stepUntil([&] { return stateOf(r) == transferState::downloadEnded; })) << c.code;
        EXPECT_EQ(transferOf(r)->code, c.code);
        EXPECT_EQ(colour(r), 0xAFu);
        EXPECT_TRUE(offers(r, IDS_GNU_ACTION_RETRY));
        EXPECT_TRUE(offers(r, IDS_GNU_ACTION_REMOVE));
        EXPECT_EQ(running(), 0u);
        fire(r, IDS_GNU_ACTION_REMOVE);
        stepUntil([&] { return g_TransferHostList.IsEmpty(); });
        DestroyHosts(g_ActiveHostList);
    }
}

}  // namespace
}  // namespace vesk::gnutella::test
