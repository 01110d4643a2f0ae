// The text of a download's HTTP exchange: the request this node sends and
// the pieces it reads from the source's answer. No state, no I/O.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "plugins/gnutella/resources.h"

namespace vesk::gnutella {

// The longest answer header read; a longer one is no answer this node
// understands.
constexpr std::size_t maxAnswerHeader = 16384;

// "GET /get/<index>/<name> HTTP/1.0", "Connection: Keep-Alive", a
// "Range: bytes=<done>-" line when done is above 0, and the empty line.
std::string DownloadRequestText(std::uint32_t index, const char* name, std::uint32_t done);

// The bytes so far may begin an answer: their first four characters (or
// fewer, while fewer arrived) are "HTTP" in any case.
bool BeginsLikeHttp(const std::string& bytes);
// The length of the header with its empty line, 0 while it is incomplete.
std::size_t AnswerHeaderLength(const std::string& bytes);

// From a lower-case header: the "server:" value (leading blanks skipped)
// with its first letter in upper case, at most 259 characters; empty
// without the header.
std::string ClientNameFrom(const std::string& lowerHeader);

// From a lower-case header: the first byte of a "content-range:" value
// written "bytes=<start>-..." or "bytes <start>-...".
enum class rangeStart { none, read, beyondLimit };
rangeStart RangeStartFrom(const std::string& lowerHeader, std::uint64_t limit, std::uint64_t& start);

// From a lower-case header: the offset one past the last byte the answer
// announces, for an answer from byte start: the Content-Range's last byte,
// else start plus the Content-Length, else the file's end; never past the
// file's end (nor before start).
std::uint64_t AnnouncedEnd(const std::string& lowerHeader, std::uint64_t start, std::uint64_t fileSize);

// The client icon for a client name.
vendorImage VendorOf(const std::string& clientName);

}  // namespace vesk::gnutella
