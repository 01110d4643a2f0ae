// The network module: TCP connections polled by their users, and byte
// buffers. The module publishes "vesk::net::ICommunications *" and offers
// the factory class "vesk::net::CNetDataBuffer".
//
// Nothing here blocks on the network: connect, host-name resolution and
// sends complete on the module's own thread; callers poll status().
// Descriptors may be used from several threads at once.
//
// References: receive() and accept() hand out their new object with one
// reference, the caller's, which the caller ends with release. Objects
// made by createDescriptor() and by the factory carry none (count 0): the
// caller that keeps one takes it with addRef.
#pragma once

#include "vesk/object.h"

namespace vesk {

struct IentityToken;
struct Ibuffer;

namespace net {

// Bytes received or to be sent. data() is followed by one zero byte that
// length() does not count, so the bytes may be read as text.
struct INetDataBuffer : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::net::INetDataBuffer *";
    virtual unsigned long length() = 0;
    virtual unsigned char* data() = 0;
    // The same bytes as a buffer (no reference added; it lives as long as
    // this object). Changing it changes length() and data(); the zero after
    // the bytes stays.
    virtual Ibuffer* asBuffer() = 0;
};

// Status codes of a descriptor.
namespace status {
// Never used, closed, or the connection ended (told as soon as the end is
// seen: bytes received before it are still handed out by receive()).
constexpr int idle = 0;
constexpr int listening = 1;    // listening, nobody waiting
constexpr int peerWaiting = 2;  // listening, accept() has a connection
constexpr int connecting = 3;   // resolving the host name or dialling
constexpr int connected = 5;
constexpr int failed = 7;       // a dial or listen failed; lastError() tells why
}  // namespace status

struct ITCPDescriptor : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::net::ITCPDescriptor *";
    // Closes what the descriptor had and listens on every local address;
    // port 0 takes a free port (port() tells which). 1 when listening, else
    // 0 with status failed.
    virtual int listen(unsigned short port) = 0;
    // A new connected descriptor for a waiting peer, with the caller's
    // reference, or null.
    virtual ITCPDescriptor* accept() = 0;
    // Closes what the descriptor had and dials host (dotted address or host
    // name). Status becomes connecting, then connected or failed; a dial
    // that takes too long fails with WSAETIMEDOUT. 1 when the dial began,
    // 0 when it failed at once (status failed).
    virtual int connect(const char* host, unsigned short port) = 0;
    virtual int status() = 0;
    // Queues a copy of the bytes; 1 when all were taken, 0 when none were
    // (no connection, closed, or the link's backlog is full). A link holds
    // a bounded backlog (224 KiB, 128 KiB in transfer mode, each send
    // counting 64 bytes more): a refused send may be tried again once bytes
    // went out, and one larger than the backlog is never taken. Bytes sent
    // while connecting go out in order once connected, or are dropped when
    // the dial fails. Zero bytes are taken at once.
    virtual int send(const void* bytes, unsigned long length) = 0;
    // A new buffer with every byte received since the last call, with the
    // caller's reference, or null when none arrived; also after the
    // connection ended, for the bytes that came before its end. Reading
    // pauses while 512 KiB wait to be taken (the end is seen only after).
    virtual INetDataBuffer* receive() = 0;
    // Ends the connection or listener; status becomes idle at once. Bytes
    // already queued are still delivered before the connection closes,
    // also when it was still connecting: the dial goes on for them, and
    // they are dropped only when it fails. The descriptor can connect or
    // listen again.
    virtual int close() = 0;
    // Dropping a link, in this order. shutdownLink ends the connection as
    // close does; releaseLink then lets go of whatever is left of it at
    // once (queued bytes not yet sent are dropped). Status idle after each.
    virtual int shutdownLink() = 0;
    virtual int releaseLink() = 0;
    // Listener: a usable local IPv4 address of this machine (never
    // 0.0.0.0). Connection: the peer's dotted address; empty while a host
    // name is being resolved. The text stays valid until the next connect,
    // listen or the descriptor's end.
    virtual const char* addressText() = 0;
    // Listener: its own port. Connection: the peer's port.
    virtual unsigned short port() = 0;
    // Readies a descriptor for a Gnutella link before connect: transfer
    // and send modes off, so small writes go out at once.
    virtual int prepareLink() = 0;
    // Hints; neither holds data back. Send mode on (as a new descriptor
    // starts) gathers the small writes of a burst, which go out together
    // at once after; off hands each write to the system as it comes.
    // Transfer mode on bounds the backlog closer (128 KiB): send refuses
    // sooner, so a bulk sender goes at the peer's pace.
    virtual int setSendMode(bool on) = 0;
    virtual int setTransferMode(bool on) = 0;
    // The Winsock error of the last failure or of the end of a connection
    // (0 after an orderly close; a broken connection ends idle, not failed).
    virtual int lastError() = 0;
    // Nonzero while listening, connecting or connected.
    virtual int isOpen() = 0;
    // No proxy support: these change nothing and return 0.
    virtual int setProxyServer(const char* host, unsigned short port) = 0;
    virtual int setProxyType(int type) = 0;
    virtual int setProxyAuth(const char* user, const char* password) = 0;
};

// The buffers a descriptor has waiting to go out.
struct IOutQueue : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::net::IOutQueue *";
    // Buffers (one per accepted send) not yet fully handed to the system.
    virtual unsigned long size() = 0;
};

// Reached from a descriptor with interfaceCast.
struct IPrivateBaseDescriptor : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::net::IPrivateBaseDescriptor *";
    // Lives as long as the descriptor; no reference added.
    virtual IOutQueue* outQueue() = 0;
};

struct ICommunications : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::net::ICommunications *";
    // A new descriptor (count 0) of the class "vesk::net::tcp"; null for any
    // other class name.
    virtual Igeneric* createDescriptor(const char* className, IentityToken* owner) = 0;
};

}  // namespace net
}  // namespace vesk
