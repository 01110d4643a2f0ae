// The settings object: every key's stored type and default, the type-strict
// load, the save order, and start-up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/tests/gnutellaFixture.h"

namespace vesk::gnutella::test {
namespace {

struct keyRow {
    const char* key;
    std::uint32_t type;
    unsigned long number;  // numbers
    const char* text;      // texts
};

// Every key with its stored type and default, in the order they are saved.
const std::vector<keyRow>& expectedKeys() {
    static const std::vector<keyRow> rows = {
        {"Gnutella_ShowFirewalledResults", vt::ucharV, 1, nullptr},
        {"Gnutella_AutoRetry", vt::longV, 1, nullptr},
        {"Gnutella_AutoRetryCount", vt::ulongV, 10, nullptr},
        {"Gnutella_LoadHostCatcher", vt::ushortV, 1, nullptr},
        {"Gnutella_ConnectToQuickConnect", vt::ushortV, 1, nullptr},
        {"Gnutella_MaxOutgoingResults", vt::ulongV, 255, nullptr},
        {"Gnutella_MinSearchCriteria", vt::ulongV, 1, nullptr},
        {"Gnutella_MaxUploadsPerIP", vt::ulongV, 4, nullptr},
        {"Gnutella_ConnectString", vt::stringObject, 0, "GNUTELLA CONNECT/0.4\n\n"},
        {"Gnutella_ConnectAck", vt::stringObject, 0, "GNUTELLA OK\n\n"},
        {"Gnutella_EnableReported", vt::ushortV, 0, nullptr},
        {"Gnutella_ReportedIP", vt::stringObject, 0, "0.0.0.0"},
        {"Gnutella_ReportedPort", vt::ushortV, 6346, nullptr},
        {"Gnutella_MaxTTLAllowed", vt::ucharV, 20, nullptr},
        {"Gnutella_MinResponseSpeed", vt::ushortV, 0, nullptr},
        {"Gnutella_MinTotalConnections", vt::ulongV, 5, nullptr},
        {"Gnutella_MaxOutgoing", vt::ulongV, 10, nullptr},
        {"Gnutella_MaxIncoming", vt::ulongV, 5, nullptr},
        {"Gnutella_MaxTotalConnections", vt::ulongV, 10, nullptr},
        {"Gnutella_MaxUploads", vt::ulongV, 7, nullptr},
        {"Gnutella_MaxDownloads", vt::ulongV, 7, nullptr},
        {"Gnutella_LocalTTL", vt::ucharV, 7, nullptr},
        {"Gnutella_LocalSpeed", vt::ulongV, 0, nullptr},
        {"Gnutella_ResultsDisplayLimit", vt::ulongV, 500, nullptr},
        {"Gnutella_ListenPort", vt::ushortV, 6346, nullptr},
        {"Gnutella_MaxHostCatcher", vt::ulongV, 50, nullptr},
        {"Gnutella_EnableSearchMonitor", vt::ushortV, 1, nullptr},
        {"Gnutella_ConnectTimeout", vt::ulongV, 3, nullptr},
    };
    return rows;
}

void expectHolds(const fakeSettings& s, const keyRow& row) {
    EXPECT_EQ(s.typeOf(row.key), row.type) << row.key;
    if (row.text)
        EXPECT_EQ(s.textOf(row.key), row.text) << row.key;
    else
        EXPECT_EQ(s.numberOf(row.key), row.number) << row.key;
}

class SettingsTest : public gnutellaFixture {
protected:
    // Loads from the store, then saves into a second one.
    fakeSettings& loadAndSave() {
        g_Settings.LoadSettings(store, g_State.token);
        saved = new capsule<fakeSettings>();
        held.reset(static_cast<persist::Isettings*>(saved));
        g_Settings.SaveSettings(saved, g_State.token);
        return *saved;
    }

