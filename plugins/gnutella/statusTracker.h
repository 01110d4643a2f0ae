// What the module is busy with: the rows of the connections being set up,
// the links up in each direction and the running downloads and uploads,
// with the link counters the connection limits are held against, and the
// descriptors counted per kind. Each change ends in a status refresh
// (UpdateTray), made after the tracker's lock is let go: the refresh calls
// the user interface.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "vesk/ss.h"

namespace vesk::gnutella {

// Descriptor kinds as the counters index them.
namespace kind {
constexpr unsigned ping = 0;
constexpr unsigned pong = 1;
constexpr unsigned query = 2;
constexpr unsigned queryHit = 3;
constexpr unsigned push = 4;
constexpr unsigned count = 5;
}  // namespace kind

// One consistent view of the tracker, for the status refresh.
struct trackerCounts {
    std::uint32_t links = 0;  // links up in total
    std::uint32_t incomingLinks = 0;
    std::uint32_t outgoingLinks = 0;
    std::uint32_t connecting = 0;
    std::uint32_t downloads = 0;
    std::uint32_t uploads = 0;
};

class CStatusTracker {
public:
    CStatusTracker() = default;
    // The rows' references are given back by the Untrack operations or by
    // Clear, never here: at process exit the agents' module may be gone.
    virtual ~CStatusTracker() = default;
    CStatusTracker(const CStatusTracker&) = delete;
    CStatusTracker& operator=(const CStatusTracker&) = delete;

    // Each Track takes a reference to the row unless the list holds it
    // already; each Untrack gives the list's reference back when the row is
    // there. Both refresh the status either way.
    void TrackConnectingHost(ss::IAgent* row);
    void UntrackConnectingHost(ss::IAgent* row);
    void TrackOutgoingLink(ss::IAgent* row);
    void UntrackOutgoingLink(ss::IAgent* row);
    // Tracking an incoming link also sets m_IncomingLinkSeen for good.
    void TrackIncomingLink(ss::IAgent* row);
    void UntrackIncomingLink(ss::IAgent* row);
    void TrackDownload(ss::IAgent* row);
    void UntrackDownload(ss::IAgent* row);
    void TrackUpload(ss::IAgent* row);
    void UntrackUpload(ss::IAgent* row);
    // Tracks the row as a running download only while fewer than limit run
    // (a row tracked already stays); whether it is tracked now. Checked and
    // added at once, so that two threads cannot both take the last slot.
    // No status refresh: the caller makes one once its locks are let go.
    bool TrackDownloadWithin(ss::IAgent* row, std::uint32_t limit);

    // One more descriptor of the kind (taken modulo 256; 0 to 4) sent or
    // received; the new count, 0 for another kind (nothing counted).
    std::uint32_t CountSent(unsigned descriptorKind);
    std::uint32_t CountReceived(unsigned descriptorKind);
    std::uint32_t SentCount(unsigned descriptorKind) const;
    std::uint32_t ReceivedCount(unsigned descriptorKind) const;

    trackerCounts Counts() const;
    // Gives back every row's reference and zeroes the link counters, without
    // a status refresh (the module is unloading).
    void Clear();

    // Set when an incoming link was first tracked; query hits report it.
    std::atomic<bool> m_IncomingLinkSeen{false};

private:
    enum listId { connecting, outgoing, incoming, downloads, uploads, listCount };

    void track(listId list, ss::IAgent* row);
    void untrack(listId list, ss::IAgent* row);
    trackerCounts countsLocked() const;

    mutable std::mutex lock_;
    std::vector<ss::IAgent*> lists_[listCount];  // one reference held per row
    std::uint32_t linkCount_ = 0;
    std::uint32_t outgoingLinkCount_ = 0;
    std::uint32_t incomingLinkCount_ = 0;
    std::atomic<std::uint32_t> sent_[kind::count] = {};
    std::atomic<std::uint32_t> received_[kind::count] = {};
};

}  // namespace vesk::gnutella
