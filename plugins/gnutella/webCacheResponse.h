// What a web cache answered, read without acting on it: whether the answer
// counts as the cache's failure, where a redirect points, and the web-cache
// URLs and host addresses its body lists. No state, no I/O.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "plugins/gnutella/addresses.h"

namespace vesk::gnutella {

// URLs, body lines and words of "gcache" longer than this are skipped.
constexpr std::size_t webCacheTextLimit = 259;

struct webCacheAnswer {
    bool failed = false;         // a "302 Found" or "404 " page, or an HTTP status other than 200
    bool redirected = false;     // a 302 page that named its new place
    std::string redirect;        // that place, without "http://"
    std::vector<std::string> urls;        // further web caches, without "http://"
    std::vector<hostAddress> hosts;       // public dotted hosts
};

// Reads one whole answer. A text holding "<" is an HTML page: "302 Found"
// fails the cache and names the text between the first HREF=" and the
// next "?" as its new place (none when IsRefusedCacheUrl); "404 " fails it. A text beginning with
// "HTTP/" (any case) fails the cache unless its status is 200, and its body
// starts after the first blank line (none: nothing is read). Any other
// text is all body. Body lines end at "\n" (an unended last line is not
// read): "http://" (any case) and the rest names a web cache (a carriage
// return at its end dropped; skipped when IsRefusedCacheUrl); any other
// line with a ":" names a host,
// kept when its address part is a non-empty address text that is not
// private (its port as atoi reads the rest).
webCacheAnswer ReadWebCacheAnswer(std::string_view text);

// Removes a leading "http://" in any case; true when there was one.
bool StripHttpPrefix(std::string& text);

// Whether a web cache an answer names (its URL without "http://") must not
// be taken: a host that is empty, an IPv6 literal, "localhost", a dotted
// address in 0/8, 127/8 or from 224 up (unspecified, loopback, multicast
// and reserved), or a number in another form (such as "127.1"); or a port
// that is empty, 0, above 65535 or not decimal. A cache cannot send the
// client to itself or to the network's own addresses this way.
bool IsRefusedCacheUrl(std::string_view url);

}  // namespace vesk::gnutella
