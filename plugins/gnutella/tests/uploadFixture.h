// Uploads and pushes in the test's own process: the download fixture's
// modules, a shared folder in the real share engine, a listening
// descriptor of the network module whose accepted connections the tests
// classify as the listener thread would, and plain sockets on 127.0.0.1
// for the peer's side.
#pragma once

#include <winsock2.h>

#include <string>

#include "extern/net/tests/loopback.h"
#include "plugins/gnutella/tests/downloadFixture.h"
#include "vesk/share2.h"

namespace vesk::gnutella::test {

class UploadTest : public DownloadTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A file in the shared folder, scanned into the share engine; its id.
    unsigned share(const std::string& name, const std::string& bytes);
    // The engine's object for a shared name, or null.
    share2::IShareObj* shared(const std::string& name);
    unsigned sharedFolderId();

    // A peer connects to this node: the peer's socket, and the accepted
    // connection as the link machine holds it (null after 10 s).
    CGnutellaHost* acceptPeer(SOCKET& peer);
    // Sends the bytes from the peer and classifies what arrives on the
    // connection; the classifier's result. A connection it is done with
    // leaves as the link machine lets it: into the transfer list when
    // handed there, else destroyed (host is then null).
    int classify(CGnutellaHost*& host, SOCKET peer, const std::string& bytes);
    // Steps the transfer thread until the connection's list holds nothing
    // running; everything the peer received until this node closed.
    std::string receiveAll(SOCKET peer);

    // A link that is up and has seen the servent's query hits: the peer's
    // end of it.
    SOCKET linkThatSaw(const unsigned char* servent);

    // The running uploads per address, summed.
    unsigned countedUploads();

    vesk::testing::tempDir folder;
    net::test::winsockSession winsock;
    net::ITCPDescriptor* listener = nullptr;
    unsigned short port = 0;
    net::test::plainListener linkPeers;
    std::vector<SOCKET> sockets;  // closed at the end
};

// "GET <path> HTTP/1.1" with a user agent and extra headers.
std::string Get(const std::string& path, const std::string& headers = "", const char* agent = "curl/7.88.1");

}  // namespace vesk::gnutella::test
