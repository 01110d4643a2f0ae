// The host cache at run time: hosts come in from pongs, handshake refusals
// and web caches, and go out to the connection policy and the user's row
// action. The cache and its key queue change only under the host cache
// lock; the host window is called after it is let go.
#include <algorithm>
#include <mutex>
#include <new>

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

}  // namespace

bool CatchHost(CGnutellaHostCatch* entry) {
    if (!entry)
        return false;
    entry->FillRow();
    if (entry->m_Row)
        entry->m_Row->AddAction(ResourceText(IDS_GNU_ACTION_CONNECT), &connect_to_catch_host);
    ss::IAgent* shown = nullptr;  // held across the window call: the entry may go meanwhile
    {
        lockGuard hold(g_State.hostCacheLock);
        if (!g_HostCatcher.count(entry->m_Key)) {
            g_HostCatcher[entry->m_Key] = entry;
            g_HostCatchKeyQueue.push_back(entry->m_Key);
            shown = entry->m_Row;
            if (shown)
                shown->addRef();
            entry = nullptr;
        }
    }
    if (entry) {
        delete entry;
        return false;
    }
    if (shown) {
        if (g_Services.hostWindow)
            g_Services.hostWindow->UpdateCatch(shown);
        shown->release();
    }
    return true;
}

bool CatchOfferedHost(const char* addressText, std::uint16_t port) {
    CGnutellaHostCatch* entry = new (std::nothrow) CGnutellaHostCatch(addressText, port);
    if (!entry)
        return false;
    if (RefusedByHostFilter(entry->m_Address, entry->m_Port)) {
        delete entry;
        return false;
    }
    return CatchHost(entry);
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
        if (g_HostCatcher.empty())
            return nullptr;
        auto found = g_HostCatchKeyQueue.empty() ? g_HostCatcher.begin()
                                                 : g_HostCatcher.find(g_HostCatchKeyQueue.front());
        if (!g_HostCatchKeyQueue.empty())
            g_HostCatchKeyQueue.pop_front();
        if (found != g_HostCatcher.end()) {
            taken = found->second;
            g_HostCatcher.erase(found);
        }
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
    // A key that names no entry any more still leaves the queue: the loop
    // ends once the queue is empty and the smallest keys go.
    while (cachedCount() > g_Settings.m_MaxHostCatcher.load()) {
        CGnutellaHostCatch* oldest = PopHostCatcher();
        delete oldest;  // its row left the list with it
    }
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
