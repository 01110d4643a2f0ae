// The module's option pages made from their templates in the fake options
// dialog and driven by message, as a user would: typed numbers land in the
// settings store cut to their width.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/optionPages.h"
#include "plugins/gnutella/resources.h"
#include "plugins/gnutella/tests/scriptedDescriptor.h"
#include "plugins/gnutella/tests/searchFixture.h"
#include "testing/screen/keptShots.h"

namespace vesk::gnutella::test {

namespace {

const char* const connectionsPage = "Connect";  // titles from the resource module
const char* const searchPage = "Query";
const char* const networkPage = "Network";
const char* const transfersPage = "Transfers";

class OptionPagesTest : public searchFixture {
protected:
    void SetUp() override {
        searchFixture::SetUp();
        g_Settings.LoadSettings(store, g_State.token);  // every key at its default
        g_Settings.m_SearchPageNumber = 50;
        g_Settings.m_SecondSearchPageNumber = 20000;
        init_options();
    }
    void TearDown() override {
        g_State.listener = nullptr;
        searchFixture::TearDown();
    }

    HWND select(const char* title) {
        HWND page = ui.optionsDialog().select(title);
        EXPECT_NE(page, nullptr) << title;
        return page;
    }
    void press(WPARAM command) { ui.optionsDialog().press(command); }
    void type(HWND page, int id, const std::string& text) {
        ASSERT_TRUE(SetDlgItemTextA(page, id, text.c_str())) << id;
    }
    std::string textOf(HWND page, int id) {
        char text[260] = {};
        GetDlgItemTextA(page, id, text, sizeof text);
        return text;
    }
    // A click as the user makes it: the box changes and tells the page.
    void click(HWND page, int id) { SendDlgItemMessageA(page, id, BM_CLICK, 0, 0); }
    bool checked(HWND page, int id) { return SendDlgItemMessageA(page, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != 0; }
    unsigned long stored(const char* key) {
        g_Settings.SaveSettings(store, g_State.token);
        return store->numberOf(key);
    }
    void keepShot(const char* name) {
        ui.optionsDialog().paint();
        vesk::testing::KeepShotWhenAsked(ui.optionsDialog().dialogWindow(), name);
    }
};

TEST_F(OptionPagesTest, ThePageTreeIsAddedInOrderWithTheModuleIcons) {
    struct row {
        const char* title;
        const char* parent;
        int icon;
        int dialog;
        DLGPROC procedure;
    };
    const row rows[] = {
        {"Gnutella", "Protocols", 152, 0, &options_general_proc},
        {connectionsPage, "Gnutella", 135, 112, &options_connections_proc},
        {searchPage, "Gnutella", 139, 116, &options_search_proc},
        {networkPage, "Gnutella", 134, 117, &options_network_proc},
        {transfersPage, "", 140, 118, &options_transfers_proc},
    };
    std::vector<vesk::testing::optionsPage> pages = ui.optionsDialog().pages();
    ASSERT_EQ(pages.size(), std::size(rows));
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const row& r = rows[i];
        EXPECT_EQ(pages[i].title, r.title) << i;
        EXPECT_EQ(pages[i].parent, r.parent) << r.title;
        EXPECT_EQ(pages[i].image, ui.control()->AddIcon(ui.defaultModule(), r.icon)) << r.title;
        EXPECT_EQ(pages[i].dialog, r.dialog) << r.title;
        EXPECT_EQ(pages[i].module, ui.languageModule()) << r.title;
        EXPECT_EQ(pages[i].procedure, r.procedure) << r.title;
    }
    std::vector<std::string> lines = log->lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "GNUTELLA INIT: beginning init_options()\r\n");
    EXPECT_EQ(lines[1], "GNUTELLA INIT: completed init_options()\r\n");
    EXPECT_EQ(options_general_proc(nullptr, 1, 0, 0), 1);
    EXPECT_EQ(options_general_proc(nullptr, WM_INITDIALOG, 0, 0), 0);
    EXPECT_EQ(ui.optionsDialog().select("Gnutella"), nullptr) << "a group node has no page";
}

TEST_F(OptionPagesTest, TypedNumbersAreStoredCutToTheirWidth) {
    struct row {
        const char* page;
        int control;
        const char* typed;
        const char* key;
        unsigned long stored;
    };
    const row rows[] = {
        {connectionsPage, IDC_GNU_MIN_CONNECTIONS, "7", "Gnutella_MinTotalConnections", 7},
        {connectionsPage, IDC_GNU_MAX_INCOMING, "12", "Gnutella_MaxIncoming", 12},
        {connectionsPage, IDC_GNU_MAX_OUTGOING, "9", "Gnutella_MaxOutgoing", 9},
        {connectionsPage, IDC_GNU_MAX_HOST_CACHE, "500", "Gnutella_MaxHostCatcher", 500},
        {connectionsPage, IDC_GNU_CONNECT_TIMEOUT, "100000", "Gnutella_ConnectTimeout", 100000},
        {searchPage, IDC_GNU_MAX_RESULTS_OUT, "64", "Gnutella_MaxOutgoingResults", 64},
        {searchPage, IDC_GNU_MIN_CRITERIA, "3", "Gnutella_MinSearchCriteria", 3},
        {searchPage, IDC_GNU_MIN_SPEED, "70000", "Gnutella_MinResponseSpeed", 4464},
        {networkPage, IDC_GNU_LISTEN_PORT, "70000", "Gnutella_ListenPort", 4464},
        {networkPage, IDC_GNU_LOCAL_SPEED, "1234", "Gnutella_LocalSpeed", 1234},
        {networkPage, IDC_GNU_MAX_TTL, "300", "Gnutella_MaxTTLAllowed", 44},
        {networkPage, IDC_GNU_LOCAL_TTL, "259", "Gnutella_LocalTTL", 3},
        {networkPage, IDC_GNU_REPORTED_PORT, "65537", "Gnutella_ReportedPort", 1},
        {transfersPage, IDC_GNU_MAX_UPLOADS, "5", "Gnutella_MaxUploads", 5},
        {transfersPage, IDC_GNU_MAX_UPLOADS_PER_IP, "2", "Gnutella_MaxUploadsPerIP", 2},
        {transfersPage, IDC_GNU_MAX_DOWNLOADS, "8", "Gnutella_MaxDownloads", 8},
    };
    // Each page selected once: showing the transfers page applies it.
    HWND page = nullptr;
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        if (i == 0 || std::string(rows[i].page) != rows[i - 1].page)
            page = select(rows[i].page);
        type(page, rows[i].control, rows[i].typed);
    }
    for (const row& r : rows)
        EXPECT_NE(stored(r.key), r.stored) << r.key << ": nothing is stored before OK";
    press(1);
    for (const row& r : rows)
        EXPECT_EQ(stored(r.key), r.stored) << r.key << " typed " << r.typed;
    // The pages show what is stored now.
    press(2);
    EXPECT_EQ(textOf(select(networkPage), IDC_GNU_LISTEN_PORT), "4464");
    EXPECT_EQ(textOf(select(networkPage), IDC_GNU_MAX_TTL), "44");
}

