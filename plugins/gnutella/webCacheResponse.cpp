#include "plugins/gnutella/webCacheResponse.h"

#include <algorithm>
#include <cctype>

#include "core/dottedAddress.h"
#include "core/text.h"
#include "plugins/gnutella/addresses.h"
#include "plugins/gnutella/handshakeText.h"

namespace vesk::gnutella {

namespace {

constexpr std::string_view httpPrefix = "http://";

void readHtmlPage(std::string_view text, webCacheAnswer& answer) {
    if (text.find("302 Found") != std::string_view::npos) {
        answer.failed = true;
        std::size_t mark = text.find("HREF=\"");
        if (mark == std::string_view::npos)
            return;
        std::size_t from = mark + 6;
        std::size_t end = text.find('?', from);
        if (end == std::string_view::npos)
            return;
        std::string place(text.substr(from, end - from));
        StripHttpPrefix(place);
        if (place.size() > webCacheTextLimit || IsRefusedCacheUrl(place))
            return;
        answer.redirected = true;
        answer.redirect = place;
    } else if (text.find("404 ") != std::string_view::npos) {
        answer.failed = true;
    }
}

void readLine(std::string_view line, webCacheAnswer& answer) {
    if (line.size() > webCacheTextLimit)
        return;
    if (StartsWithNoCase(line, httpPrefix)) {
        std::string_view url = line.substr(httpPrefix.size());
        if (!url.empty() && url.back() == '\r')
            url.remove_suffix(1);
        if (!url.empty() && !IsRefusedCacheUrl(url))
            answer.urls.emplace_back(url);
        return;
    }
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return;
    std::string address(line.substr(0, colon));
    if (!IsAddressText(address.c_str()) || IsPrivateAddressText(address.c_str()))
        return;
    std::string_view port = line.substr(colon + 1);
    answer.hosts.push_back(
        hostAddress{address, static_cast<std::uint16_t>(DecimalValue(port.data(), port.data() + port.size()))});
}

bool isDecimal(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Digits, dots and hexadecimal letters with at least one digit: what the
// platform's name lookup may read as an address ("127.1", "0x7f000001").
bool looksNumeric(std::string_view host) {
    bool digit = false;
    for (char c : host) {
        digit = digit || (c >= '0' && c <= '9');
        if (!std::isxdigit(static_cast<unsigned char>(c)) && c != '.' && c != 'x')
            return false;
    }
    return digit;
}

bool isRefusedHost(std::string host) {
    host = lowerCase(host);
    if (!host.empty() && host.back() == '.')
        host.pop_back();
    if (host.empty() || host[0] == '[')
        return true;
    constexpr std::string_view local = "localhost", localDomain = ".localhost";
    if (host == local || (host.size() > localDomain.size() &&
                          host.compare(host.size() - localDomain.size(), localDomain.size(), localDomain) == 0))
        return true;
    if (!looksNumeric(host))
        return false;
    std::uint32_t address = 0;  // host order: the first part in the top byte
    if (!parseDottedIpv4(host.c_str(), &address))
        return true;
    unsigned first = address >> 24;
    return first == 0 || first == 127 || first >= 224;
}

}  // namespace

bool IsRefusedCacheUrl(std::string_view url) {
    std::string_view authority = url.substr(0, url.find('/'));
    std::size_t colon = authority.find(':');
    if (colon != std::string_view::npos) {
        std::string_view port = authority.substr(colon + 1);
        if (!isDecimal(port) || port.size() > 5)
            return true;
        unsigned value = DecimalValue(port.data(), port.data() + port.size());
        if (value == 0 || value > 65535)
            return true;
    }
    return isRefusedHost(std::string(authority.substr(0, colon)));
}

bool StripHttpPrefix(std::string& text) {
    if (!StartsWithNoCase(text, httpPrefix))
        return false;
    text.erase(0, httpPrefix.size());
    return true;
}

webCacheAnswer ReadWebCacheAnswer(std::string_view text) {
    webCacheAnswer answer;
    if (text.find('<') != std::string_view::npos) {
        readHtmlPage(text, answer);
        return answer;
    }
    std::string_view body = text;
    if (StartsWithNoCase(text, "HTTP/")) {
        std::size_t blank = text.find(' ');
        if (blank == std::string_view::npos || text.substr(blank + 1, 3) != "200") {
            answer.failed = true;
            return answer;
        }
        std::size_t head = text.find("\r\n\r\n");
        if (head == std::string_view::npos)
            return answer;
        body = text.substr(head + 4);
    }
    for (std::size_t at = 0, end; (end = body.find('\n', at)) != std::string_view::npos; at = end + 1)
        readLine(body.substr(at, end - at), answer);
    return answer;
}

}  // namespace vesk::gnutella
