// One web cache: its URL (without "http://"), the host, port and path that
// URL names, and how it served this run: its failures (a cache that failed
// once is never asked again and not saved) and the new hosts it gave.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vesk::gnutella {

class CGWebCache;

class CGWebHost {
public:
    CGWebHost() = default;
    explicit CGWebHost(std::string url) : m_URL(std::move(url)) {}
    virtual ~CGWebHost() = default;
    CGWebHost(const CGWebHost&) = default;
    CGWebHost& operator=(const CGWebHost&) = default;

    // Host (before any ":port"), port (80 when none) and path (from the
    // first "/") from the URL. 0, all left as they were, when the URL has
    // no "/"; else 1.
    int SplitURL();

    // "GET " + path + query + "\r\n\r\n": no HTTP version, no headers. Empty
    // when the URL names no path or the path is longer than 240 characters.
    std::string RequestText(const char* query);

    // Acts on one whole answer of this cache (webCacheResponse.h): counts
    // its failure, follows its redirect (the URL changes, not the list
    // key), adds the web caches it lists to the list and its hosts to the
    // host cache, counting those that were new.
    void ParseResponse(CGWebCache& list, std::string_view response);

    std::string m_URL;  // the list key when made; a redirect changes only this
    std::string m_Host;
    int m_Port = 80;
    std::string m_Path;
    std::uint32_t m_Failures = 0;
    std::uint32_t m_NewHosts = 0;  // not kept between runs
};

}  // namespace vesk::gnutella
