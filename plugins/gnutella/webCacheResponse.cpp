#include "plugins/gnutella/webCacheResponse.h"

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
        if (place.size() > webCacheTextLimit)
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
        if (!url.empty())
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

}  // namespace

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
