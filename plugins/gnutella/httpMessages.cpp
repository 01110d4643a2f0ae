#include "plugins/gnutella/httpMessages.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/fixedText.h"
#include "plugins/gnutella/resources.h"
#include "vesk/net.h"

namespace vesk::gnutella {

int ParseHttpStatus(const char* text, std::uint32_t& code) {
    const char* blank = text ? std::strchr(text, ' ') : nullptr;
    if (!blank)
        return 0;
    std::string status(blank + 1, strnlen(blank + 1, 3));
    if (status == "200" || status == "206")
        return 0;
    static const char* const known[] = {"201", "202", "204", "300", "301", "302", "304", "400",
                                        "401", "403", "404", "500", "501", "502", "503"};
    for (const char* k : known)
        if (status == k)
            code = static_cast<std::uint32_t>(std::atoi(k));
    return 1;
}

namespace {

bool startsWithNoCase(const std::string& text, std::size_t at, const char* prefix) {
    std::size_t n = std::strlen(prefix);
    return text.size() >= at + n && _strnicmp(text.c_str() + at, prefix, n) == 0;
}

// The value of a header line ("Name:" at the start of a line, any case),
// one leading blank dropped. false when absent; failed when the line has no
// end.
bool headerValue(const std::string& headers, const char* name, std::string& out, bool& failed) {
    for (std::size_t at = 0; at < headers.size();) {
        std::size_t end = headers.find("\r\n", at);
        if (startsWithNoCase(headers, at, name)) {
            if (end == std::string::npos) {
                failed = true;
                return false;
            }
            std::size_t from = at + std::strlen(name);
            if (from < end && headers[from] == ' ')
                ++from;
            out = headers.substr(from, end - from);
            return true;
        }
        if (end == std::string::npos)
            break;
        at = end + 2;
    }
    return false;
}

std::int32_t number(const std::string& text) {
    long n = std::strtol(text.c_str(), nullptr, 10);
    if (n > INT32_MAX)
        return INT32_MAX;
    if (n < INT32_MIN)
        return INT32_MIN;
    return static_cast<std::int32_t>(n);
}

// Decimal digits only, within 32 bits.
bool unsigned32(const std::string& text, std::uint32_t& out) {
    if (text.empty() || text.size() > 10)
        return false;
    std::uint64_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + static_cast<unsigned>(c - '0');
    }
    if (n > UINT32_MAX)
        return false;
    out = static_cast<std::uint32_t>(n);
    return true;
}

void readRange(const std::string& range, CGnutellaHTTP& request) {
    request.rangeUnreadable = true;
    std::size_t equals = range.find('=');
    std::size_t dash = equals == std::string::npos ? std::string::npos : range.find('-', equals);
    if (dash == std::string::npos || !unsigned32(range.substr(equals + 1, dash - equals - 1), request.rangeStart))
        return;
    std::string end = range.substr(dash + 1);
    while (!end.empty() && (end.back() == ' ' || end.back() == '\t'))
        end.pop_back();
    request.hasRangeEnd = !end.empty();
    if (request.hasRangeEnd && !unsigned32(end, request.rangeEnd))
        return;
    request.rangeUnreadable = request.hasRangeEnd && request.rangeEnd < request.rangeStart;
}

}  // namespace

CGnutellaHTTP* ParseHttpRequestText(const char* bytes, std::size_t length) {
    if (!bytes)
        return nullptr;
    std::string text(bytes, strnlen(bytes, length));
    std::size_t blank = text.find(' ');
    std::size_t lineEnd = text.find("\r\n");
    if (blank == std::string::npos || lineEnd == std::string::npos || blank > lineEnd)
        return nullptr;
    std::string line = text.substr(0, lineEnd);
    std::size_t lastBlank = line.rfind(' ');
    if (!startsWithNoCase(line, lastBlank, " HTTP"))
        return nullptr;
    std::string requestLine = line.substr(0, lastBlank);
    if (requestLine.find(" /get") == std::string::npos && requestLine.find(" /uri-res") == std::string::npos)
        return nullptr;
    std::string version = line.size() > lastBlank + 6 ? line.substr(lastBlank + 6) : std::string();
    std::size_t dot = version.find('.');
    if (line.size() < lastBlank + 6 || line[lastBlank + 5] != '/' || dot == std::string::npos)
        return nullptr;

    std::unique_ptr<CGnutellaHTTP> request(new (std::nothrow) CGnutellaHTTP());
    if (!request)
        return nullptr;
    CopyText(request->method, text.substr(0, blank));
    CopyText(request->requestLine, requestLine);
    request->majorVersion = number(version.substr(0, dot));
    request->minorVersion = number(version.substr(dot + 1));

    std::string headers = text.substr(lineEnd + 2), found;
    bool failed = false;
    if (headerValue(headers, "Connection:", found, failed))
        CopyText(request->connection, found);
    if (headerValue(headers, "User-Agent:", found, failed))
        CopyText(request->userAgent, found);
    if (headerValue(headers, "Range:", found, failed))
        readRange(found, *request);
    return failed ? nullptr : request.release();
}

