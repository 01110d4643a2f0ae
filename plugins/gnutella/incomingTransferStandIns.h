// Stands in for the transfer side of the incoming-connection classifier
// until it is there: a "GIV " line answering one of this node's pushes and
// a "GET " request for a shared file. Here both are refused and closed.
//
// The real ones take the accepted connection's text of one receive and
// return as the classifier does: 1 when the connection is done with
// g_InactiveHostList, 0 to classify its next data. A connection they keep
// is handed to g_TransferHostList by setting m_HandOver to
// hostHandOver::transferList: the link machine moves it there once it has
// taken it out of its own list.
#pragma once

#include <string_view>

namespace vesk::gnutella {

class CGnutellaHost;

int HandlePushAnswer(CGnutellaHost* host, std::string_view text);
int HandleUploadRequest(CGnutellaHost* host, std::string_view text);

}  // namespace vesk::gnutella