    capsule<fakeSettings>* saved = nullptr;
    ref<persist::Isettings> held;
};

TEST_F(SettingsTest, AnEmptyStoreGetsEveryKeyWithItsDefaultAndType) {
    fakeSettings& out = loadAndSave();
    for (const keyRow& row : expectedKeys()) {
        expectHolds(*store, row);  // stored at once by the read
        expectHolds(out, row);     // and the fields hold them
    }
    EXPECT_EQ(store->keys().size(), expectedKeys().size());
}

TEST_F(SettingsTest, KeysAreSavedInTheirFixedOrder) {
    fakeSettings& out = loadAndSave();
    std::vector<std::string> order;
    for (const keyRow& row : expectedKeys())
        order.push_back(row.key);
    EXPECT_EQ(out.setOrder, order);
}

TEST_F(SettingsTest, AValueOfAnotherTypeLoadsAsZeroAndStaysInTheStore) {
    struct row {
        const char* key;
        value stored;
        std::uint32_t savedType;
        unsigned long savedNumber;
    } rows[] = {
        {"Gnutella_ListenPort", value(6347L), vt::ushortV, 0},
        {"Gnutella_MaxTTLAllowed", value(static_cast<unsigned short>(20)), vt::ucharV, 0},
        {"Gnutella_MaxUploads", value(7L), vt::ulongV, 0},
        {"Gnutella_ShowFirewalledResults", value(1UL), vt::ucharV, 0},
        {"Gnutella_ShowFirewalledResults", value(static_cast<unsigned char>(2)), vt::ucharV, 0},
        {"Gnutella_ShowFirewalledResults", value(static_cast<unsigned char>(1)), vt::ucharV, 1},
        {"Gnutella_AutoRetry", value(0L), vt::longV, 0},
        {"Gnutella_AutoRetry", value(7L), vt::longV, 1},
        {"Gnutella_AutoRetry", value(1UL), vt::longV, 0},
        {"Gnutella_LocalTTL", value(static_cast<unsigned char>(200)), vt::ucharV, 200},
    };
    for (const row& r : rows) {
        store->clear();
        store->put(r.key, r.stored);
        fakeSettings& out = loadAndSave();
        EXPECT_EQ(out.typeOf(r.key), r.savedType) << r.key;
        EXPECT_EQ(out.numberOf(r.key), r.savedNumber) << r.key << " stored as " << std::hex << r.stored.code;
        EXPECT_EQ(store->typeOf(r.key), r.stored.code) << "the store keeps what it held";
    }
}

TEST_F(SettingsTest, TextsAndTheReportedAddressKeepTheirFieldUnlessAUsableTextComes) {
    struct row {
        const char* key;
        value stored;
        const char* saved;
    } rows[] = {
        {"Gnutella_ConnectString", value(5L), "KEPT CONNECT"},
        {"Gnutella_ConnectString", value("GNUTELLA CONNECT/0.6\r\n\r\n"), "GNUTELLA CONNECT/0.6\r\n\r\n"},
        {"Gnutella_ConnectAck", value(5UL), "KEPT ACK"},
        {"Gnutella_ReportedIP", value("10.0.0.1"), "10.0.0.1"},
        {"Gnutella_ReportedIP", value("1.2"), "4.3.2.1"},  // no dotted address: left whole
        {"Gnutella_ReportedIP", value(""), "4.3.2.1"},
        {"Gnutella_ReportedIP", value(17L), "4.3.2.1"},
        {"Gnutella_ReportedIP", value("1.2.3.300"), "1.2.3.44"},
    };
    for (const row& r : rows) {
        std::strcpy(g_Settings.m_ConnectString, "KEPT CONNECT");
        std::strcpy(g_Settings.m_ConnectAck, "KEPT ACK");
        unsigned char before[4] = {4, 3, 2, 1};
        g_Settings.m_ReportedIP.Set(before);
        store->clear();
        store->put(r.key, r.stored);
        EXPECT_EQ(loadAndSave().textOf(r.key), r.saved) << r.key;
    }
}

TEST_F(SettingsTest, AnEmptyOrMissingConnectStringMatchesAsTheDefault) {
    struct row {
        const char* stored;  // null: no key in the store
        std::string matched;
    } rows[] = {
        {"", "GNUTELLA CONNECT/0.4\n\n"},
        {nullptr, "GNUTELLA CONNECT/0.4\n\n"},
        {"HELLO/1.0\n\n", "HELLO/1.0\n\n"},
    };
    for (const row& r : rows) {
        store->clear();
        if (r.stored)
            store->put("Gnutella_ConnectString", value(r.stored));
        std::strcpy(g_Settings.m_ConnectString, "");
        g_Settings.LoadSettings(store, g_State.token);
        EXPECT_EQ(std::string(g_Settings.ConnectString()), r.matched) << (r.stored ? r.stored : "(none)");
    }
    std::strcpy(g_Settings.m_ConnectString, "");  // never read from a store
    EXPECT_EQ(std::string(g_Settings.ConnectString()), "GNUTELLA CONNECT/0.4\n\n");
}

TEST_F(SettingsTest, AStoredTextLongerThanItsFieldIsCut) {
    std::string longText(400, 'x');
    store->put("Gnutella_ConnectString", value(longText.c_str()));
    EXPECT_EQ(loadAndSave().textOf("Gnutella_ConnectString"), std::string(255, 'x'));
}

TEST_F(SettingsTest, StartUpSetsTheLocalSpeedChunkSizeAndANewClientGuid) {
    store->put("Gnutella_LocalSpeed", value(56UL));
    ASSERT_EQ(InitSettings(), 0);
    EXPECT_EQ(g_Settings.m_LocalSpeed, 1000u);
    EXPECT_EQ(g_Settings.m_UploadChunkSize, 8192u);
    EXPECT_TRUE(IsMarkedGuid(g_Settings.m_ClientGuid));
    EXPECT_EQ(store->numberOf("Gnutella_LocalSpeed"), 56u) << "the key keeps its value until the next save";
    std::vector<unsigned char> first(g_Settings.m_ClientGuid, g_Settings.m_ClientGuid + 16);

    ASSERT_EQ(InitSettings(), 0);
    EXPECT_NE(std::vector<unsigned char>(g_Settings.m_ClientGuid, g_Settings.m_ClientGuid + 16), first)
        << "a new GUID at every start, never stored";
    on_settings_changed();
    EXPECT_EQ(store->numberOf("Gnutella_LocalSpeed"), 1000u);
    for (const std::string& key : store->keys())
        EXPECT_EQ(key.find("Guid"), std::string::npos) << key;
}

TEST_F(SettingsTest, WithoutAStoreNothingIsReadOrWritten) {
    g_Settings.m_MaxDownloads = 3;
    g_Settings.LoadSettings(nullptr, g_State.token);
    g_Settings.SaveSettings(nullptr, g_State.token);
    EXPECT_EQ(g_Settings.m_MaxDownloads, 3u);
}

}  // namespace
}  // namespace vesk::gnutella::test
