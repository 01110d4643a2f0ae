// Loopback plumbing shared by the network benchmarks: plain Winsock
// sockets on 127.0.0.1 and descriptors of the network module.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <vector>

#include "vesk/net.h"

namespace vesk::bench {

// A plain listener on a free port of 127.0.0.1, its address in address;
// receiveBuffer, when not 0, is the system's receive buffer of what it
// accepts. INVALID_SOCKET when it could not be made.
SOCKET loopbackListener(sockaddr_in& address, int backlog = SOMAXCONN, int receiveBuffer = 0);
// A connected pair of plain blocking sockets on 127.0.0.1, made through
// listener (at address).
bool plainPair(SOCKET listener, const sockaddr_in& address, SOCKET& out, SOCKET& in);
bool plainPair(SOCKET& out, SOCKET& in);
void closeAll(std::vector<SOCKET>& sockets);

// A new descriptor holding one reference, or an empty one.
ref<net::ITCPDescriptor> newDescriptor(net::ICommunications* service);
// Polls until the descriptor's status is wanted (at most 10 s).
bool settle(net::ITCPDescriptor* d, int wanted);

// Median of the values (0 for none).
double median(std::vector<double> values);
// The value below which the given share of the values lie.
double percentile(std::vector<double> values, double share);

}  // namespace vesk::bench
