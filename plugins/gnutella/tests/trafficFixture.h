// Descriptor traffic between links that are up, each over a fake link, as
// the active host thread serves them: the link fixture's module parts (the
// node online, the clock replaced), the settings a node starts with and the
// routing lists emptied after each test.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/tests/fakeLink.h"
#include "plugins/gnutella/tests/linkFixture.h"

namespace vesk::gnutella::test {

// A 16-byte identifier made of one repeated byte.
bytes guidOf(unsigned char fill);
// A whole descriptor.
bytes descriptorOf(const bytes& guid, unsigned char functionCode, unsigned char ttl, unsigned char hops,
                   const bytes& payload);
// A Query payload: minimum speed 0, the text and its zero byte.
bytes queryPayload(const std::string& text);
// A Query Hit payload with one result and the given servent identifier.
bytes hitPayload(const bytes& servent);
bytes joined(std::initializer_list<bytes> parts);

class trafficFixture : public linkFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    struct peer {
        fakeLink* link;       // one reference held by the fixture
        CGnutellaHost* host;  // owned by g_ActiveHostList
    };
    // A new link up (an incoming link, state 0) in g_ActiveHostList.
    peer addPeer(const char* address);
    // One turn of the active host thread over the peers: each link's host
    // step, then the broadcasts of the turn expire.
    void turn();
    // Turns until no peer has bytes waiting to be read (bounded).
    void settle();

    std::vector<peer> peers;
    unsigned char clientGuid[16] = {};
};

}  // namespace vesk::gnutella::test
