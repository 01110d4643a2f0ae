// The host cache at run time: hosts come in from pongs, handshake refusals
// and web caches, and go out to the connection policy and the user's row
// action. The cache and its key queue change only under the host cache
// lock; the host window is called after it is let go.
#include <algorithm>
#include <mutex>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaHostCatch.h"
#include "plugins/gnutella/CGnutellaPacket.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/dialling.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/hostCache.h"
#include "plugins/gnutella/resources.h"
#include "vesk/data.h"

namespace vesk::gnutella {

namespace {

// Pong payload: port (2 bytes, little-endian), address (4), files (4),
// kilobytes (4).
namespace pong {
constexpr std::size_t port = 0;
constexpr std::size_t address = 2;
constexpr std::size_t files = 6;
constexpr std::size_t kilobytes = 10;
constexpr std::size_t hostBytes = 6;
constexpr std::size_t wholeBytes = 14;
}  // namespace pong

bool isPongWithHost(const CGnutellaPacket* packet) {
    return packet && packet->Function() == function::pong && packet->m_Payload.size() >= pong::hostBytes;
}

std::uint16_t pongPort(const CGnutellaPacket* packet) {
    const unsigned char* p = packet->m_Payload.data() + pong::port;
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

void removeRow(CGnutellaHostCatch* entry) {
    if (entry && entry->m_Row && g_Services.hostWindow)
        g_Services.hostWindow->RemoveCatch(entry->m_Row);
}

std::size_t cachedCount() {
    lockGuard hold(g_State.hostCacheLock);
    return g_HostCatcher.size();
}

bool isCached(const std::string& key) {
    lockGuard hold(g_State.hostCacheLock);
    return g_HostCatcher.count(key) != 0;
}

// Takes the entry the oldest queued key names, or the entry with the
// smallest key when no key is queued; null when that key names none any
// more (the key leaves the queue all the same). Host cache lock held.
CGnutellaHostCatch* takeOldestLocked() {
    if (g_HostCatcher.empty())
        return nullptr;
    auto found = g_HostCatchKeyQueue.empty() ? g_HostCatcher.begin() : g_HostCatcher.find(g_HostCatchKeyQueue.front());
    if (!g_HostCatchKeyQueue.empty())
        g_HostCatchKeyQueue.pop_front();
    if (found == g_HostCatcher.end())
        return nullptr;
    CGnutellaHostCatch* taken = found->second;
    g_HostCatcher.erase(found);
    return taken;
}

// The rows of a cached host: its attributes and the action that dials it.
void prepareRow(CGnutellaHostCatch* entry) {
    entry->FillRow();
    if (entry->m_Row && !entry->m_Row->HasAction(ResourceText(IDS_GNU_ACTION_CONNECT)))
        entry->m_Row->AddAction(ResourceText(IDS_GNU_ACTION_CONNECT), &connect_to_catch_host);
}

// What one batch did to the cache.
struct catchChanges {
    std::vector<CGnutellaHostCatch*> added;    // new to the cache (the cache owns those that stayed)
    std::vector<CGnutellaHostCatch*> gone;     // taken out; owned here
    std::vector<CGnutellaHostCatch*> refused;  // already cached; owned here
};

// Enters the entries in order, then gives way oldest first until the cache
// holds at most Gnutella_MaxHostCatcher. Host cache lock held.
void enterLocked(std::vector<CGnutellaHostCatch*>& entries, catchChanges& changes) {
    for (CGnutellaHostCatch* entry : entries) {
        if (g_HostCatcher.count(entry->m_Key)) {
            changes.refused.push_back(entry);
            continue;
        }
        g_HostCatcher[entry->m_Key] = entry;
        g_HostCatchKeyQueue.push_back(entry->m_Key);
        changes.added.push_back(entry);
    }
    std::size_t bound = g_Settings.m_MaxHostCatcher.load();
    while (g_HostCatcher.size() > bound)
        if (CGnutellaHostCatch* oldest = takeOldestLocked())
            changes.gone.push_back(oldest);
}

// The rows the window is to learn of: those that left (their entries are
// owned here) and those that came and stayed, each with a reference (their
// entries may go as soon as the lock is let go). A host that came and went
// in the same batch never reaches the window. Host cache lock held.
struct rowChanges {
    std::vector<ss::IAgent*> removed;
    std::vector<ss::IAgent*> shown;  // one reference each
};
rowChanges rowsToTell(const catchChanges& changes) {
    std::set<const CGnutellaHostCatch*> gone(changes.gone.begin(), changes.gone.end());
    std::set<const CGnutellaHostCatch*> added(changes.added.begin(), changes.added.end());
    rowChanges rows;
    for (const CGnutellaHostCatch* entry : changes.gone)
        if (entry->m_Row && !added.count(entry))
            rows.removed.push_back(entry->m_Row);
    for (const CGnutellaHostCatch* entry : changes.added)
        if (entry->m_Row && !gone.count(entry)) {
            entry->m_Row->addRef();
            rows.shown.push_back(entry->m_Row);
        }
    return rows;
}

}  // namespace

std::size_t CatchHosts(std::vector<CGnutellaHostCatch*> entries) {
    entries.erase(std::remove(entries.begin(), entries.end(), nullptr), entries.end());
    for (CGnutellaHostCatch* entry : entries)
        prepareRow(entry);
    catchChanges changes;
    rowChanges rows;
    {
        lockGuard hold(g_State.hostCacheLock);
        enterLocked(entries, changes);
        rows = rowsToTell(changes);
    }
    // The window learns the batch's outcome once, after the lock is let go.
    ui::IGnutellaHostDockWnd* window = g_Services.hostWindow;
    for (ss::IAgent* row : rows.removed)
        if (window)
            window->RemoveCatch(row);
    for (ss::IAgent* row : rows.shown) {
        if (window)
            window->UpdateCatch(row);
        row->release();
    }
    for (CGnutellaHostCatch* entry : changes.gone)
        delete entry;
    for (CGnutellaHostCatch* entry : changes.refused)
        delete entry;
    return changes.added.size();
}

bool CatchHost(CGnutellaHostCatch* entry) {
    return entry && CatchHosts({entry}) == 1;
}

std::size_t CatchOfferedHosts(const std::vector<hostAddress>& offered) {
    // The newest offers win: older ones would give way to them at once, so
    // no more than the cache holds are made at all.
    std::size_t room = g_Settings.m_MaxHostCatcher.load();
    std::vector<const hostAddress*> picked;
    std::set<std::string> keys;
    for (auto it = offered.rbegin(); it != offered.rend() && picked.size() < room; ++it) {
        std::string key = CGnutellaHostCatch::KeyOf(it->address.c_str(), it->port);
        if (!keys.insert(key).second || isCached(key))
            continue;
        unsigned char address[4] = {};
        CGnutellaHostCatch::AddressOf(it->address.c_str(), address);
        if (!RefusedByHostFilter(address, it->port))  // only a dotted address passes
            picked.push_back(&*it);
    }
    std::vector<CGnutellaHostCatch*> batch;
    for (auto it = picked.rbegin(); it != picked.rend(); ++it)
        if (auto* entry = new (std::nothrow) CGnutellaHostCatch((*it)->address.c_str(), (*it)->port))
            batch.push_back(entry);
    return CatchHosts(std::move(batch));
}

int AddPongHost(const CGnutellaPacket* packet) {
    if (!isPongWithHost(packet))
        return 0;
    if (RefusedByHostFilter(packet->m_Payload.data() + pong::address, pongPort(packet)))
        return 0;
    if (cachedCount() >= g_Settings.m_MaxHostCatcher) {
        CGnutellaHostCatch* oldest = PopHostCatcher();
        delete oldest;  // its row left the list with it
    }
    return AddToHostCatcher(packet);
}

int AddToHostCatcher(const CGnutellaPacket* packet) {
    if (!isPongWithHost(packet))
        return 0;
    const unsigned char* payload = packet->m_Payload.data();
    CGnutellaHostCatch* entry = new (std::nothrow) CGnutellaHostCatch(payload + pong::address, pongPort(packet));
    if (!entry)
        return 0;
    if (packet->m_Payload.size() >= pong::wholeBytes) {
        entry->m_Files = ReadLe32(payload + pong::files);
        entry->m_Kilobytes = ReadLe32(payload + pong::kilobytes);
    }
    CatchHost(entry);
    return 0;
}

CGnutellaHostCatch* PopHostCatcher() {
    CGnutellaHostCatch* taken = nullptr;
    {
        lockGuard hold(g_State.hostCacheLock);
        taken = takeOldestLocked();
    }
    removeRow(taken);
    return taken;
}

CGnutellaHostCatch* PopSuccessfulHost() {
    std::lock_guard<std::recursive_mutex> hold(g_SuccessfulHosts.guard);
    if (g_SuccessfulHosts.items.empty())
        return nullptr;
    CGnutellaHostCatch* taken = g_SuccessfulHosts.items.begin()->second;
    g_SuccessfulHosts.items.erase(g_SuccessfulHosts.items.begin());
    return taken;
}

int TrimHostCatcher() {
    CatchHosts({});
    return 0;
}

void RequestHostCacheTrim() {
    g_State.trimHostCacheRequest = 1;
}

void ServeHostCacheRequests() {
    if (g_State.trimHostCacheRequest.exchange(0))
        TrimHostCatcher();
}

bool HostCatcherEmpty() {
    return cachedCount() == 0;
}

std::vector<hostAddress> CachedHosts(std::size_t count) {
    std::vector<hostAddress> hosts;
    lockGuard hold(g_State.hostCacheLock);
    for (auto it = g_HostCatcher.begin(); it != g_HostCatcher.end() && hosts.size() < count; ++it)
        hosts.push_back(hostAddress{it->second->m_AddressText, it->second->m_Port});
    return hosts;
}

int connect_to_catch_host(ss::IAgent* row) {
    if (!row)
        return 0;
    value v = row->GetAttribute(ResourceText(IDS_GNU_FIELD_ID));
    Istring* keyText = v.code == vt::stringObject ? v.asString() : nullptr;
    if (!keyText || !keyText->c_str())
        return 0;
    std::string key = keyText->c_str();
    CGnutellaHostCatch* taken = nullptr;
    {
        lockGuard hold(g_State.hostCacheLock);
        if (g_HostCatcher.empty() || g_HostCatchKeyQueue.empty())
            return 0;
        auto found = g_HostCatcher.find(key);
        if (found != g_HostCatcher.end()) {
            taken = found->second;
            g_HostCatcher.erase(found);
        }
        auto queued = std::find(g_HostCatchKeyQueue.begin(), g_HostCatchKeyQueue.end(), key);
        if (queued != g_HostCatchKeyQueue.end())
            g_HostCatchKeyQueue.erase(queued);
    }
    if (!taken)
        return 0;
    ConnectToHost(taken->m_AddressText, taken->m_Port);
    removeRow(taken);
    delete taken;
    return 0;
}

}  // namespace vesk::gnutella