TEST_F(OptionPagesTest, ApplyStoresAndCancelShowsTheStoredValuesAgain) {
    struct row {
        const char* page;
        int control;
        const char* typed;
    };
    const row rows[] = {
        {connectionsPage, IDC_GNU_MAX_INCOMING, "77"},
        {searchPage, IDC_GNU_MIN_CRITERIA, "9"},
        {networkPage, IDC_GNU_LOCAL_TTL, "9"},
        {transfersPage, IDC_GNU_MAX_DOWNLOADS, "77"},
    };
    std::vector<std::string> before;
    for (const row& r : rows) {
        HWND page = select(r.page);
        before.push_back(textOf(page, r.control));
        type(page, r.control, r.typed);
        ASSERT_NE(before.back(), r.typed);
    }
    press(2);
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(textOf(select(rows[i].page), rows[i].control), before[i]) << rows[i].page;
    for (const row& r : rows)
        type(select(r.page), r.control, r.typed);
    press(101);
    press(2);
    for (const row& r : rows)
        EXPECT_EQ(textOf(select(r.page), r.control), r.typed) << r.page << ": applied, so shown again";
    EXPECT_EQ(g_Settings.m_MaxIncoming.load(), 77u);
    EXPECT_EQ(g_Settings.m_LocalTTL.load(), 9u);
}

