// The module's one settings object: every "Gnutella_" setting with its
// stored type and default, the client GUID, the live state other parts
// share, and (as its base) the status tracker.
//
// The option pages write the fields on the GUI thread while the worker
// threads read them; each field is a single atomic value. The two texts are
// written only by LoadSettings, before any worker thread runs.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <variant>

#include "plugins/gnutella/statusTracker.h"
#include "vesk/value.h"

namespace vesk {
struct IentityToken;
namespace persist {
struct Isettings;
}
}  // namespace vesk

namespace vesk::gnutella {

constexpr std::size_t settingTextSize = 256;  // 255 characters and the terminator
constexpr const char* defaultConnectString = "GNUTELLA CONNECT/0.4\n\n";

// Four address bytes, first octet first, read and written whole.
class addressField {
public:
    void Get(unsigned char* out) const {
        std::uint32_t v = bits_.load();
        std::memcpy(out, &v, 4);
    }
    void Set(const unsigned char* in) {
        std::uint32_t v;
        std::memcpy(&v, in, 4);
        bits_.store(v);
    }

private:
    std::atomic<std::uint32_t> bits_{0};
};

class CGnutellaSettings : public CStatusTracker {
public:
    CGnutellaSettings() = default;
    virtual ~CGnutellaSettings() = default;

    // Reads every key from the store with the module's entity as owner: a
    // value of exactly the key's stored type is taken, any other gives 0
    // (the two texts and the reported address keep what they held). An
    // absent key is stored with its default. Nothing without a store.
    void LoadSettings(persist::Isettings* store, IentityToken* owner);
    // Writes every key from its field, with its stored type, in the fixed
    // save order. Nothing without a store.
    void SaveSettings(persist::Isettings* store, IentityToken* owner) const;

    // The 0.4 connect an incoming connection is matched against: the stored
    // text, or its default when that is empty (an empty text would begin
    // every request and make each one a link).
    std::string_view ConnectString() const;

    // Stored ("Gnutella_" keys).
    std::atomic<bool> m_ShowFirewalledResults{true};
    std::atomic<bool> m_AutoRetry{true};
    std::atomic<std::uint32_t> m_AutoRetryCount{10};
    std::atomic<std::uint16_t> m_ConnectToQuickConnect{0};
    std::atomic<std::uint16_t> m_EnableReported{0};
    std::atomic<std::uint16_t> m_LoadHostCatcher{0};
    std::atomic<std::uint32_t> m_MaxOutgoingResults{0};
    std::atomic<std::uint32_t> m_MinSearchCriteria{0};
    std::atomic<std::uint32_t> m_MaxUploadsPerIP{0};
    char m_ConnectString[settingTextSize] = {};
    char m_ConnectAck[settingTextSize] = {};
    addressField m_ReportedIP;
    std::atomic<std::uint16_t> m_ReportedPort{0};
    std::atomic<std::uint8_t> m_MaxTTLAllowed{0};
    std::atomic<std::uint16_t> m_MinResponseSpeed{0};
    std::atomic<std::uint32_t> m_MinTotalConnections{0};
    std::atomic<std::uint32_t> m_MaxOutgoing{0};
    std::atomic<std::uint32_t> m_MaxIncoming{0};
    std::atomic<std::uint32_t> m_MaxTotalConnections{0};
    std::atomic<std::uint32_t> m_MaxUploads{0};
    std::atomic<std::uint32_t> m_MaxDownloads{0};
    std::atomic<std::uint8_t> m_LocalTTL{0};
    std::atomic<std::uint32_t> m_LocalSpeed{0};
    std::atomic<std::uint32_t> m_ResultsDisplayLimit{0};
    std::atomic<std::uint16_t> m_ListenPort{0};
    std::atomic<std::uint32_t> m_MaxHostCatcher{0};
    std::atomic<std::uint32_t> m_ConnectTimeout{0};
    std::atomic<std::uint16_t> m_EnableSearchMonitor{1};

    // Not stored.
    unsigned char m_ClientGuid[16] = {};                // this node's servent identifier, new at each start
    addressField m_OwnAddress;                          // the listener's local address
    std::atomic<bool> m_Uploaded{false};                // an upload has been served
    std::atomic<bool> m_ReplaceHostCache{true};         // a full host cache gives way to new hosts
    std::atomic<std::uint32_t> m_SearchPageNumber{50};  // shown by the search page only
    std::atomic<std::uint32_t> m_SecondSearchPageNumber{20000};  // shown by the search page only
    std::atomic<std::uint32_t> m_OtherDescriptors{0};            // received descriptors of no known kind
    std::atomic<std::uint32_t> m_UploadChunkSize{0};
    std::atomic<std::uint32_t> m_PongHosts{0};  // totals of the pongs answering this node's pings
    std::atomic<std::uint32_t> m_PongFiles{0};
    std::atomic<std::uint32_t> m_PongKilobytes{0};
};

extern CGnutellaSettings g_Settings;

// How a stored value becomes a field.
enum class readRule {
    exactType,     // a value of exactly the key's type, else 0
    flagIsOne,     // true only for the key's type holding 1
    flagNonZero,   // true for the key's type holding anything but 0
    text,          // a string object's text (cut to 255); else unchanged
    dottedAddress  // a string object's dotted text as 4 bytes; else unchanged
};

using fieldRef =
    std::variant<std::atomic<bool> CGnutellaSettings::*, std::atomic<std::uint8_t> CGnutellaSettings::*,
                 std::atomic<std::uint16_t> CGnutellaSettings::*,
                 std::atomic<std::uint32_t> CGnutellaSettings::*,
                 char (CGnutellaSettings::*)[settingTextSize], addressField CGnutellaSettings::*>;

// One settings key: its name, the type it is stored (and only read back)
// with, its default and its field.
struct settingKey {
    const char* name;
    std::uint32_t type;  // a vt code; vt::cString for the texts
    unsigned long defaultNumber;
    const char* defaultText;
    readRule rule;
    fieldRef field;
};

// Every key, in the order they are written (and read).
const settingKey* SettingKeys(std::size_t* count);

// The key's default as the value handed to the store.
value DefaultValueOf(const settingKey& key);
// Takes a value read from the store into the key's field.
void TakeStoredValue(CGnutellaSettings& settings, const settingKey& key, const value& stored);
// The field as the value to store; text (addressTextSize bytes at least)
// receives the dotted address, which the value then points at.
value StoredValueOf(const CGnutellaSettings& settings, const settingKey& key, char* text);

// Start-up: the keys loaded, the upload chunk 8192, a new client GUID, the
// local speed 1000 whatever was stored. 0.
int InitSettings();

// The settings store's save hook: the keys, the quick-connect list, the host
// cache and the successful hosts into the store, so that the file written
// next holds them. True.
bool on_settings_changed();

}  // namespace vesk::gnutella
