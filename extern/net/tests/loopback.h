// Test side of the wire: plain blocking Winsock sockets on 127.0.0.1, a
// byte pattern that shows loss, reordering and corruption, and bounded
// waiting.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vesk::net::test {

// Winsock for the test program's own sockets.
struct winsockSession {
    winsockSession();
    ~winsockSession();
};

// Polls until the condition holds or the time is up; true when it held.
bool waitFor(const std::function<bool()>& condition, unsigned milliseconds = 10000);

// A listening socket on 127.0.0.1 with a free port. receiveBuffer, when
// not 0, is the system's receive buffer of every connection it accepts.
class plainListener {
public:
    explicit plainListener(int backlog = SOMAXCONN, int receiveBuffer = 0);
    ~plainListener();
    unsigned short port() const { return port_; }
    // The next connection, or INVALID_SOCKET after the time.
    SOCKET acceptOne(unsigned milliseconds = 10000);

private:
    SOCKET sock_ = INVALID_SOCKET;
    unsigned short port_ = 0;
};

// A blocking connection to 127.0.0.1:port, or INVALID_SOCKET.
SOCKET plainConnect(unsigned short port);
// A port on 127.0.0.1 that nobody listens on (just freed).
unsigned short freePort();
unsigned short localPort(SOCKET s);
void closePlain(SOCKET s);

// All the bytes, or false when the peer stopped taking them before the time.
bool sendAll(SOCKET s, const std::vector<unsigned char>& bytes, unsigned milliseconds = 60000);
// Up to count bytes; fewer when the peer closes or the time runs out.
std::vector<unsigned char> receiveBytes(SOCKET s, size_t count, unsigned milliseconds = 20000);
// Everything until the peer closes (or the time runs out); closed tells.
std::vector<unsigned char> receiveUntilClosed(SOCKET s, bool& closed, unsigned milliseconds = 20000);

// Byte i of stream seed: depends on every bit of i.
unsigned char patternByte(unsigned seed, unsigned long long i);
std::vector<unsigned char> pattern(unsigned seed, unsigned long long from, size_t count);
// Index of the first byte that differs from the stream, or -1.
long long firstMismatch(unsigned seed, unsigned long long from, const unsigned char* bytes, size_t count);

}  // namespace vesk::net::test