TEST_F(OptionPagesTest, BoxesAreStoredOnOkButTheTwoConnectionSwitchesAtOnce) {
    g_Settings.m_LoadHostCatcher = 0;
    g_Settings.m_ConnectToQuickConnect = 0;
    HWND connections = select(connectionsPage);
    ASSERT_FALSE(checked(connections, IDC_GNU_LOAD_HOST_CACHE));
    click(connections, IDC_GNU_LOAD_HOST_CACHE);
    EXPECT_EQ(stored("Gnutella_LoadHostCatcher"), 1u) << "no OK needed";
    click(connections, IDC_GNU_QUICK_CONNECT);
    EXPECT_EQ(stored("Gnutella_ConnectToQuickConnect"), 1u);
    click(connections, IDC_GNU_QUICK_CONNECT);
    EXPECT_EQ(stored("Gnutella_ConnectToQuickConnect"), 0u);
    press(2);
    EXPECT_TRUE(checked(connections, IDC_GNU_LOAD_HOST_CACHE)) << "Cancel shows what the click stored";

    HWND search = select(searchPage);
    ASSERT_TRUE(checked(search, IDC_GNU_SEARCH_MONITOR));
    EXPECT_TRUE(enabled(search, IDC_GNU_MONITOR_NUMBER));
    EXPECT_EQ(textOf(search, IDC_GNU_MONITOR_NUMBER), "50");
    EXPECT_EQ(textOf(search, IDC_GNU_SECOND_NUMBER), "20000");
    click(search, IDC_GNU_SEARCH_MONITOR);
    EXPECT_FALSE(enabled(search, IDC_GNU_MONITOR_NUMBER)) << "at once";
    EXPECT_EQ(g_Settings.m_EnableSearchMonitor.load(), 1u) << "stored only on OK";
    click(search, IDC_GNU_SHOW_FIREWALLED);
    type(search, IDC_GNU_MONITOR_NUMBER, "75");
    type(search, IDC_GNU_SECOND_NUMBER, "300");

    HWND network = select(networkPage);
    ASSERT_FALSE(checked(network, IDC_GNU_ENABLE_REPORTED));
    for (int id : {IDC_GNU_REPORTED_IP_LABEL, IDC_GNU_REPORTED_PORT_LABEL, IDC_GNU_REPORTED_IP, IDC_GNU_REPORTED_PORT})
        EXPECT_FALSE(enabled(network, id)) << id;
    click(network, IDC_GNU_ENABLE_REPORTED);
    for (int id : {IDC_GNU_REPORTED_IP_LABEL, IDC_GNU_REPORTED_PORT_LABEL, IDC_GNU_REPORTED_IP, IDC_GNU_REPORTED_PORT})
        EXPECT_TRUE(enabled(network, id)) << id << " at once";
    EXPECT_EQ(stored("Gnutella_EnableReported"), 0u);

    press(1);
    EXPECT_EQ(stored("Gnutella_EnableSearchMonitor"), 0u);
    EXPECT_EQ(stored("Gnutella_ShowFirewalledResults"), 0u);
    EXPECT_EQ(stored("Gnutella_EnableReported"), 1u);
    EXPECT_EQ(g_Settings.m_SearchPageNumber.load(), 75u);
    EXPECT_EQ(g_Settings.m_SecondSearchPageNumber.load(), 300u);
}

TEST_F(OptionPagesTest, OnlyAChangedPortClosesTheListenerOnce) {
    capsule<scriptedDescriptor> listener;
    g_State.listener = &listener;
    g_Settings.m_ListenPort = 6346;
    HWND network = select(networkPage);
    struct step {
        const char* typed;
        WPARAM command;
        int closes;  // so far
        unsigned port;
    };
    const step steps[] = {
        {"6347", 1, 1, 6347},    // a new port
        {"6347", 1, 1, 6347},    // the same again
        {"6347", 101, 1, 6347},  // applied unchanged
        {"70000", 101, 2, 4464},
        {"4464", 1, 2, 4464},  // the same port after the cut
        {"135536", 1, 2, 4464},
    };
    for (const step& s : steps) {
        type(network, IDC_GNU_LISTEN_PORT, s.typed);
        press(s.command);
        EXPECT_EQ(listener.closes, s.closes) << s.typed;
        EXPECT_EQ(g_Settings.m_ListenPort.load(), s.port) << s.typed;
    }
}

