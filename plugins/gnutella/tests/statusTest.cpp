// The status tracker and what the user sees of it: status-bar panes, the
// tray's tip and icon, the search monitor; the module's texts and images.
#include <gtest/gtest.h>

#include <string>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/clock.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/resources.h"
#include "plugins/gnutella/searchMonitor.h"
#include "plugins/gnutella/tests/gnutellaFixture.h"
#include "plugins/gnutella/tests/rowAgent.h"
#include "plugins/gnutella/trayStatus.h"

namespace vesk::gnutella::test {
namespace {

using vesk::testing::callText;

ref<ss::IAgent> newRow() {
    return ref<ss::IAgent>(new capsule<rowAgent>());
}

TEST(TrayIcon, ChosenByLinksAndTransfers) {
    struct row {
        std::uint32_t links, downloads, uploads;
        int icon;
    } rows[] = {
        {2, 0, 0, 167}, {2, 1, 0, 171}, {2, 0, 1, 173}, {2, 3, 2, 172},
        {0, 0, 0, 169}, {0, 0, 1, 169}, {0, 1, 0, 169}, {0, 1, 1, 169},
    };
    for (const row& r : rows) {
        trackerCounts c;
        c.links = r.links;
        c.downloads = r.downloads;
        c.uploads = r.uploads;
        EXPECT_EQ(ChooseTrayIcon(c), r.icon) << r.links << " " << r.downloads << " " << r.uploads;
    }
}

class StatusTest : public gnutellaFixture {
protected:
    void TearDown() override {
        g_Settings.Clear();
        gnutellaFixture::TearDown();
    }
    std::string last(const std::string& prefix) {
        std::vector<std::string> lines = recorded(prefix);
        return lines.empty() ? "" : lines.back();
    }
    std::string iconCall(int id) { return callText("ITrayCtrl::SetIcon").address(TrayIcon(id)).text(); }
};

TEST_F(StatusTest, TwoLinksAndADownloadAsThePanesAndTheTrayShowThem) {
    ref<ss::IAgent> in = newRow(), out = newRow(), download = newRow();
    g_Settings.TrackIncomingLink(in.get());
    g_Settings.TrackOutgoingLink(out.get());
    g_Settings.TrackDownload(download.get());
    EXPECT_EQ(last("IStatusBar::Output"), "IStatusBar::Output|Connections: 2|1|0");
    EXPECT_TRUE(recorded("IStatusBar::Output|DL: 1 UL: 0|2|0").size() == 1);
    EXPECT_EQ(last("ITrayCtrl::SetTip"),
              "ITrayCtrl::SetTip|Pelloran\r\nConnections: 2 In: 1 Out: 1\r\nDownloads: 1 Uploads: 0");
    ASSERT_NE(TrayIcon(171), nullptr) << "icon 171 is in the resource module";
    EXPECT_EQ(last("ITrayCtrl::SetIcon"), iconCall(171));
}

TEST_F(StatusTest, NoLinkShowsTheOfflineIconWhateverRuns) {
    ref<ss::IAgent> upload = newRow();
    g_Settings.TrackUpload(upload.get());
    ASSERT_NE(TrayIcon(169), nullptr);
    EXPECT_EQ(last("ITrayCtrl::SetIcon"), iconCall(169));
    EXPECT_EQ(last("IStatusBar::Output|DL"), "IStatusBar::Output|DL: 0 UL: 1|2|0");
}

TEST_F(StatusTest, TwoDownloadsAndAnUploadInPaneTwo) {
    ref<ss::IAgent> a = newRow(), b = newRow(), c = newRow();
    g_Settings.TrackDownload(a.get());
    g_Settings.TrackDownload(b.get());
    g_Settings.TrackUpload(c.get());
    EXPECT_EQ(last("IStatusBar::Output|DL"), "IStatusBar::Output|DL: 2 UL: 1|2|0");
}

TEST_F(StatusTest, WithoutATrayControlOnlyTheStatusBarIsUpdated) {
    g_Services.tray = nullptr;
    ref<ss::IAgent> row = newRow();
    g_Settings.TrackOutgoingLink(row.get());
    EXPECT_EQ(last("IStatusBar::Output"), "IStatusBar::Output|Connections: 1|1|0");
    EXPECT_TRUE(recorded("ITrayCtrl::").empty());
}

TEST_F(StatusTest, ARowIsTrackedOnceAndHeldWithOneReference) {
    ref<ss::IAgent> in = newRow(), never = newRow();
    int before = referencesOf(in.get());
    g_Settings.TrackIncomingLink(in.get());
    g_Settings.TrackIncomingLink(in.get());
    EXPECT_EQ(referencesOf(in.get()), before + 1);
    trackerCounts c = g_Settings.Counts();
    EXPECT_EQ(c.incomingLinks, 1u);
    EXPECT_EQ(c.links, 1u);

    g_Settings.UntrackOutgoingLink(never.get());
    EXPECT_EQ(g_Settings.Counts().outgoingLinks, 0u);
    EXPECT_EQ(g_Settings.Counts().links, 1u);
    std::size_t refreshes = recorded("IStatusBar::Output|Connections").size();
    EXPECT_EQ(refreshes, 3u) << "a change that changes nothing still refreshes";

    g_Settings.UntrackIncomingLink(in.get());
    EXPECT_EQ(referencesOf(in.get()), before);
    EXPECT_EQ(g_Settings.Counts().links, 0u);
    EXPECT_TRUE(g_Settings.m_IncomingLinkSeen) << "seen once stays seen";
}

TEST_F(StatusTest, ClearGivesBackEveryRow) {
    ref<ss::IAgent> row = newRow();
    int before = referencesOf(row.get());
    g_Settings.TrackConnectingHost(row.get());
    g_Settings.TrackDownload(row.get());
    EXPECT_EQ(referencesOf(row.get()), before + 2);
    g_Settings.Clear();
    EXPECT_EQ(referencesOf(row.get()), before);
    EXPECT_EQ(g_Settings.Counts().connecting, 0u);
}

TEST_F(StatusTest, DescriptorsAreCountedPerKind) {
    std::uint32_t queries = g_Settings.SentCount(kind::query);
    EXPECT_EQ(g_Settings.CountSent(kind::query), queries + 1);
    EXPECT_EQ(g_Settings.CountSent(256 + kind::query), queries + 2) << "the kind is taken modulo 256";
    EXPECT_EQ(g_Settings.CountSent(5), 0u);
    std::uint32_t pongs = g_Settings.ReceivedCount(kind::pong);
    EXPECT_EQ(g_Settings.CountReceived(kind::pong), pongs + 1);
    EXPECT_EQ(g_Settings.SentCount(kind::query), queries + 2);
}

unsigned long fakeNow = 0;
unsigned long fakeClock() {
    return fakeNow;
}

TEST_F(StatusTest, TheSearchMonitorShowsAtMostOneQueryEvery400Ms) {
    SetTickSource(&fakeClock);
    g_Settings.m_EnableSearchMonitor = 1;
    fakeNow = 100000;
    RefreshStats("first");
    fakeNow += 399;
    RefreshStats("399 ms later");
    fakeNow += 1;
    RefreshStats("400 ms after the first");
    RefreshStats("");
    g_Settings.m_EnableSearchMonitor = 0;
    fakeNow += 5000;
    RefreshStats("monitor off");
    g_Settings.m_EnableSearchMonitor = 1;
    g_State.shuttingDown = 1;
    RefreshStats("shutting down");
    g_State.shuttingDown = 0;
    SetTickSource(nullptr);
    EXPECT_EQ(recorded("IGnutellaStatDockWnd::AddLine"),
              (std::vector<std::string>{"IGnutellaStatDockWnd::AddLine|first",
                                        "IGnutellaStatDockWnd::AddLine|400 ms after the first"}));
    // Across the tick count's wrap: 346 ms, then 596 ms after the last.
    EXPECT_FALSE(ShouldShowQuery(true, 50, 4294967000UL));
    EXPECT_TRUE(ShouldShowQuery(true, 300, 4294967000UL));
}

TEST_F(StatusTest, TextsAreLoadedOnceAndTheClientIconsAddedInOrder) {
    ASSERT_EQ(InitResources(), 0);
    EXPECT_STREQ(ResourceText(IDS_GNU_FIELD_NAME), "File Name");
    EXPECT_STREQ(ResourceText(IDS_GNU_STATUS_991), "Both sides firewalled");
    EXPECT_STREQ(ResourceText(IDS_GNU_XFER_CONNECTED), "Connected") << "a text the manager's block holds";
    EXPECT_STREQ(ResourceText(12345), "") << "an id not loaded";
    EXPECT_STREQ(TransferIdString()->c_str(), "GnuTID");
    std::string module = callText("").address(ui.defaultModule()).text();
    std::vector<std::string> icons;
    for (int id : {152, 149, 151, 154, 174})
        icons.push_back("IUIControl::AddIcon" + module + "|" + std::to_string(id));
    EXPECT_EQ(recorded("IUIControl::AddIcon"), icons);
    EXPECT_EQ(VendorImage(vendorImage::other), 0);
    EXPECT_EQ(VendorImage(vendorImage::own), 4);
    Istring* name = ResourceString(IDS_GNU_FIELD_NAME);
    EXPECT_EQ(referencesOf(name), 1);
    ReleaseResources();
    EXPECT_STREQ(ResourceText(IDS_GNU_FIELD_NAME), "");
}

TEST(LinkTexts, EachKindNamesItsText) {
    struct row {
        unsigned kindCode;
        unsigned text;
    } rows[] = {{0, 294},   {1, 295},   {2, 293},    {3, 292},  {4, 296},
                {5, 40042}, {6, 40041}, {99, 40040}, {7, 40048}};
    for (const row& r : rows)
        EXPECT_EQ(HostStateTextId(r.kindCode), r.text) << r.kindCode;
}

}  // namespace
}  // namespace vesk::gnutella::test
