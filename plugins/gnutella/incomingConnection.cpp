#include "plugins/gnutella/incomingConnection.h"

#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/handshake.h"
#include "plugins/gnutella/handshakeText.h"
#include "plugins/gnutella/incomingTransfers.h"

namespace vesk::gnutella {

int HandleIncomingConnection(CGnutellaHost* host, std::string_view text) {
    if (StartsWithNoCase(text, g_Settings.ConnectString()) || StartsWithNoCase(text, handshakeText::connect04))
        return AnswerConnect04(host);
    if (StartsWith(text, "GIV "))
        return HandlePushAnswer(host, text);
    if (StartsWithNoCase(text, "GET "))
        return HandleUploadRequest(host, text);
    if (StartsWithNoCase(text, handshakeText::connectPrefix))
        return AnswerConnect06(host, text);
    return RefuseConnection(host);
}

}  // namespace vesk::gnutella