CGnutellaHTTP* ParseHttpRequest(net::INetDataBuffer* request) {
    if (!request || !request->data())
        return nullptr;
    return ParseHttpRequestText(reinterpret_cast<const char*>(request->data()), request->length());
}

std::string HttpErrorText(unsigned code, const char* page) {
    std::string text;
    switch (code) {
        case 301:
            text = "HTTP/1.1 301 Moved Permanently\r\n";
            break;
        case 302:
            text = "HTTP/1.1 302 Moved Temporarily\r\n";
            break;
        case 304:
            text = "HTTP/1.1 304 Not Modified\r\n";
            break;
        case 400:
        case 992:
            text = "HTTP/1.1 400 Bad Request\r\n";
            break;
        case 401:
            text = "HTTP/1.1 401 Unauthorized\r\n";
            break;
        case 403:
            text = "HTTP/1.1 403 Forbidden\r\n";
            break;
        case 404:
            text = "HTTP/1.1 404 Not Found\r\n";
            break;
        case 501:
            text = "HTTP/1.1 501 Not Implemented\r\n";
            break;
        case 502:
            text = "HTTP/1.1 502 Bad Gateway\r\n";
            break;
        case 503:
            text = "HTTP/1.1 503 Service Unavailable\r\n";
            break;
        case 416:
            text = "HTTP/1.1 416 Requested Range Not Satisfiable\r\n";
            break;
        default:
            text = "HTTP/1.1 500 Internal Server Error\r\n";
            break;
    }
    text += "Server: Pelloran v3.1.3\r\n";
    if (!page)
        return text + "\r\n";
    return text + "Content-Length: " + std::to_string(std::strlen(page)) +
           "\r\nContent-Type: text/html\r\n\r\n" + page;
}

int SendHttpError(CGnutellaHost* host, const char* page, unsigned code) {
    if (!host || !host->m_Link || host->m_Link->status() != net::status::connected)
        return -1;
    std::string text = HttpErrorText(code, page);
    host->m_Link->send(text.c_str(), static_cast<unsigned long>(text.size() + 1));
    return 0;
}

unsigned StatusTextId(std::uint32_t code) {
    switch (code) {
        case 301:
            return IDS_GNU_HTTP_301;
        case 302:
            return IDS_GNU_HTTP_302;
        case 304:
            return IDS_GNU_HTTP_304;
        case 400:
            return IDS_GNU_HTTP_400;
        case 401:
            return IDS_GNU_HTTP_401;
        case 403:
            return IDS_GNU_HTTP_403;
        case 404:
            return IDS_GNU_HTTP_404;
        case 500:
            return IDS_GNU_HTTP_500;
        case 501:
            return IDS_GNU_HTTP_501;
        case 502:
            return IDS_GNU_HTTP_502;
        case 503:
            return IDS_GNU_HTTP_503;
        case 990:
            return IDS_GNU_STATUS_990;
        case 991:
            return IDS_GNU_STATUS_991;
        case 992:
            return IDS_GNU_STATUS_992;
        case 993:
            return IDS_GNU_STATUS_993;
        case 994:
            return IDS_GNU_STATUS_994;
        case 995:
            return IDS_GNU_STATUS_995;
        case 996:
            return IDS_GNU_STATUS_996;
        case 997:
            return IDS_GNU_STATUS_997;
        case 998:
            return IDS_GNU_STATUS_998;
        case 999:
            return IDS_GNU_STATUS_STOPPED;
        default:
            return IDS_GNU_STATUS_UNKNOWN;
    }
}

const char* StatusText(std::uint32_t code) {
    return ResourceText(StatusTextId(code));
}

}  // namespace vesk::gnutella
