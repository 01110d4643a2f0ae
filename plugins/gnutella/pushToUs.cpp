#include "plugins/gnutella/pushToUs.h"

#include <cstdio>
#include <cstring>
#include <mutex>

#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaPacket.h"
#include "plugins/gnutella/CGnutellaTransfer.h"
#include "plugins/gnutella/addresses.h"
#include "plugins/gnutella/clock.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/fixedText.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/handlePacket.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/network.h"
#include "plugins/gnutella/transferStates.h"
#include "vesk/share2.h"

namespace vesk::gnutella {

namespace {

// Nobody can be reached at 0.x.x.x, a multicast or reserved address, or
// port 0: such a push is dropped rather than dialled.
bool dialable(const unsigned char* address, std::uint16_t port) {
    return port != 0 && address[0] != 0 && address[0] < 224;
}

net::ITCPDescriptor* newTransferLink() {
    net::ITCPDescriptor* link = NewTcpDescriptor();
    if (!link)
        return nullptr;
    link->setSendMode(true);
    link->setTransferMode(true);
    return link;
}

// The GUIDs of the Pushes to this node taken last.
constexpr std::size_t takenPushesKept = 64;
std::mutex takenLock;
guidMemory takenPushes(takenPushesKept);

// False when the GUID was there already.
bool rememberPush(const guid16& pushGuid) {
    std::lock_guard<std::mutex> hold(takenLock);
    return takenPushes.Add(pushGuid);
}

// A connection handed to the listener thread after its GIV: dialled by this
// node, yet waiting there like an accepted one for its first data.
bool givSent(const CGnutellaHost* host) {
    return host->m_Dialled && host->m_State == transferState::unclassified && !host->m_Transfer;
}

// Push uploads dialling their requester or holding the GIV's connection.
unsigned pushesBeingSetUp() {
    unsigned n = 0;
    {
        std::lock_guard<std::recursive_mutex> hold(g_InactiveHostList.guard);
        for (auto& entry : g_InactiveHostList.items)
            n += givSent(entry.second) ? 1 : 0;
    }
    std::lock_guard<std::recursive_mutex> hold(g_TransferHostList.guard);
    for (auto& entry : g_TransferHostList.items)
        n += entry.second->m_State == transferState::pushConnecting ? 1 : 0;
    return n;
}

}  // namespace

bool PushTakenBefore(const guid16& pushGuid) {
    std::lock_guard<std::mutex> hold(takenLock);
    return takenPushes.Has(pushGuid);
}

bool GivAnswerOverdue(const CGnutellaHost* host) {
    return host && givSent(host) && static_cast<std::uint32_t>(TickNow()) - host->m_ActivityTime > givAnswerTimeoutMs;
}

int HandlePushToUs(const CGnutellaPacket* push) {
    if (!push || push->Function() != function::push || push->m_Payload.size() < minimumPushPayload)
        return -1;
    // A Push is taken once, whatever came of it: a repeat of its GUID is a
    // copy of the same descriptor.
    guid16 pushGuid = guid16::from(push->Guid());
    if (!rememberPush(pushGuid))
        return -1;
    const unsigned char* payload = push->m_Payload.data();
    std::uint32_t index = ReadLe32(payload + 16);
    const unsigned char* address = payload + 20;
    auto port = static_cast<std::uint16_t>(payload[24] | (payload[25] << 8));
    share2::IShareEngine* shares = g_Services.shareEngine;
    share2::IShareObj* file = shares ? shares->objectById(index) : nullptr;
    // Only a file is offered: a folder has no name.
    if (!file || !file->getName()[0] || !dialable(address, port))
        return -1;
    if (pushesBeingSetUp() >= maxPushSetUps)
        return -1;

    CGnutellaHost* host = NewTransferHost(newTransferLink());
    if (!host)
        return -1;
    CGnutellaTransfer* transfer = host->m_Transfer;
    net::ITCPDescriptor* link = host->m_Link;
    std::memcpy(transfer->pushServentId, payload, sizeof transfer->pushServentId);
    transfer->remoteIndex = index;
    transfer->fileSize = file->getSize();
    CopyText(transfer->remoteName, file->getName());
    // The connection keeps the identifier it was made with: a Push's GUID
    // is the peer's to choose, and as a key it could name another
    // connection in any of the lists this one passes through.
    host->m_Dialled = true;
    host->m_Kind = linkKind::none;
    host->m_State = transferState::pushConnecting;
    std::memcpy(host->m_Address, address, sizeof host->m_Address);
    IpToText(host->m_Address, host->m_AddressText);
    host->m_Port = port;
    std::snprintf(host->m_AddressAndPort, sizeof host->m_AddressAndPort, "%s:%u", host->m_AddressText,
                  static_cast<unsigned>(port));
    StampTransfer(host);
    int dialled = link->connect(host->m_AddressText, port);
    std::lock_guard<std::recursive_mutex> hold(g_TransferHostList.guard);
    g_TransferHostList.items[host->m_Id] = host;  // a new identifier: no other connection has it
    return dialled;
}

}  // namespace vesk::gnutella
