#include "extern/net/tests/loopback.h"

#include <ws2tcpip.h>

#include <cstdint>

namespace vesk::net::test {

namespace {

sockaddr_in loopbackAddress(unsigned short port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

void setReceiveTimeout(SOCKET s, unsigned milliseconds) {
    DWORD value = milliseconds;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&value), sizeof value);
}

}  // namespace

winsockSession::winsockSession() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
}

winsockSession::~winsockSession() { WSACleanup(); }

bool waitFor(const std::function<bool()>& condition, unsigned milliseconds) {
    ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= end)
            return false;
        Sleep(2);
    }
}

plainListener::plainListener(int backlog, int receiveBuffer) {
    sock_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = loopbackAddress(0);
    int length = sizeof address;
    // Set before listening, so that accepted connections start with it.
    if (receiveBuffer > 0)
        setsockopt(sock_, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&receiveBuffer), sizeof receiveBuffer);
    if (sock_ == INVALID_SOCKET || bind(sock_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(sock_, backlog) != 0 || getsockname(sock_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return;
    port_ = ntohs(address.sin_port);
}

plainListener::~plainListener() { closePlain(sock_); }

SOCKET plainListener::acceptOne(unsigned milliseconds) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(sock_, &readable);
    timeval wait{static_cast<long>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000};
    if (select(0, &readable, nullptr, nullptr, &wait) != 1)
        return INVALID_SOCKET;
    return accept(sock_, nullptr, nullptr);
}

SOCKET plainConnect(unsigned short port) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return s;
    sockaddr_in address = loopbackAddress(port);
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

unsigned short freePort() {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = loopbackAddress(0);
    int length = sizeof address;
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    closesocket(s);
    return ntohs(address.sin_port);
}

unsigned short localPort(SOCKET s) {
    sockaddr_in address{};
    int length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

void closePlain(SOCKET s) {
    if (s != INVALID_SOCKET)
        closesocket(s);
}

bool sendAll(SOCKET s, const std::vector<unsigned char>& bytes, unsigned milliseconds) {
    // Non-blocking, so that a receiver that stalls ends the send at the
    // deadline instead of hanging the test.
    u_long on = 1, off = 0;
    ioctlsocket(s, FIONBIO, &on);
    ULONGLONG end = GetTickCount64() + milliseconds;
    size_t done = 0;
    while (done < bytes.size() && GetTickCount64() < end) {
        int n = send(s, reinterpret_cast<const char*>(bytes.data() + done),
                     static_cast<int>(std::min<size_t>(bytes.size() - done, 1 << 20)), 0);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (WSAGetLastError() != WSAEWOULDBLOCK)
            break;
        fd_set writable;
        FD_ZERO(&writable);
        FD_SET(s, &writable);
        timeval wait{0, 100 * 1000};
        select(0, nullptr, &writable, nullptr, &wait);
    }
    ioctlsocket(s, FIONBIO, &off);
    return done == bytes.size();
}

namespace {

// Receives until count bytes, the peer's end, an error or the time is up.
std::vector<unsigned char> receiveUpTo(SOCKET s, size_t count, unsigned milliseconds, bool& closed) {
    std::vector<unsigned char> got;
    closed = false;
    ULONGLONG end = GetTickCount64() + milliseconds;
    char piece[65536];
    while (got.size() < count && GetTickCount64() < end) {
        setReceiveTimeout(s, 500);
        int n = recv(s, piece, static_cast<int>(std::min<size_t>(sizeof piece, count - got.size())), 0);
        if (n == 0) {
            closed = true;
            break;
        }
        if (n < 0) {
            if (WSAGetLastError() == WSAETIMEDOUT)
                continue;
            break;
        }
        got.insert(got.end(), piece, piece + n);
    }
    return got;
}

}  // namespace

std::vector<unsigned char> receiveBytes(SOCKET s, size_t count, unsigned milliseconds) {
    bool closed = false;
    return receiveUpTo(s, count, milliseconds, closed);
}

std::vector<unsigned char> receiveUntilClosed(SOCKET s, bool& closed, unsigned milliseconds) {
    return receiveUpTo(s, SIZE_MAX, milliseconds, closed);
}

unsigned char patternByte(unsigned seed, unsigned long long i) {
    unsigned long long x = (i + 1) * 0x9E3779B97F4A7C15ull ^ seed;
    x ^= x >> 29;
    x *= 0xBF58476D1CE4E5B9ull;
    return static_cast<unsigned char>(x >> 56);
}

std::vector<unsigned char> pattern(unsigned seed, unsigned long long from, size_t count) {
    std::vector<unsigned char> bytes(count);
    for (size_t k = 0; k < count; ++k)
        bytes[k] = patternByte(seed, from + k);
    return bytes;
}

long long firstMismatch(unsigned seed, unsigned long long from, const unsigned char* bytes, size_t count) {
    for (size_t k = 0; k < count; ++k)
        if (bytes[k] != patternByte(seed, from + k))
            return static_cast<long long>(from + k);
    return -1;
}

}  // namespace vesk::net::test
