// Address texts: the strict dotted form, the host-name look-up that runs
// beside the network thread, and this machine's own address.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <memory>
#include <string>

namespace vesk::net {

class channel;
class engine;

// True only for four decimal numbers of 0 to 255 joined by dots; then
// address holds them in network order.
bool parseDottedAddress(const char* text, in_addr& address);
// The dotted text of an address; into holds at least 16 characters.
void formatDottedAddress(const in_addr& address, char* into);

// Looks host up on a thread of its own. When the channel is still waiting
// for it, the address is handed over (the network thread dials next) or the
// channel fails. False when the thread could not start.
bool startLookup(const std::shared_ptr<engine>& e, const std::shared_ptr<channel>& c, const std::string& host);

// A usable IPv4 address of this machine as dotted text: the first address
// of an interface other than loopback, else 127.0.0.1.
std::string localAddressText();

}  // namespace vesk::net
