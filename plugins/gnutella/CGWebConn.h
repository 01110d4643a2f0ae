// One exchange with one web cache: a request sent on a connection of its
// own, the answer gathered until the cache closes the connection.
#pragma once

#include <cstdint>
#include <string>

#include "vesk/net.h"

namespace vesk::gnutella {

class CGWebCache;
class CGWebHost;

// Most bytes of an answer that are kept; the rest is dropped unread.
constexpr std::size_t webAnswerLimit = 64 * 1024;

class CGWebConn {
public:
    CGWebConn(CGWebHost* owner, std::uint32_t id) : m_Owner(owner), m_Id(id) {}
    // Releases the descriptor.
    virtual ~CGWebConn();
    CGWebConn(const CGWebConn&) = delete;
    CGWebConn& operator=(const CGWebConn&) = delete;

    // One step: gathers what arrived; once the cache has closed the
    // connection the exchange is over and its answer goes to its owner.
    void Poll(CGWebCache& list);

    CGWebHost* m_Owner;  // the cache asked; an entry of the list (not owned)
    int m_Active = 1;
    net::ITCPDescriptor* m_Link = nullptr;  // one reference held; may be null
    std::string m_Response;
    std::uint32_t m_Id;
    std::uint32_t m_StartTime = 0;  // tick just after the dial
};

}  // namespace vesk::gnutella
