#include "plugins/gnutella/handshakeText.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "plugins/gnutella/addresses.h"

namespace vesk::gnutella {

namespace {

constexpr std::string_view lineEnd = "\r\n";

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::uint32_t decimal(std::string_view text) {
    return DecimalValue(text.data(), text.data() + text.size());
}

// "major.minor\r\n" at the start of text: the numbers up to the first dot
// and from it to the next line end. False without them or when a number's
// text is over-long.
bool readVersion(std::string_view text, protocolVersion& out) {
    std::size_t dot = text.find('.');
    if (dot == std::string_view::npos)
        return false;
    std::size_t end = text.find(lineEnd, dot + 1);
    if (end == std::string_view::npos)
        return false;
    std::string_view major = text.substr(0, dot), minor = text.substr(dot + 1, end - dot - 1);
    if (major.size() > versionTextLimit || minor.size() > versionTextLimit)
        return false;
    out.major = decimal(major);
    out.minor = decimal(minor);
    return true;
}

// A "GNUTELLA/0.6" status line (in any case) whose code is 200 ("2000"
// is no 200).
bool hasCode200(std::string_view text) {
    std::size_t behindCode = std::strlen(handshakeText::acceptance);
    if (!StartsWithNoCase(text, handshakeText::acceptance))
        return false;
    return text.size() == behindCode || !std::isdigit(static_cast<unsigned char>(text[behindCode]));
}

}  // namespace

std::string_view ReceivedText(const unsigned char* bytes, std::size_t length) {
    if (!bytes)
        return {};
    const void* zero = std::memchr(bytes, 0, length);
    std::size_t used = zero ? static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - bytes) : length;
    return std::string_view(reinterpret_cast<const char*>(bytes), used);
}

std::size_t HandshakeMessageEnd(const unsigned char* bytes, std::size_t length) {
    for (std::size_t i = 0; bytes && i + 1 < length; ++i) {
        if (bytes[i] != '\n')
            continue;
        if (bytes[i + 1] == '\n')
            return i + 2;
        if (bytes[i + 1] == '\r' && i + 2 < length && bytes[i + 2] == '\n')
            return i + 3;
    }
    return 0;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (lower(text[i]) != lower(prefix[i]))
            return false;
    return true;
}

bool LinesWithinLimit(std::string_view text) {
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find('\n', from);
        std::size_t length = (end == std::string_view::npos ? text.size() : end) - from;
        if (length > 0 && text[from + length - 1] == '\r')
            --length;
        if (length > handshakeLineLimit)
            return false;
        if (length == 0 || end == std::string_view::npos)
            return true;  // the blank line ends the handshake
        from = end + 1;
    }
    return true;
}

connectAnswer ReadConnectAnswer(std::string_view text) {
    if (!StartsWith(text, handshakeText::answerPrefix))
        return connectAnswer::noHandshake;
    return hasCode200(text) ? connectAnswer::accepted : connectAnswer::refused;
}

bool ParseConnect06(std::string_view text, std::size_t userAgentLimit, connectRequest& out) {
    std::size_t prefix = std::strlen(handshakeText::connectPrefix);
    if (!StartsWithNoCase(text, handshakeText::connectPrefix) || !LinesWithinLimit(text))
        return false;
    std::string_view after = text.substr(prefix);
    if (after.find("\r\n\r\n") == std::string_view::npos || !readVersion(after, out.version))
        return false;
    std::size_t agent = after.find("User-Agent:", after.find('.') + 1);
    if (agent == std::string_view::npos)
        return true;
    std::size_t from = agent + std::strlen("User-Agent:");
    while (from < after.size() && after[from] == ' ')
        ++from;
    std::size_t end = after.find(lineEnd, from);
    if (end != std::string_view::npos) {
        out.hasUserAgent = true;
        out.userAgent = std::string(after.substr(from, std::min(end - from, userAgentLimit)));
    }
    return true;
}

protocolVersion AnswerVersion(protocolVersion peer) {
    if (peer.major > 0 || peer.minor > 6)
        return protocolVersion{0, 6};
    return peer;
}

std::string Answer06(protocolVersion version, bool busy, const char* remoteAddress,
                     const std::vector<hostAddress>& offered) {
    std::string answer = "GNUTELLA/" + std::to_string(version.major) + "." + std::to_string(version.minor);
    answer += busy ? " 503 BUSY\r\n" : " 200 OK\r\n";
    answer += "User-Agent: Pelloran v3.1.3\r\n";
    answer += "Pong-Caching: 0.1\r\n";
    answer += "Hops-Flow: 1.0\r\n";
    answer += std::string("Remote-IP: ") + (remoteAddress ? remoteAddress : "") + "\r\n";
    if (busy && !offered.empty()) {
        answer += "X-Try: ";
        for (const hostAddress& host : offered)
            answer += host.address + ":" + std::to_string(host.port) + ",";
        answer += "\r\n";
    }
    return answer + "\r\n";
}

std::vector<hostAddress> ParseXTry(std::string_view text) {
    std::vector<hostAddress> hosts;
    std::size_t header = text.find("X-Try:");
    if (header == std::string_view::npos)
        return hosts;
    std::size_t end = std::min(text.find_first_of("\r\n", header), text.size());
    std::size_t start = header + 7;  // the name, its colon and the blank after it
    if (end - header > handshakeLineLimit || start > end)
        return hosts;
    std::string_view list = text.substr(start, end - start);
    for (std::size_t at = 0, comma; (comma = list.find(',', at)) != std::string_view::npos; at = comma + 1) {
        std::string_view entry = list.substr(at, comma - at);
        std::size_t colon = entry.find(':');
        if (entry.size() > xTryEntryLimit || colon == std::string_view::npos || colon == 0)
            continue;
        std::string address(entry.substr(0, colon));
        if (!IsAddressText(address.c_str()) || IsPrivateAddressText(address.c_str()))
            continue;
        hosts.push_back(hostAddress{address, static_cast<std::uint16_t>(decimal(entry.substr(colon + 1)))});
    }
    return hosts;
}

bool ParseFinalReply(std::string_view text, protocolVersion& out) {
    if (!LinesWithinLimit(text))
        return false;
    if (StartsWithNoCase(text, handshakeText::versionedReply))
        return readVersion(text.substr(std::strlen(handshakeText::versionedReply)), out);
    if (!hasCode200(text))
        return false;
    out = protocolVersion{0, 6};
    return true;
}

}  // namespace vesk::gnutella
