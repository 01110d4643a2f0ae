#include "bench/netLoopback.h"

#include "bench/stopwatch.h"

namespace vesk::bench {

SOCKET loopbackListener(sockaddr_in& address, int backlog, int receiveBuffer) {
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener == INVALID_SOCKET)
        return INVALID_SOCKET;
    if (receiveBuffer > 0)
        setsockopt(listener, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&receiveBuffer),
                   sizeof receiveBuffer);
    address = sockaddr_in{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, backlog) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closesocket(listener);
        return INVALID_SOCKET;
    }
    return listener;
}

bool plainPair(SOCKET listener, const sockaddr_in& address, SOCKET& out, SOCKET& in) {
    out = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    in = INVALID_SOCKET;
    if (out == INVALID_SOCKET)
        return false;
    if (connect(out, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return false;
    in = accept(listener, nullptr, nullptr);
    return in != INVALID_SOCKET;
}

bool plainPair(SOCKET& out, SOCKET& in) {
    sockaddr_in address{};
    SOCKET listener = loopbackListener(address, 1);
    if (listener == INVALID_SOCKET)
        return false;
    bool made = plainPair(listener, address, out, in);
    closesocket(listener);
    return made;
}

void closeAll(std::vector<SOCKET>& sockets) {
    for (SOCKET s : sockets)
        if (s != INVALID_SOCKET)
            closesocket(s);
    sockets.clear();
}

ref<net::ITCPDescriptor> newDescriptor(net::ICommunications* service) {
    return ref<net::ITCPDescriptor>(
        interfaceCast<net::ITCPDescriptor>(service->createDescriptor("vesk::net::tcp", nullptr)));
}

bool settle(net::ITCPDescriptor* d, int wanted) {
    double deadline = seconds() + 10;
    while (d->status() != wanted && seconds() < deadline)
        Sleep(1);
    return d->status() == wanted;
}

double percentile(std::vector<double> values, double share) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t at = static_cast<size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(at, values.size() - 1)];
}

double median(std::vector<double> values) { return percentile(std::move(values), 0.5); }

}  // namespace vesk::bench
