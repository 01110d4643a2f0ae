#include "plugins/gnutella/CGnutellaSettings.h"

#include <cstring>
#include <type_traits>

#include "plugins/gnutella/addresses.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/fixedText.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/hostCache.h"
#include "vesk/data.h"
#include "vesk/persist.h"

namespace vesk::gnutella {

CGnutellaSettings g_Settings;

namespace {

using S = CGnutellaSettings;

// In the order they are written.
const settingKey keys[] = {
    {"Gnutella_ShowFirewalledResults", vt::ucharV, 1, nullptr, readRule::flagIsOne,
     &S::m_ShowFirewalledResults},
    {"Gnutella_AutoRetry", vt::longV, 1, nullptr, readRule::flagNonZero, &S::m_AutoRetry},
    {"Gnutella_AutoRetryCount", vt::ulongV, 10, nullptr, readRule::exactType, &S::m_AutoRetryCount},
    {"Gnutella_LoadHostCatcher", vt::ushortV, 1, nullptr, readRule::exactType, &S::m_LoadHostCatcher},
    {"Gnutella_ConnectToQuickConnect", vt::ushortV, 1, nullptr, readRule::exactType,
     &S::m_ConnectToQuickConnect},
    {"Gnutella_MaxOutgoingResults", vt::ulongV, 255, nullptr, readRule::exactType, &S::m_MaxOutgoingResults},
    {"Gnutella_MinSearchCriteria", vt::ulongV, 1, nullptr, readRule::exactType, &S::m_MinSearchCriteria},
    {"Gnutella_MaxUploadsPerIP", vt::ulongV, 4, nullptr, readRule::exactType, &S::m_MaxUploadsPerIP},
    {"Gnutella_ConnectString", vt::cString, 0, defaultConnectString, readRule::text,
     &S::m_ConnectString},
    {"Gnutella_ConnectAck", vt::cString, 0, "GNUTELLA OK\n\n", readRule::text, &S::m_ConnectAck},
    {"Gnutella_EnableReported", vt::ushortV, 0, nullptr, readRule::exactType, &S::m_EnableReported},
    {"Gnutella_ReportedIP", vt::cString, 0, "0.0.0.0", readRule::dottedAddress, &S::m_ReportedIP},
    {"Gnutella_ReportedPort", vt::ushortV, 6346, nullptr, readRule::exactType, &S::m_ReportedPort},
    {"Gnutella_MaxTTLAllowed", vt::ucharV, 20, nullptr, readRule::exactType, &S::m_MaxTTLAllowed},
    {"Gnutella_MinResponseSpeed", vt::ushortV, 0, nullptr, readRule::exactType, &S::m_MinResponseSpeed},
    {"Gnutella_MinTotalConnections", vt::ulongV, 5, nullptr, readRule::exactType, &S::m_MinTotalConnections},
    {"Gnutella_MaxOutgoing", vt::ulongV, 10, nullptr, readRule::exactType, &S::m_MaxOutgoing},
    {"Gnutella_MaxIncoming", vt::ulongV, 5, nullptr, readRule::exactType, &S::m_MaxIncoming},
    {"Gnutella_MaxTotalConnections", vt::ulongV, 10, nullptr, readRule::exactType, &S::m_MaxTotalConnections},
    {"Gnutella_MaxUploads", vt::ulongV, 7, nullptr, readRule::exactType, &S::m_MaxUploads},
    {"Gnutella_MaxDownloads", vt::ulongV, 7, nullptr, readRule::exactType, &S::m_MaxDownloads},
    {"Gnutella_LocalTTL", vt::ucharV, 7, nullptr, readRule::exactType, &S::m_LocalTTL},
    {"Gnutella_LocalSpeed", vt::ulongV, 0, nullptr, readRule::exactType, &S::m_LocalSpeed},
    {"Gnutella_ResultsDisplayLimit", vt::ulongV, 500, nullptr, readRule::exactType,
     &S::m_ResultsDisplayLimit},
    {"Gnutella_ListenPort", vt::ushortV, 6346, nullptr, readRule::exactType, &S::m_ListenPort},
    {"Gnutella_MaxHostCatcher", vt::ulongV, 50, nullptr, readRule::exactType, &S::m_MaxHostCatcher},
    {"Gnutella_EnableSearchMonitor", vt::ushortV, 1, nullptr, readRule::exactType, &S::m_EnableSearchMonitor},
    {"Gnutella_ConnectTimeout", vt::ulongV, 3, nullptr, readRule::exactType, &S::m_ConnectTimeout},
};

// The payload of a number of the key's type, as an unsigned number.
unsigned long numberOf(std::uint32_t type, const value& v) {
    switch (type) {
        case vt::ucharV:
            return v.asUchar();
        case vt::ushortV:
            return v.asUshort();
        case vt::ulongV:
            return v.asUlong();
        case vt::longV:
            return static_cast<unsigned long>(v.asLong());
        default:
            return 0;
    }
}

value numberValue(std::uint32_t type, unsigned long n) {
    switch (type) {
        case vt::ucharV:
            return value(static_cast<unsigned char>(n));
        case vt::ushortV:
            return value(static_cast<unsigned short>(n));
        case vt::longV:
            return value(static_cast<long>(n));
        default:
            return value(n);
    }
}

const char* storedText(const value& v) {
    Istring* s = v.code == vt::stringObject ? v.asString() : nullptr;
    return s ? s->c_str() : nullptr;
}

// The number a key's value gives its field, by the key's rule.
unsigned long numberFor(const settingKey& key, const value& stored) {
    bool exact = stored.code == key.type;
    switch (key.rule) {
        case readRule::flagIsOne:
            return exact && numberOf(key.type, stored) == 1;
        case readRule::flagNonZero:
            return exact && numberOf(key.type, stored) != 0;
        default:
            return exact ? numberOf(key.type, stored) : 0;
    }
}

template <class T>
void setNumber(S& settings, std::atomic<T> S::*field, unsigned long n) {
    (settings.*field).store(static_cast<T>(n));
}

}  // namespace

std::string_view CGnutellaSettings::ConnectString() const {
    // Written only before the threads start: read without a lock.
    std::size_t length = strnlen(m_ConnectString, settingTextSize);
    return length ? std::string_view(m_ConnectString, length) : std::string_view(defaultConnectString);
}

const settingKey* SettingKeys(std::size_t* count) {
    if (count)
        *count = sizeof keys / sizeof keys[0];
    return keys;
}

value DefaultValueOf(const settingKey& key) {
    return key.type == vt::cString ? value(key.defaultText) : numberValue(key.type, key.defaultNumber);
}

void TakeStoredValue(S& settings, const settingKey& key, const value& stored) {
    if (auto* text = std::get_if<char(S::*)[settingTextSize]>(&key.field)) {
        // A text kept in the store may be longer than the field: it is cut.
        if (const char* t = storedText(stored))
            CopyText(settings.**text, t);
        return;
    }
    if (auto* address = std::get_if<addressField S::*>(&key.field)) {
        // Converted aside, so that a text that is no address leaves the
        // field as it was rather than half changed.
        unsigned char bytes[4] = {};
        const char* t = storedText(stored);
        if (t && *t && TextToIp(t, bytes) == 0)
            (settings.**address).Set(bytes);
        return;
    }
    unsigned long n = numberFor(key, stored);
    std::visit(
        [&](auto field) {
            using F = decltype(field);
            if constexpr (std::is_same_v<F, std::atomic<bool> S::*>)
                (settings.*field).store(n != 0);
            else if constexpr (std::is_same_v<F, std::atomic<std::uint8_t> S::*> ||
                               std::is_same_v<F, std::atomic<std::uint16_t> S::*> ||
                               std::is_same_v<F, std::atomic<std::uint32_t> S::*>)
                setNumber(settings, field, n);
        },
        key.field);
}

value StoredValueOf(const S& settings, const settingKey& key, char* text) {
    if (auto* field = std::get_if<char(S::*)[settingTextSize]>(&key.field))
        return value(static_cast<const char*>(settings.**field));
    if (auto* address = std::get_if<addressField S::*>(&key.field)) {
        unsigned char bytes[4];
        (settings.**address).Get(bytes);
        IpToText(bytes, text);
        return value(static_cast<const char*>(text));
    }
    unsigned long n = 0;
    std::visit(
        [&](auto field) {
            using F = decltype(field);
            if constexpr (std::is_same_v<F, std::atomic<bool> S::*>)
                n = (settings.*field).load() ? 1 : 0;
            else if constexpr (std::is_same_v<F, std::atomic<std::uint8_t> S::*> ||
                               std::is_same_v<F, std::atomic<std::uint16_t> S::*> ||
                               std::is_same_v<F, std::atomic<std::uint32_t> S::*>)
                n = (settings.*field).load();
        },
        key.field);
    return numberValue(key.type, n);
}

void CGnutellaSettings::LoadSettings(persist::Isettings* store, IentityToken* owner) {
    if (!store)
        return;
    for (const settingKey& key : keys)
        TakeStoredValue(*this, key, store->getValue(key.name, DefaultValueOf(key), owner));
}

void CGnutellaSettings::SaveSettings(persist::Isettings* store, IentityToken* owner) const {
    if (!store)
        return;
    for (const settingKey& key : keys) {
        char text[addressTextSize] = {};
        store->setValue(key.name, StoredValueOf(*this, key, text), owner);
    }
}

int InitSettings() {
    g_Settings.LoadSettings(g_Services.settings, g_State.token);
    g_Settings.m_UploadChunkSize = 8192;
    NewMessageGuid(g_Settings.m_ClientGuid);
    g_Settings.m_LocalSpeed = 1000;
    return 0;
}

bool on_settings_changed() {
    g_Settings.SaveSettings(g_Services.settings, g_State.token);
    SaveQuickConnect();
    // Kept here as well as at unload: the store writes its file right after
    // its save hooks, and long before the module unloads.
    SaveHostCatcher();
    SaveSuccessfulHosts();
    return true;
}

}  // namespace vesk::gnutella
