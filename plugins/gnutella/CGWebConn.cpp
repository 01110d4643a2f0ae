#include "plugins/gnutella/CGWebConn.h"

#include <algorithm>

#include "plugins/gnutella/CGWebHost.h"
#include "plugins/gnutella/handshakeText.h"

namespace vesk::gnutella {

CGWebConn::~CGWebConn() {
    if (m_Link)
        m_Link->release();
}

namespace {

// Adds what arrived to the answer, within its bound.
void gather(net::ITCPDescriptor* link, std::string& response) {
    net::INetDataBuffer* got = link->receive();
    if (!got)
        return;
    std::string_view text = ReceivedText(got->data(), got->length());
    std::size_t room = webAnswerLimit - std::min(response.size(), webAnswerLimit);
    response.append(text.substr(0, room));
    got->release();  // receive() handed out the caller's reference
}

}  // namespace

void CGWebConn::Poll(CGWebCache& list) {
    if (!m_Link || !m_Owner)
        return;
    switch (m_Link->status()) {
        case net::status::idle:
            // The end is told as soon as it is seen: the last bytes may
            // still wait.
            gather(m_Link, m_Response);
            m_Active = 0;
            if (!m_Response.empty())
                m_Owner->ParseResponse(list, m_Response);
            m_Response.clear();
            return;
        case net::status::connected:
            gather(m_Link, m_Response);
            return;
        default:
            return;  // dialling or failed: the exchange waits for its time-out
    }
}

}  // namespace vesk::gnutella