TEST_F(OptionPagesTest, TheSpeedListShowsTheStoredSpeedAndTheNumberDecides) {
    struct row {
        unsigned speed;
        const char* shown;
    };
    const row rows[] = {{28, "28.8 Modem"}, {56, "56K Modem"}, {300, "Cable Modem/DSL"},
                        {1000, "T1"},       {3000, "T3"},      {42, "56K Modem"}};
    HWND network = select(networkPage);
    ASSERT_EQ(SendDlgItemMessageA(network, IDC_GNU_SPEED_LIST, CB_GETCOUNT, 0, 0), 5);
    for (const row& r : rows) {
        g_Settings.m_LocalSpeed = r.speed;
        press(2);
        EXPECT_EQ(textOf(network, IDC_GNU_SPEED_LIST), r.shown) << r.speed;
        EXPECT_EQ(textOf(network, IDC_GNU_LOCAL_SPEED), std::to_string(r.speed));
    }
    ASSERT_EQ(SendDlgItemMessageA(network, IDC_GNU_SPEED_LIST, CB_GETCOUNT, 0, 0), 5) << "filled once";
    SendDlgItemMessageA(network, IDC_GNU_SPEED_LIST, CB_SETCURSEL, 4, 0);  // T3
    type(network, IDC_GNU_LOCAL_SPEED, "1000");
    press(1);
    EXPECT_EQ(stored("Gnutella_LocalSpeed"), 1000u);
}

TEST_F(OptionPagesTest, TheReportedAddressIsStoredOnlyWhenItParses) {
    unsigned char start[4] = {9, 8, 7, 6};
    struct row {
        const char* typed;
        unsigned char stored[4];
    };
    const row rows[] = {
        {"1.2.3.4", {1, 2, 3, 4}},
        {"10.0.0", {1, 2, 3, 4}},                   // too few dots: unchanged
        {"5.6.7.123456789012345", {1, 2, 3, 4}},    // a part longer than the parser takes
        {"5.6.7.300", {5, 6, 7, 44}},               // each part in 8 bits, as the parser reads it
        {"", {5, 6, 7, 44}},
    };
    g_Settings.m_ReportedIP.Set(start);
    HWND network = select(networkPage);
    EXPECT_EQ(textOf(network, IDC_GNU_REPORTED_IP), "9.8.7.6");
    for (const row& r : rows) {
        type(network, IDC_GNU_REPORTED_IP, r.typed);
        press(1);
        unsigned char now[4];
        g_Settings.m_ReportedIP.Get(now);
        EXPECT_EQ(std::vector<unsigned char>(now, now + 4), std::vector<unsigned char>(r.stored, r.stored + 4))
            << r.typed;
    }
    g_Settings.SaveSettings(store, g_State.token);
    EXPECT_EQ(store->textOf("Gnutella_ReportedIP"), "5.6.7.44");
}

