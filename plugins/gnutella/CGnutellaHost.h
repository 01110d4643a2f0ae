// One connection to a peer: a Gnutella link, or an HTTP connection that
// carries a transfer. Which list holds it decides which thread serves it:
// g_InactiveHostList (connecting, accepted, in its handshake) the listener
// thread, g_ActiveHostList (links that are up) the active host thread,
// g_TransferHostList (uploads and downloads) the transfer thread.
#pragma once

#include <atomic>
#include <cstdint>

#include "plugins/gnutella/addresses.h"
#include "plugins/gnutella/framing.h"
#include "plugins/gnutella/guid16.h"
#include "plugins/gnutella/routingMemory.h"
#include "vesk/lock.h"
#include "vesk/net.h"
#include "vesk/ss.h"

namespace vesk::gnutella {

class CGnutellaTransfer;

// What a link counts as (also the status text of its row).
namespace linkKind {
constexpr std::uint32_t incomingUp = 0;
constexpr std::uint32_t outgoingUp = 1;
constexpr std::uint32_t closed = 2;
constexpr std::uint32_t dialling = 3;
constexpr std::uint32_t waiting = 4;  // to be dialled (again)
constexpr std::uint32_t none = 99;    // not counted as a link, or a transfer connection
}  // namespace linkKind

// Link states; transfer connections use codes of their own.
namespace linkState {
constexpr std::uint16_t built = 0;  // also an incoming link that is up
constexpr std::uint16_t dialled = 1;
constexpr std::uint16_t requestSent = 2;
constexpr std::uint16_t outgoingUp = 3;
constexpr std::uint16_t answered = 0x0b;
constexpr std::uint16_t busy = 0x46;
constexpr std::uint16_t busyAnswered = 0x48;
constexpr std::uint16_t accepted = 99;
constexpr std::uint16_t removed = 0x96;
}  // namespace linkState

// Where the link machine puts a connection once its step is done with it
// (the step itself never moves it: the thread that takes it over may end
// it at once).
enum class hostHandOver { none, inactiveList, activeList, transferList };

constexpr std::size_t userAgentSize = 100;
constexpr std::size_t hostNameSize = 260;

class CGnutellaHost {
public:
    // A new outgoing link: no descriptor or address yet, state built.
    CGnutellaHost();
    // A connection accepted on the listener; takes over the reference that
    // accept() handed out. State accepted, the peer's address and port from
    // it.
    explicit CGnutellaHost(net::ITCPDescriptor* accepted);
    // Under the link's lock: marks it closing, then lets go of its row, its
    // transfer and its descriptor (closed first).
    virtual ~CGnutellaHost();
    CGnutellaHost(const CGnutellaHost&) = delete;
    CGnutellaHost& operator=(const CGnutellaHost&) = delete;

    // Both made at construction; false when the factory gave none.
    bool HasRowAndLock() const { return m_Row && m_Lock; }

    std::atomic<bool> m_Connected{false};  // its TCP status was seen connected in the handshake
    std::atomic<bool> m_Closing{false};    // set under m_Lock when the object goes
    std::uint32_t m_ActivityTime = 0;      // tick of the last handshake step; time-outs count from it
    ss::IAgent* m_Row = nullptr;           // its row in the connection list; one reference held
    Ilock* m_Lock = nullptr;               // "vesk::spinLock"; one reference held
    char m_UserAgent[userAgentSize] = {};  // the peer's, from an incoming handshake
    char m_HostName[hostNameSize] = {};    // dialled by name when it is no dotted address
    bool m_Dialled = false;                // this node opened the connection
    std::uint32_t m_Kind = linkKind::waiting;
    std::uint32_t m_RowRefreshTime = 0;
    guid16 m_Id;                               // key in the host lists; made with the object
    char m_AddressAndPort[hostNameSize] = {};  // "address:port" (":port" for a name)
    std::uint32_t m_GarbageCount = 0;
    std::uint32_t m_DroppedCount = 0;
    std::uint32_t m_ReceivedCount = 0;
    std::uint32_t m_SentCount = 0;
    CGnutellaTransfer* m_Transfer = nullptr;  // owned; null for a Gnutella link
    std::uint16_t m_State = linkState::built;
    net::ITCPDescriptor* m_Link = nullptr;     // one reference held; may be null
    char m_AddressText[addressTextSize] = {};  // the peer's dotted address
    unsigned char m_Address[4] = {};           // first octet first
    std::uint16_t m_Port = 0;

    // Links: the handshake's outcome and the link's life.
    std::uint32_t m_MajorVersion = 0;  // protocol version of the link
    std::uint32_t m_MinorVersion = 0;
    hostHandOver m_HandOver = hostHandOver::none;  // read by the link machine when the step ends
    // Set by drop_host (GUI thread); the thread that serves the link closes it.
    std::atomic<bool> m_DropRequested{false};
    // Sends the network module refused: those bytes were dropped.
    std::atomic<std::uint32_t> m_RefusedSends{0};

    // Descriptor traffic of a link that is up: what its stream holds between
    // reads, and its routing memory.
    framingState m_Framing;  // the active host thread's alone
    CRoutingMemory m_Routes;

private:
    void makeRowAndLock();
};

// A new transfer connection over link (taken over) with its transfer
// record, row and lock; null, everything let go again, when any of them
// could not be had.
CGnutellaHost* NewTransferHost(net::ITCPDescriptor* link);

}  // namespace vesk::gnutella
