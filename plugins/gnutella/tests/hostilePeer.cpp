#include "plugins/gnutella/tests/hostilePeer.h"

#include <algorithm>
#include <cctype>

#include "plugins/gnutella/descriptors.h"

namespace vesk::gnutella::test {

namespace {

const std::string connect06 = "GNUTELLA CONNECT/0.6\r\nUser-Agent: Hostile/1.0\r\nPong-Caching: 0.1\r\n\r\n";

void append(bytes& out, const std::string& text) { out.insert(out.end(), text.begin(), text.end()); }

bytes headerOf(unsigned char functionCode, unsigned char ttl, unsigned char hops, std::uint32_t length,
             std::mt19937& random) {
    bytes h(descriptorHeaderSize);
    for (int i = 0; i < 16; ++i)
        h[i] = static_cast<unsigned char>(random());
    h[header::function] = functionCode;
    h[header::ttl] = ttl;
    h[header::hops] = hops;
    WriteLe32(h.data() + header::payloadLength, length);
    return h;
}

// Addresses a client could keep or dial, made 127.0.0.1.
void loopbackAddresses(bytes& d) {
    const std::size_t payload = descriptorHeaderSize;
    std::size_t at = 0;
    switch (d[header::function]) {
        case function::pong: at = payload + 2; break;
        case function::queryHit: at = payload + 3; break;
        case function::push: at = payload + 20; break;
        default: return;
    }
    const unsigned char loopback[4] = {127, 0, 0, 1};
    for (std::size_t i = 0; i < 4 && at + i < d.size(); ++i)
        d[at + i] = loopback[i];
}

bool hasNoCase(const std::string& text, const std::string& part) {
    auto found = std::search(text.begin(), text.end(), part.begin(), part.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
    return found != text.end();
}

}  // namespace

bytes hostilePeer::randomBytes(std::size_t count) {
    bytes out(count);
    for (auto& b : out)
        b = static_cast<unsigned char>(random_());
    return out;
}

void hostilePeer::mutate(std::string& text) {
    for (unsigned edits = 1 + below(6); edits > 0; --edits) {
        std::size_t at = text.empty() ? 0 : below(static_cast<std::uint32_t>(text.size()));
        switch (below(5)) {
            case 0:
                if (!text.empty())
                    text[at] = static_cast<char>(random_());
                break;
            case 1: text.insert(at, 1, static_cast<char>(random_())); break;
            case 2:
                if (!text.empty())
                    text.erase(at, 1 + below(8));
                break;
            case 3: text.resize(at); break;
            default: text.insert(at, std::string(1 + below(3000), static_cast<char>('A' + below(26)))); break;
        }
    }
}

bytes hostilePeer::handshake() {
    std::string text;
    if (below(3) == 0) {
        bytes b = randomBytes(below(600));
        text.assign(b.begin(), b.end());
    } else {
        text = connect06;
        mutate(text);
    }
    if (hasNoCase(text, "try"))
        text = "GNUTELLA CONNECT/0.6\r\n";  // never a list of hosts to dial
    return bytes(text.begin(), text.end());
}

bytes hostilePeer::descriptor(unsigned n) {
    static const std::uint32_t edges[] = {0, 1, 22, 23, 26, 4095, 4096, 65535, 65536, 0x7FFFFFFF, 0xFFFFFFFF};
    std::uint32_t length = below(2) ? edges[below(sizeof edges / sizeof edges[0])] : below(65536);
    bytes d = headerOf(static_cast<unsigned char>(n % 256), static_cast<unsigned char>(below(12)),
                     static_cast<unsigned char>(below(12)), length, random_);
    bytes payload = randomBytes(std::min<std::uint32_t>(length, 4096));
    d.insert(d.end(), payload.begin(), payload.end());
    loopbackAddresses(d);
    return d;
}

bytes hostilePeer::truncatedHeader() {
    bytes h = headerOf(function::ping, 1, 0, 0, random_);
    h.resize(1 + below(22));
    return h;
}

bytes hostilePeer::overlongHit() {
    bytes payload;
    payload.push_back(static_cast<unsigned char>(1 + below(255)));  // records claimed
    payload.insert(payload.end(), {0xAE, 0x18, 127, 0, 0, 1, 0x10, 0x27, 0, 0});
    for (unsigned records = below(4); records > 0; --records) {
        bytes numbers = randomBytes(8);
        payload.insert(payload.end(), numbers.begin(), numbers.end());
        std::string name(below(300), static_cast<char>('a' + below(26)));
        append(payload, name);
        if (below(2))
            payload.push_back(0);  // else the name runs on into what follows
    }
    bytes tail = randomBytes(below(40));
    payload.insert(payload.end(), tail.begin(), tail.end());
    // The header's length is at most what was built, often less.
    std::uint32_t length = below(static_cast<std::uint32_t>(payload.size()) + 1);
    bytes d = headerOf(function::queryHit, 3, 0, length, random_);
    d.insert(d.end(), payload.begin(), payload.begin() + length);
    return d;
}

bytes hostilePeer::push() {
    std::uint32_t length = below(65);
    bytes d = headerOf(function::push, static_cast<unsigned char>(1 + below(7)), 0, length, random_);
    bytes payload = randomBytes(length);
    d.insert(d.end(), payload.begin(), payload.end());
    loopbackAddresses(d);
    return d;
}

bytes hostilePeer::giv() {
    std::string index = below(4) ? std::to_string(random_()) : std::string(below(5000), '9');
    std::string servent;
    for (unsigned i = 0, n = below(4) ? 32 : below(3000); i < n; ++i)
        servent += "0123456789ABCDEFxyz"[below(19)];
    std::string name = below(3) ? "tangerine quartet.ogg" : std::string(below(70000), 'n');
    std::string line = "GIV " + index + (below(5) ? ":" : "") + servent + (below(5) ? "/" : "") + name;
    if (below(4))
        line += "\n\n";
    return bytes(line.begin(), line.end());
}

bytes hostilePeer::httpRequest(const std::string& secretFile) {
    const std::string paths[] = {
        "/get/1/../secret.txt",
        "/get/1/..\\..\\secret.txt",
        "/get/1/%2e%2e%5csecret.txt",
        "/get/1/%2E%2E/%2E%2E/secret.txt",
        "/get/0/" + secretFile,
        "/get/1/C:\\windows\\win.ini",
        "/get/1/c:/windows/win.ini",
        "/get/99999999/tangerine quartet.ogg",
        "/get/1/tangerine quartet.ogg/../../secret.txt",
        "/get/1/tangerine%20quartet.ogg",
        "/get/1/\\\\?\\" + secretFile,
        "/../../secret.txt",
        "/get/-1/",
        "/get/1/" + std::string(5000, '/'),
        "/get/1/%",
        "/get/1/%zz%00secret.txt",
    };
    std::string request = "GET " + paths[below(sizeof paths / sizeof paths[0])] + " HTTP/1.0\r\n";
    switch (below(4)) {
        case 0: request += "Range: bytes=" + std::to_string(random_()) + "-\r\n"; break;
        case 1: request += "Range: bytes=999999999-1000000000\r\n"; break;
        case 2: request += "X-Long: " + std::string(1 + below(200000), 'h') + "\r\n"; break;
        default: request += "Range: bytes=-" + std::to_string(random_()) + "\r\n"; break;
    }
    if (below(3) == 0) {
        request += "Endless: " + std::string(100000 + below(200000), 'e');  // no line end ever
        return bytes(request.begin(), request.end());
    }
    request += "\r\n";
    return bytes(request.begin(), request.end());
}

bool contains(const bytes& haystack, const std::string& needle) {
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) != haystack.end();
}

}  // namespace vesk::gnutella::test
