#include "plugins/gnutella/tests/uploadFixture.h"

#include <windows.h>

#include <mutex>

#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/fixedText.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/handshakeText.h"
#include "plugins/gnutella/incomingConnection.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/transferThread.h"

namespace vesk::gnutella::test {

using net::test::closePlain;
using net::test::plainConnect;
using net::test::sendAll;
using net::test::waitFor;

void UploadTest::SetUp() {
    DownloadTest::SetUp();
    CopyText(g_Settings.m_ConnectString, "GNUTELLA CONNECT/0.4\n\n");
    CopyText(g_Settings.m_ConnectAck, "GNUTELLA OK\n\n");
    g_Settings.m_MaxUploads = 7;
    g_Settings.m_MaxUploadsPerIP = 4;
    g_Settings.m_UploadChunkSize = 8192;
    g_Settings.m_Uploaded = false;
    share2::shareSpec spec{};
    CopyText(spec.path, folder.path());
    spec.recursive = 1;
    ASSERT_EQ(g_Services.shareEngine->addShare(&spec), 1);
    Igeneric* made = g_Services.communications->createDescriptor("vesk::net::tcp", g_State.token);
    listener = interfaceCast<net::ITCPDescriptor>(made);
    ASSERT_TRUE(listener);
    listener->addRef();
    ASSERT_EQ(listener->listen(0), 1);
    port = listener->port();
}

void UploadTest::TearDown() {
    for (SOCKET s : sockets)
        closePlain(s);
    DestroyHosts(g_InactiveHostList);
    DestroyHosts(g_ActiveHostList);
    if (listener) {
        listener->close();
        listener->release();
    }
    DownloadTest::TearDown();
}

unsigned UploadTest::share(const std::string& name, const std::string& bytes) {
    vesk::testing::writeFile(folder.file(name), bytes);
    share2::shareSpec spec{};
    CopyText(spec.path, folder.path());
    spec.recursive = 1;
    g_Services.shareEngine->addShare(&spec);  // scanned again: 0, the folder is a share
    share2::IShareObj* file = nullptr;
    waitFor([&] { return (file = shared(name)) != nullptr; });
    return file ? file->getId() : ~0u;
}

share2::IShareObj* UploadTest::shared(const std::string& name) {
    share2::IShareEngine* engine = g_Services.shareEngine;
    std::string full = folder.file(name);
    for (unsigned id = engine->objectCount(); id-- > 0;) {
        share2::IShareObj* object = engine->objectById(id);
        char path[share2::pathBufferSize] = {};
        if (object && (object->getPath(path), _stricmp(path, full.c_str()) == 0))
            return object;
    }
    return nullptr;
}

unsigned UploadTest::sharedFolderId() {
    share2::IShareEngine* engine = g_Services.shareEngine;
    std::string full = folder.path() + "\\";
    for (unsigned id = engine->objectCount(); id-- > 0;) {
        share2::IShareObj* object = engine->objectById(id);
        char path[share2::pathBufferSize] = {};
        if (object && (object->getPath(path), _stricmp(path, full.c_str()) == 0))
            return id;
    }
    return ~0u;
}

CGnutellaHost* UploadTest::acceptPeer(SOCKET& peer) {
    peer = plainConnect(port);
    if (peer == INVALID_SOCKET)
        return nullptr;
    sockets.push_back(peer);
    net::ITCPDescriptor* accepted = nullptr;
    waitFor([&] { return (accepted = listener->accept()) != nullptr; });
    if (!accepted)
        return nullptr;
    // accept() hands out the caller's reference, which the record takes.
    return new CGnutellaHost(accepted);
}

int UploadTest::classify(CGnutellaHost*& host, SOCKET peer, const std::string& bytes) {
    if (!sendAll(peer, std::vector<unsigned char>(bytes.begin(), bytes.end())))
        return -1;
    net::INetDataBuffer* data = nullptr;
    if (!waitFor([&] { return (data = host->m_Link->receive()) != nullptr; }))
        return -1;
    int result = HandleIncomingConnection(host, ReceivedText(data->data(), data->length()));
    data->release();
    if (result == 1) {
        if (host->m_HandOver == hostHandOver::transferList) {
            host->m_HandOver = hostHandOver::none;
            std::lock_guard<std::recursive_mutex> hold(g_TransferHostList.guard);
            g_TransferHostList.items[host->m_Id] = host;
        } else {
            delete host;
        }
        host = nullptr;
    }
    return result;
}

std::string UploadTest::receiveAll(SOCKET peer) {
    std::string got;
    bool closed = false;
    ULONGLONG end = GetTickCount64() + 20000;
    while (!closed && GetTickCount64() < end) {
        TransferStep();
        std::vector<unsigned char> piece = net::test::receiveUntilClosed(peer, closed, 5);
        got.append(piece.begin(), piece.end());
    }
    return got;
}

SOCKET UploadTest::linkThatSaw(const unsigned char* servent) {
    Igeneric* made = g_Services.communications->createDescriptor("vesk::net::tcp", g_State.token);
    auto* link = interfaceCast<net::ITCPDescriptor>(made);
    if (!link)
        return INVALID_SOCKET;
    link->addRef();
    link->connect("127.0.0.1", linkPeers.port());
    SOCKET peer = linkPeers.acceptOne();
    sockets.push_back(peer);
    waitFor([&] { return link->status() == net::status::connected; });
    auto* host = new CGnutellaHost();
    host->m_Link = link;
    host->m_Kind = linkKind::outgoingUp;
    host->m_Routes.AddServent(guid16::from(servent));
    std::lock_guard<std::recursive_mutex> hold(g_ActiveHostList.guard);
    g_ActiveHostList.items[host->m_Id] = host;
    return peer;
}

unsigned UploadTest::countedUploads() {
    std::lock_guard<std::recursive_mutex> hold(g_HostIPUploadCount.guard);
    unsigned sum = 0;
    for (auto& entry : g_HostIPUploadCount.items)
        sum += entry.second;
    return sum;
}

std::string Get(const std::string& path, const std::string& headers, const char* agent) {
    return "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: " + agent + "\r\nAccept: */*\r\n" +
           headers + "\r\n";
}

}  // namespace vesk::gnutella::test
