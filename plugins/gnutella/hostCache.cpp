#include "plugins/gnutella/hostCache.h"

#include <cstring>
#include <new>
#include <set>
#include <vector>

#include "core/text.h"
#include "plugins/gnutella/CGnutellaHostCatch.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/addresses.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "vesk/data.h"

namespace vesk::gnutella {

catchMap g_HostCatcher;
std::list<std::string> g_HostCatchKeyQueue;
guardedList<catchMap> g_SuccessfulHosts;
catchMap g_QuickConnect;

namespace {

// The stored keys. "Entires" is the spelling files already hold; the
// successful-host items keep the port under "ItemIP" and the address under
// "ItemPort", as they always have been written.
namespace key {
constexpr const char* cacheCount = "Gnutella_HostCatchEntires";
constexpr const char* cachePort = "Gnutella_HostCatchItemPort";
constexpr const char* cacheAddress = "Gnutella_HostCatchItemIP";
constexpr const char* cacheKilobytes = "Gnutella_HostCatchItemKB";
constexpr const char* cacheFiles = "Gnutella_HostCatchItemFiles";
constexpr const char* successfulCount = "Gnutella_SuccessfulEntires";
constexpr const char* successfulPort = "Gnutella_SuccessfulItemIP";
constexpr const char* successfulAddress = "Gnutella_SuccessfulItemPort";
constexpr const char* quickCount = "Gnutella_QuickConnectEntries";
constexpr const char* quickPort = "Gnutella_QuickConnectItemPort";
constexpr const char* quickAddress = "Gnutella_QuickConnectItemIP";
}  // namespace key

std::string item(const char* name, std::uint32_t i) {
    return name + std::to_string(i);
}

void store(const std::string& name, const value& v) {
    g_Services.settings->setValue(name.c_str(), v, g_State.token);
}

// A count key; another type counts as 0, and no more than the limit.
std::uint32_t storedCount(const char* name) {
    value v = g_Services.settings->getValue(name, value(0UL), g_State.token);
    std::uint32_t n = v.code == vt::ulongV ? v.asUlong() : 0;
    return n < storedHostLimit ? n : storedHostLimit;
}

// An item key's number (0 when absent or of another type), taken out of the
// store. Read with an empty default, so that an absent key is not stored
// first only to be removed.
unsigned long takeNumber(const std::string& name, std::uint32_t type) {
    value v = g_Services.settings->getValue(name.c_str(), value(), g_State.token);
    unsigned long n = v.code != type ? 0 : type == vt::ushortV ? v.asUshort() : v.asUlong();
    g_Services.settings->removeValue(name.c_str(), g_State.token);
    return n;
}

// An item key's text; empty when absent or not a text (left in the store).
std::string storedText(const std::string& name) {
    value v = g_Services.settings->getValue(name.c_str(), value(), g_State.token);
    return textOrEmpty(v.code == vt::stringObject ? v.asString() : nullptr);
}

// One host-cache item as the store held it.
struct storedHost {
    std::string addressKey;  // its address key, taken out once the item is used
    std::string text;
    std::uint16_t port = 0;
    unsigned long kilobytes = 0;
    unsigned long files = 0;
};

// Saves a list's count and items; called with the list's lock held.
void saveList(const catchMap& list, const char* countKey, const char* portKey, const char* addressKey,
              bool withShares) {
    store(countKey, value(static_cast<unsigned long>(list.size())));
    std::uint32_t i = 1;
    for (const auto& entry : list) {
        const CGnutellaHostCatch& host = *entry.second;
        store(item(portKey, i), value(static_cast<unsigned short>(host.m_Port)));
        store(item(addressKey, i), value(static_cast<const char*>(host.m_AddressText)));
        if (withShares) {
            store(item(key::cacheKilobytes, i), value(static_cast<unsigned long>(host.m_Kilobytes)));
            store(item(key::cacheFiles, i), value(static_cast<unsigned long>(host.m_Files)));
        }
        ++i;
    }
}

}  // namespace

bool IsRefusedHost(const unsigned char* a, std::uint16_t port, const unsigned char* own,
                   std::uint16_t listenPort, bool enableReported) {
    if (!a)
        return true;
    if (a[0] == 0 || a[3] == 0 || a[0] == 127 || a[0] > 223 || a[1] == 255 || a[2] == 255 || a[3] == 255)
        return true;
    if (own && std::memcmp(a, own, 4) == 0 && port == listenPort)
        return true;
    return own && IsPrivateAddress(own) && !enableReported && IsPrivateAddress(a);
}

bool RefusedByHostFilter(const unsigned char* address, std::uint16_t port) {
    unsigned char own[4];
    g_Settings.m_OwnAddress.Get(own);
    return IsRefusedHost(address, port, own, g_Settings.m_ListenPort, g_Settings.m_EnableReported != 0);
}

int SaveHostCatcher() {
    if (!g_Services.settings || !g_State.hostListsRead)
        return 0;
    lockGuard hold(g_State.hostCacheLock);
    saveList(g_HostCatcher, key::cacheCount, key::cachePort, key::cacheAddress, true);
    return 0;
}

int SaveSuccessfulHosts() {
    if (!g_Services.settings || !g_State.hostListsRead)
        return 0;
    std::lock_guard<std::recursive_mutex> hold(g_SuccessfulHosts.guard);
    saveList(g_SuccessfulHosts.items, key::successfulCount, key::successfulPort, key::successfulAddress,
             false);
    return 0;
}

int SaveQuickConnect() {
    if (!g_Services.settings)
        return 0;
    lockGuard hold(g_State.quickConnectLock);
    saveList(g_QuickConnect, key::quickCount, key::quickPort, key::quickAddress, false);
    return 0;
}

int LoadHostCatcher() {
    if (!g_Services.settings)
        return 0;
    std::vector<storedHost> stored;
    std::uint32_t n = storedCount(key::cacheCount);
    for (std::uint32_t i = 1; i <= n; ++i) {
        storedHost host;
        host.kilobytes = takeNumber(item(key::cacheKilobytes, i), vt::ulongV);
        host.files = takeNumber(item(key::cacheFiles, i), vt::ulongV);
        host.port = static_cast<std::uint16_t>(takeNumber(item(key::cachePort, i), vt::ushortV));
        host.addressKey = item(key::cacheAddress, i);
        host.text = storedText(host.addressKey);
        if (host.text.empty())
            g_Services.settings->removeValue(host.addressKey.c_str(), g_State.token);
        else
            stored.push_back(std::move(host));
    }
    // A refused or repeated host's address key stays in the store.
    std::vector<const storedHost*> passed;
    std::set<std::string> keys;
    for (const storedHost& host : stored) {
        unsigned char address[4] = {};
        CGnutellaHostCatch::AddressOf(host.text.c_str(), address);
        if (!RefusedByHostFilter(address, host.port) &&
            keys.insert(CGnutellaHostCatch::KeyOf(host.text.c_str(), host.port)).second)
            passed.push_back(&host);
    }
    // The older items would give way to the newer at once: only the newest
    // that fit the cache are made.
    std::size_t bound = g_Settings.m_MaxHostCatcher.load();
    std::size_t first = passed.size() > bound ? passed.size() - bound : 0;
    std::vector<CGnutellaHostCatch*> batch;
    for (std::size_t i = 0; i < passed.size(); ++i) {
        const storedHost& host = *passed[i];
        g_Services.settings->removeValue(host.addressKey.c_str(), g_State.token);
        CGnutellaHostCatch* entry =
            i < first ? nullptr : new (std::nothrow) CGnutellaHostCatch(host.text.c_str(), host.port);
        if (!entry)
            continue;
        entry->m_Kilobytes = host.kilobytes;
        entry->m_Files = host.files;
        batch.push_back(entry);
    }
    CatchHosts(std::move(batch));
    return 0;
}

int LoadSuccessfulHosts() {
    if (!g_Services.settings)
        return 0;
    std::uint32_t n = storedCount(key::successfulCount);
    for (std::uint32_t i = 1; i <= n; ++i) {
        unsigned long port = takeNumber(item(key::successfulPort, i), vt::ushortV);
        std::string addressKey = item(key::successfulAddress, i);
        std::string text = storedText(addressKey);
        if (!text.empty()) {
            CGnutellaHostCatch* entry =
                new (std::nothrow) CGnutellaHostCatch(text.c_str(), static_cast<std::uint16_t>(port));
            if (!entry)
                continue;
            std::lock_guard<std::recursive_mutex> hold(g_SuccessfulHosts.guard);
            if (g_SuccessfulHosts.items.count(entry->m_Key)) {
                // A list this module wrote names each host once: the rest is damaged.
                delete entry;
                return 0;
            }
            g_SuccessfulHosts.items[entry->m_Key] = entry;
        }
        g_Services.settings->removeValue(addressKey.c_str(), g_State.token);
    }
    return 0;
}

int ClearHostCatcher() {
    std::vector<CGnutellaHostCatch*> gone;
    {
        lockGuard hold(g_State.hostCacheLock);
        for (auto& entry : g_HostCatcher)
            gone.push_back(entry.second);
        g_HostCatcher.clear();
    }
    if (g_Services.hostWindow)
        g_Services.hostWindow->ClearCatch();
    for (CGnutellaHostCatch* entry : gone)
        delete entry;
    return 0;
}

int ClearSuccessfulHosts() {
    std::vector<CGnutellaHostCatch*> gone;
    {
        std::lock_guard<std::recursive_mutex> hold(g_SuccessfulHosts.guard);
        for (auto& entry : g_SuccessfulHosts.items)
            gone.push_back(entry.second);
        g_SuccessfulHosts.items.clear();
    }
    for (CGnutellaHostCatch* entry : gone)
        delete entry;
    return 0;
}

}  // namespace vesk::gnutella
