// Reading a link that is up: one descriptor per turn is cut from its byte
// stream (framing.h) and handed to handle_packet, with the failures that
// escape handling caught and logged; a link that sends too much garbage is
// dropped. Runs on the active host thread, one link at a time.
#pragma once

#include <cstddef>

namespace vesk::gnutella {

class CGnutellaHost;
class CGnutellaPacket;

// What handles one whole descriptor (handle_packet; tests give their own).
using packetHandler = int (*)(CGnutellaHost*, CGnutellaPacket*, const unsigned char*, std::size_t);

// Takes the bytes behind the last descriptor handled, or else what the
// link received, and handles at most one descriptor of them. 1 when the
// link was dropped (too much garbage) or is no longer connected and has
// nothing more (or is null), else 0. Every received buffer is released once.
int ReadDescriptors(CGnutellaHost* host, packetHandler handle);
int ReadDescriptors(CGnutellaHost* host);

// Failures caught per link before the next one closes it.
constexpr unsigned handlerFailureLimit = 5;

// The handler's result, or 0 when a failure was caught: the failure is
// logged with a dump of the descriptor, the link's leftover and partial
// bytes are dropped and, past handlerFailureLimit failures, the link is
// closed.
int SafeHandlePacket(CGnutellaHost* host, CGnutellaPacket* packet, const unsigned char* bytes, std::size_t size,
                     packetHandler handle);

}  // namespace vesk::gnutella
