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
// next "?" as its new place; "404 " fails it. A text beginning with
// "HTTP/" (any case) fails the cache unless its status is 200, and its body
// starts after the first blank line (none: nothing is read). Any other
// text is all body. Body lines end at "\n" (an unended last line is not
// read): "http://" (any case) and the rest names a web cache (a carriage
// return at its end dropped); any other line with a ":" names a host,
// kept when its address part is a non-empty address text that is not
// private (its port as atoi reads the rest).
webCacheAnswer ReadWebCacheAnswer(std::string_view text);

// Removes a leading "http://" in any case; true when there was one.
bool StripHttpPrefix(std::string& text);

}  // namespace vesk::gnutella
