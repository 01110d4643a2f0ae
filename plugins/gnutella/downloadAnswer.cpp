#include "plugins/gnutella/downloadAnswer.h"

#include <cctype>
#include <cstring>

#include "core/text.h"

namespace vesk::gnutella {

namespace {

// The name as peers expect it in the request line, blanks and all, but a
// control character (a line break from a peer's hit would end our request
// line early and inject header lines) goes as a percent escape.
std::string requestLineName(const char* name) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char* p = name ? name : ""; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c < 0x20 || c == 0x7F) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0xF];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace

std::string DownloadRequestText(std::uint32_t index, const char* name, std::uint32_t done) {
    std::string text = "GET /get/" + std::to_string(index) + "/" + requestLineName(name) +
                       " HTTP/1.0\r\nConnection: Keep-Alive\r\n";
    if (done > 0)
        text += "Range: bytes=" + std::to_string(done) + "-\r\n";
    return text + "\r\n";
}

bool BeginsLikeHttp(const std::string& bytes) {
    static const char prefix[] = "HTTP";
    for (std::size_t i = 0; i < 4 && i < bytes.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(bytes[i])) != prefix[i])
            return false;
    return true;
}

std::size_t AnswerHeaderLength(const std::string& bytes) {
    std::size_t end = bytes.find("\r\n\r\n");
    return end == std::string::npos ? 0 : end + 4;
}

namespace {

// The value after the header name, leading blanks skipped, up to the line
// end; npos when the name is absent.
std::size_t valueStart(const std::string& lowerHeader, const char* name) {
    std::size_t at = lowerHeader.find(name);
    if (at == std::string::npos)
        return at;
    at += std::strlen(name);
    while (at < lowerHeader.size() && (lowerHeader[at] == ' ' || lowerHeader[at] == '\t'))
        ++at;
    return at;
}

}  // namespace

std::string ClientNameFrom(const std::string& lowerHeader) {
    std::size_t from = valueStart(lowerHeader, "server:");
    if (from == std::string::npos)
        return std::string();
    std::size_t end = lowerHeader.find("\r\n", from);
    std::string name = lowerHeader.substr(from, end == std::string::npos ? std::string::npos : end - from);
    if (name.size() > 259)
        name.resize(259);
    if (!name.empty())
        name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    return name;
}

namespace {

// Decimal digits from at (moved past them); false without one. A value
// above limit reads as limit + 1.
bool readNumber(const std::string& text, std::size_t& at, std::uint64_t limit, std::uint64_t& n) {
    std::size_t first = at;
    n = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at)
        n = n > limit ? n : n * 10 + static_cast<unsigned>(text[at] - '0');
    if (n > limit)
        n = limit + 1;
    return at > first;
}

// A "content-range:" value written "bytes=<first>-<last>..." (as this
// program writes it) or "bytes <first>-<last>..." (as the HTTP standard
// does); the last byte may be missing.
struct announcedRange {
    std::uint64_t first = 0, last = 0;
    bool hasLast = false;
};
bool contentRangeOf(const std::string& lowerHeader, std::uint64_t limit, announcedRange& range) {
    std::size_t at = valueStart(lowerHeader, "content-range:");
    if (at == std::string::npos || lowerHeader.compare(at, 5, "bytes") != 0)
        return false;
    at += 5;
    if (at < lowerHeader.size() && lowerHeader[at] == '=')
        ++at;
    else if (at >= lowerHeader.size() || lowerHeader[at] != ' ')
        return false;
    while (at < lowerHeader.size() && lowerHeader[at] == ' ')
        ++at;
    if (!readNumber(lowerHeader, at, limit, range.first) || at >= lowerHeader.size() || lowerHeader[at] != '-')
        return false;
    ++at;
    range.hasLast = readNumber(lowerHeader, at, limit, range.last);
    return true;
}

// The value of a header line of that name (at the start of a line),
// leading blanks skipped; npos when there is none.
std::size_t lineValue(const std::string& lowerHeader, const char* name) {
    for (std::size_t at = lowerHeader.find(name); at != std::string::npos; at = lowerHeader.find(name, at + 1)) {
        if (at != 0 && lowerHeader[at - 1] != '\n')
            continue;
        at += std::strlen(name);
        while (at < lowerHeader.size() && (lowerHeader[at] == ' ' || lowerHeader[at] == '\t'))
            ++at;
        return at;
    }
    return std::string::npos;
}

}  // namespace

rangeStart RangeStartFrom(const std::string& lowerHeader, std::uint64_t limit, std::uint64_t& start) {
    announcedRange range;
    if (!contentRangeOf(lowerHeader, limit, range))
        return rangeStart::none;
    if (range.first > limit)
        return rangeStart::beyondLimit;
    start = range.first;
    return rangeStart::read;
}

std::uint64_t AnnouncedEnd(const std::string& lowerHeader, std::uint64_t start, std::uint64_t fileSize) {
    announcedRange range;
    if (contentRangeOf(lowerHeader, fileSize, range) && range.hasLast)
        return range.last < start ? start : std::min(range.last + 1, fileSize);
    std::size_t at = lineValue(lowerHeader, "content-length:");
    std::uint64_t length = 0;
    if (at != std::string::npos && readNumber(lowerHeader, at, fileSize, length))
        return std::min(start + length, fileSize);
    return fileSize;
}

vendorImage VendorOf(const std::string& clientName) {
    std::string name = lowerCase(clientName);
    if (name.find("bearshare") != std::string::npos)
        return vendorImage::vendor149;
    if (name.find("limewire") != std::string::npos)
        return vendorImage::vendor154;
    if (name.find("pelloran") != std::string::npos)
        return vendorImage::own;
    if (name.find("gnotella") != std::string::npos)
        return vendorImage::vendor151;
    return vendorImage::other;
}

}  // namespace vesk::gnutella
