// The web-cache client: the list of web caches (built in, from the file
// "gcache", and learned from the caches themselves), the exchanges under
// way, and the file the usable caches are kept in between runs.
//
// The connection policy asks for hosts on the listener thread; the active
// host thread steps the exchanges. One lock of the client keeps them apart
// (taken before the host cache lock; the GUI thread never takes it).
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "plugins/gnutella/CGWebConn.h"
#include "plugins/gnutella/CGWebHost.h"

namespace vesk::gnutella {

// An exchange gets its answer within this time or is dropped unread.
constexpr std::uint32_t webExchangeTimeoutMs = 2000;
// Most web caches the list holds (twice the URL limit): caches that list
// thousands of others cannot grow it further.
constexpr std::size_t webCacheListLimit = 200;

class CGWebCache {
public:
    // Seeds the random choice, adds the built-in caches, then those of the
    // file "gcache" in the folder.
    CGWebCache(const std::vector<std::string>& builtIn, const std::string& folder);
    // Drops the exchanges still open and frees every entry (the file is
    // written by SaveCacheFile, at unload).
    virtual ~CGWebCache();
    CGWebCache(const CGWebCache&) = delete;
    CGWebCache& operator=(const CGWebCache&) = delete;

    // Asks one cache, picked at random among those that never failed, for
    // hosts, and while fewer than the URL limit are usable, for more cache
    // URLs too. Nothing while more than 5 exchanges are open.
    void RequestHosts();
    // Steps every open exchange in the order they began; ends at most one
    // (answered, or older than webExchangeTimeoutMs). 0 when none is open,
    // else 1.
    int PollConnections();
    // Closes and destroys every open exchange, unread.
    void EndExchanges();

    // Reads the white-space separated URLs of "gcache" into the list (a
    // leading "http://" dropped). -1 when the file cannot be opened, else 0.
    int LoadCacheFile();
    // Writes the URLs of the caches that never failed, most new hosts
    // first, then fewest failures, at most 101, each followed by "\r\n"
    // through a text-mode stream. -1 when the file cannot be opened.
    int SaveCacheFile();

    // Adds a cache under the URL unless the list has it or holds
    // webCacheListLimit caches already; the URL of an entry it has becomes
    // the URL.
    void AddURL(const std::string& url);
    // Starts one exchange with the cache: dials it and hands the request to
    // the connection at once (sent once it is up).
    void SendRequest(CGWebHost& host, const std::string& request);

    std::mutex m_Lock;
    std::map<std::string, CGWebHost> m_Hosts;  // by URL; never shrinks while running, at most webCacheListLimit
    std::uint32_t m_UrlLimit = 100;
    std::map<std::uint32_t, CGWebConn*> m_Connections;  // open exchanges by id; owned
    std::string m_FilePath;                            // the folder and "\gcache"
};

// The module's client, built when the module is loaded (module.cpp); null
// in programs that do not load the module.
extern CGWebCache* g_WebCache;

// The built-in caches of the shipped module (a file of their own, so that
// test builds carry none and can never dial them).
std::vector<std::string> BuiltInWebCaches();

// The connection policy's last resort: RequestHosts of the client. 0.
int RequestWebCacheHosts();
// The active host thread's step: PollConnections of the client. 0.
int WebCacheStep();
// At unload, once the threads have stopped: ends the open exchanges and
// writes "gcache". 0.
int CloseWebCacheClient();

}  // namespace vesk::gnutella