// Presses an up-down's arrow with the mouse, as the user does.
void pressArrow(HWND stepper, bool up) {
    RECT area;
    ASSERT_TRUE(GetClientRect(stepper, &area));
    LPARAM at = MAKELPARAM((area.right) / 2, up ? area.bottom / 4 : area.bottom * 3 / 4);
    SendMessageA(stepper, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(stepper, WM_LBUTTONUP, 0, at);
}

TEST_F(OptionPagesTest, ArrowsStepTheWayTheyPointWithinTheLimits) {
    struct row {
        int stepper;
        int control;
        const char* start;
        std::vector<bool> presses;  // true: up
        const char* shown;
    };
    const row rows[] = {
        {IDC_GNU_STEP_TIMEOUT, IDC_GNU_CONNECT_TIMEOUT, "19", {true}, "19"},
        {IDC_GNU_STEP_TIMEOUT, IDC_GNU_CONNECT_TIMEOUT, "18", {true, true}, "19"},
        {IDC_GNU_STEP_TIMEOUT, IDC_GNU_CONNECT_TIMEOUT, "0", {false}, "0"},
        {IDC_GNU_STEP_INCOMING, IDC_GNU_MAX_INCOMING, "5", {true, true, true}, "8"},
        {IDC_GNU_STEP_INCOMING, IDC_GNU_MAX_INCOMING, "99", {true}, "99"},
        {IDC_GNU_STEP_OUTGOING, IDC_GNU_MAX_OUTGOING, "5", {false, false, true}, "4"},
        {IDC_GNU_STEP_MIN_CONNECTIONS, IDC_GNU_MIN_CONNECTIONS, "0", {true, false, false}, "0"},
        {IDC_GNU_STEP_HOST_CACHE, IDC_GNU_MAX_HOST_CACHE, "98", {true, true}, "99"},
    };
    HWND connections = select(connectionsPage);
    for (const row& r : rows) {
        type(connections, r.control, r.start);
        for (bool up : r.presses)
            pressArrow(GetDlgItem(connections, r.stepper), up);
        EXPECT_EQ(textOf(connections, r.control), r.shown) << r.control << " from " << r.start;
    }
    EXPECT_EQ(g_Settings.m_MaxIncoming.load(), 5u) << "only the control changes";
    press(1);
    EXPECT_EQ(g_Settings.m_MaxIncoming.load(), 99u);
}

TEST_F(OptionPagesTest, TheTransfersPageFollowsTheToolbarsAutoClearWhenShown) {
    for (int index = 0; index < 4; ++index)
        manager->SetAutoClear(index, false);
    HWND transfers = select(transfersPage);
    const int boxes[] = {IDC_GNU_CLEAR_DONE_DOWN, IDC_GNU_CLEAR_DONE_UP, IDC_GNU_CLEAR_FAILED_DOWN,
                         IDC_GNU_CLEAR_FAILED_UP};
    for (int box : boxes)
        EXPECT_FALSE(checked(transfers, box)) << box;
    click(transfers, IDC_GNU_CLEAR_FAILED_UP);
    EXPECT_FALSE(manager->GetAutoClear(3)) << "stored on OK";
    press(1);
    EXPECT_TRUE(manager->GetAutoClear(3));

    // The toolbar changes two switches; the page shows them when it is
    // shown again, and applies itself then.
    manager->SetAutoClear(0, true);
    manager->SetAutoClear(3, false);
    type(transfers, IDC_GNU_MAX_UPLOADS, "17");
    select(searchPage);
    select(transfersPage);
    const bool expected[] = {true, false, false, false};
    for (int index = 0; index < 4; ++index)
        EXPECT_EQ(checked(transfers, boxes[index]), expected[index]) << index;
    EXPECT_EQ(g_Settings.m_MaxUploads.load(), 17u) << "shown means applied";

    // The dialog shown or hidden (parameters 0): boxes refreshed, nothing applied.
    manager->SetAutoClear(1, true);
    type(transfers, IDC_GNU_MAX_UPLOADS, "18");
    ui.optionsDialog().dialogShown();
    EXPECT_TRUE(checked(transfers, IDC_GNU_CLEAR_DONE_UP));
    EXPECT_EQ(g_Settings.m_MaxUploads.load(), 17u);
}

TEST_F(OptionPagesTest, EveryPageShowsItsSettings) {
    g_Settings.m_ListenPort = 6346;
    g_Settings.m_LocalSpeed = 300;
    g_Settings.m_EnableReported = 1;
    unsigned char address[4] = {127, 0, 0, 1};
    g_Settings.m_ReportedIP.Set(address);
    struct row {
        const char* page;
        int control;
        const char* shown;
    };
    const row rows[] = {
        {connectionsPage, IDC_GNU_MIN_CONNECTIONS, nullptr},
        {searchPage, IDC_GNU_MAX_RESULTS_OUT, nullptr},
        {networkPage, IDC_GNU_LISTEN_PORT, "6346"},
        {networkPage, IDC_GNU_REPORTED_IP, "127.0.0.1"},
        {transfersPage, IDC_GNU_MAX_DOWNLOADS, nullptr},
    };
    for (const row& r : rows) {
        HWND page = select(r.page);
        if (r.shown)
            EXPECT_EQ(textOf(page, r.control), r.shown);
        else
            EXPECT_FALSE(textOf(page, r.control).empty()) << r.page;
        keepShot((std::string("gnutella page ") + r.page).c_str());
    }
}

}  // namespace

}  // namespace vesk::gnutella::test
