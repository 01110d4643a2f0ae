// The transfer branches of the incoming-connection classifier, on the
// listener thread: a "GIV " line answering one of this node's pushes and a
// "GET " request for a shared file. Each takes the accepted connection and
// the text of its first receive and returns as the classifier does: 1 when
// the connection is done with g_InactiveHostList, 0 to classify its next
// data. A connection kept as an upload is handed to g_TransferHostList
// (m_HandOver): the link machine moves it there once it has taken it out
// of its own list; any other result of 1 destroys the accepted record.
#pragma once

#include <string_view>

namespace vesk::gnutella {

class CGnutellaHost;
class CGnutellaHTTP;

// The text before the first "\n\n" names a push this node asked for: the
// waiting download takes the connection over and sends its request on it.
// Otherwise the connection is closed.
int HandlePushAnswer(CGnutellaHost* host, std::string_view text);

// Answers a request for a shared file: 503 when the upload slots are full,
// 403 with a page for a web browser, 404 for a name that is not the shared
// one, 416 for a range outside the file, 400 for other paths; else the
// answer header with the first piece of the file, and the upload goes on
// in the transfer list.
int HandleUploadRequest(CGnutellaHost* host, std::string_view text);

// A web browser asks: a user agent that holds "Mozilla" or "mozilla".
bool IsBrowserRequest(const CGnutellaHTTP& request);
// The 403 answer with the page telling browsers to use a client; 0 or -1
// as SendHttpError.
int RefuseBrowser(CGnutellaHost* host);

}  // namespace vesk::gnutella
