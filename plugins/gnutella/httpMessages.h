// The HTTP pieces both transfer directions share: the status of a download
// answer, an upload request read into a CGnutellaHTTP, the error answer,
// and the display text of a transfer's status code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "plugins/gnutella/CGnutellaHTTP.h"

namespace vesk::net {
struct INetDataBuffer;
}

namespace vesk::gnutella {

class CGnutellaHost;

// The three characters after the answer's first blank: 0 for "200" and
// "206" (and for a text without a blank); 1 for any other, storing it in
// code when it is one of 201, 202, 204, 300, 301, 302, 304, 400, 401, 403,
// 404, 500, 501, 502 or 503 (code is left alone for another).
int ParseHttpStatus(const char* text, std::uint32_t& code);

// A new record (the caller deletes it) for a request with a "/get" or
// "/uri-res" path and an HTTP version; null for anything else. The bytes
// are read as text up to the first zero byte.
CGnutellaHTTP* ParseHttpRequestText(const char* bytes, std::size_t length);
CGnutellaHTTP* ParseHttpRequest(net::INetDataBuffer* request);

// The error answer: status line, "Server: Pelloran v3.1.3", and the page
// with its length and type when there is one.
std::string HttpErrorText(unsigned code, const char* page);
// Sends that answer with a terminating zero byte. 0, or -1 (nothing sent)
// for a null connection, one without a descriptor or one not connected.
int SendHttpError(CGnutellaHost* host, const char* page, unsigned code);

// The resource text id of a status code's display text, and the text.
unsigned StatusTextId(std::uint32_t code);
const char* StatusText(std::uint32_t code);

}  // namespace vesk::gnutella
