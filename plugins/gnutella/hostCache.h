// The hosts the module keeps between runs: the host cache (with the order
// in which its keys came), the hosts to which a link once succeeded and the
// user's quick-connect list, and how each is saved to and loaded from the
// settings store.
//
// The host cache is guarded by the host cache lock, the quick-connect list
// by the quick-connect lock (spin locks: not re-entrant, and never both at
// once). The host window is called only after the lock is let go.
#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <vector>

#include "plugins/gnutella/addresses.h"
#include "plugins/gnutella/moduleLists.h"

namespace vesk::gnutella {

class CGnutellaHostCatch;
class CGnutellaPacket;

using catchMap = std::map<std::string, CGnutellaHostCatch*>;  // by key text, byte order; owns

extern catchMap g_HostCatcher;                      // host cache lock
extern std::list<std::string> g_HostCatchKeyQueue;  // host cache lock; oldest first
extern guardedList<catchMap> g_SuccessfulHosts;
extern catchMap g_QuickConnect;  // quick-connect lock

// Most items of one list read back from the store; a count beyond it is a
// damaged file, not a list this module wrote.
constexpr std::uint32_t storedHostLimit = 10000;

// The host filter: true when a host must not be kept or dialled: an address
// starting or ending in 0, loopback, above 223 or with a 255 part; this
// node itself (its address and listen port); a private host seen from a
// private node that reports no address of its own.
bool IsRefusedHost(const unsigned char* address, std::uint16_t port, const unsigned char* ownAddress,
                   std::uint16_t listenPort, bool enableReported);

// The host filter with this node's address, listen port and reporting
// setting.
bool RefusedByHostFilter(const unsigned char* address, std::uint16_t port);

// Writes the list's count and, in key order, each entry's keys. 0.
int SaveHostCatcher();
int SaveSuccessfulHosts();
int SaveQuickConnect();

// Reads the list back (taking the item keys out of the store); entries the
// host filter refuses are skipped. The host cache keeps the last
// Gnutella_MaxHostCatcher of the items that pass, as one batch (their rows
// shown in the host window). 0.
int LoadHostCatcher();
int LoadSuccessfulHosts();

// Empties the host cache and its list window (the key queue stays). 0.
int ClearHostCatcher();
// Empties the successful-host list. 0.
int ClearSuccessfulHosts();

// The host cache at run time (hostCatcher.cpp).

// Every way into the host cache goes through CatchHosts, which keeps the
// cache within Gnutella_MaxHostCatcher, the oldest queued host giving way
// first, and tells the host window once per batch, after the lock is let
// go: the rows that left, then those that came and stayed.

// Enters the entries (taken over) in order under their keys, with their
// rows' attributes and connect action, queuing their keys; an entry whose
// key is cached already is destroyed. The number that were new.
std::size_t CatchHosts(std::vector<CGnutellaHostCatch*> entries);
// CatchHosts of one entry; true when it was new.
bool CatchHost(CGnutellaHostCatch* entry);
// Hosts a peer offered by their address texts (an X-Try list, a web
// cache's answer), oldest first: those the host filter refuses (only a
// dotted address passes) or the cache holds are skipped, and only the
// newest that fit the cache are made. The number new to the cache.
std::size_t CatchOfferedHosts(const std::vector<hostAddress>& offered);

// Offers the host of a pong to the host cache: refused by the host filter,
// or cached after the oldest entry gave way when the cache is full. 0.
int AddPongHost(const CGnutellaPacket* packet);
// Caches the host of a pong (its address, port, files and kilobytes)
// without the filter. 0.
int AddToHostCatcher(const CGnutellaPacket* packet);

// Takes the entry of the oldest queued key out of the cache (null when that
// key names no entry any more: the key is dropped all the same), or the
// entry with the smallest key when the queue is empty; its row leaves the
// list. The caller owns the entry.
CGnutellaHostCatch* PopHostCatcher();
// Takes the entry with the smallest key out of the successful hosts; the
// caller owns it. Null when there is none.
CGnutellaHostCatch* PopSuccessfulHost();
bool HostCatcherEmpty();

// Drops the oldest entries (by the key queue) until the cache holds at most
// Gnutella_MaxHostCatcher (after the setting was lowered); their rows
// leave the list. 0.
int TrimHostCatcher();
// The host window's request (any thread): the active host thread trims the
// cache at its next turn, in ServeHostCacheRequests.
void RequestHostCacheTrim();
void ServeHostCacheRequests();

// Up to count cached hosts, in key order.
std::vector<hostAddress> CachedHosts(std::size_t count);

// The row action of a cached host (GUI thread): the host leaves the cache
// and is dialled; its key leaves the queue. 0.
int connect_to_catch_host(ss::IAgent* row);

}  // namespace vesk::gnutella
