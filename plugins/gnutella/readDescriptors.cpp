#include "plugins/gnutella/readDescriptors.h"

#include <windows.h>

#include <memory>
#include <string>

#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaPacket.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/dropCounts.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/handlePacket.h"
#include "plugins/gnutella/linkControl.h"
#include "plugins/gnutella/peerReader.h"

namespace vesk::gnutella {

namespace {

// The received bytes from the buffer's position on; false when none came.
bool receiveChunk(net::ITCPDescriptor* link, byteRun& chunk) {
    ref<net::INetDataBuffer> received = ref<net::INetDataBuffer>::adopt(link->receive());
    if (!received)
        return false;
    peerReader bytes = peerReader::AtPosition(received.get());
    std::size_t n = bytes.Remaining();
    const unsigned char* all = bytes.Bytes(n);
    chunk.Clear();
    if (all)
        chunk.data.assign(all, all + n);
    return true;
}

// Another copy of this program announces itself by its marked GUIDs.
void noteOwnKind(const CGnutellaPacket& packet) {
    bool asks = packet.Function() == function::ping || packet.Function() == function::query;
    if (asks && packet.Hops() == 0 && IsMarkedGuid(packet.Guid()))
        OutputDebugStringA("*** GNUTELLA *** Pelloran 1.0 client found ***\r\n");
}

// The descriptor's bytes as log text: up to the first zero byte, control
// characters shown as dots so that a peer cannot write log lines.
std::string dumpText(const unsigned char* bytes, std::size_t size) {
    std::string text;
    for (std::size_t i = 0; i < size && bytes[i] != 0; ++i)
        text.push_back(bytes[i] < 0x20 || bytes[i] == 0x7F ? '.' : static_cast<char>(bytes[i]));
    return text;
}

int dropLink(CGnutellaHost* host) {
    host->m_Framing.leftover.Clear();
    host->m_Framing.partial.clear();
    CloseHost(host);
    if (net::ITCPDescriptor* link = host->m_Link) {
        link->shutdownLink();
        link->releaseLink();
    }
    return 1;
}

CGnutellaPacket* packetOf(const CGnutellaHost* host, const unsigned char* bytes, std::size_t size) {
    CGnutellaPacket* packet = ClonePacketBytes(bytes, size);
    if (!packet)
        return nullptr;
    std::copy(host->m_Address, host->m_Address + 4, packet->m_SourceAddress);
    packet->m_SourcePort = host->m_Port;
    packet->m_SourceHost = host->m_Id;
    return packet;
}

}  // namespace

int SafeHandlePacket(CGnutellaHost* host, CGnutellaPacket* packet, const unsigned char* bytes, std::size_t size,
                     packetHandler handle) {
    if (!host)
        return 0;
    try {
        return handle(host, packet, bytes, size);
    } catch (...) {
    }
    CountDrop(dropReason::handlerFailure);
    try {
        LogLine(("Exception thrown in handle_packet() - packet size: " + std::to_string(size) +
                 " Data Dump: \r\n" + dumpText(bytes, size) + "\r\n")
                    .c_str());
    } catch (...) {
    }
    if (host->m_Framing.exceptions++ >= handlerFailureLimit)
        CloseHost(host);
    host->m_Framing.leftover.Clear();
    host->m_Framing.partial.clear();
    return 0;
}

int ReadDescriptors(CGnutellaHost* host, packetHandler handle) {
    if (!host)
        return 1;
    net::ITCPDescriptor* link = host->m_Link;
    framingState& state = host->m_Framing;
    byteRun chunk;
    if (!state.leftover.Empty()) {
        chunk = std::move(state.leftover);
        state.leftover.Clear();
    } else if (!link) {
        return 1;
    } else if (!receiveChunk(link, chunk)) {
        return link->status() != net::status::connected ? 1 : 0;
    } else if (chunk.Empty()) {
        return 0;
    }

    frameVerdict verdict = FrameChunk(state, chunk, g_Settings.m_MaxTTLAllowed);
    if (verdict.what == frameVerdict::waiting)
        return 0;
    if (verdict.what == frameVerdict::garbage) {
        CountDrop(dropReason::garbage);
        bool tooMuch = CountGarbageChunk(host->m_GarbageCount, host->m_DroppedCount, state.zeroHopGarbage,
                                         chunk.Begin()[header::hops]);
        return tooMuch ? dropLink(host) : 0;
    }

    std::unique_ptr<CGnutellaPacket> packet(packetOf(host, chunk.Begin(), verdict.size));
    if (!packet)
        return 0;
    noteOwnKind(*packet);
    int result = SafeHandlePacket(host, packet.get(), chunk.Begin(), verdict.size, handle);
    if (result == 0)
        return 0;  // what follows is not read
    chunk.start += verdict.size;
    if (!chunk.Empty())
        state.leftover = std::move(chunk);
    else
        Sleep(1);
    return 0;
}

int ReadDescriptors(CGnutellaHost* host) {
    return ReadDescriptors(host, &handle_packet);
}

}  // namespace vesk::gnutella
