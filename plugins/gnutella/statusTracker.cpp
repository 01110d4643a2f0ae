#include "plugins/gnutella/statusTracker.h"

#include <algorithm>

#include "plugins/gnutella/trayStatus.h"

namespace vesk::gnutella {

void CStatusTracker::track(listId list, ss::IAgent* row) {
    trackerCounts after;
    if (row) {
        std::lock_guard<std::mutex> hold(lock_);
        std::vector<ss::IAgent*>& rows = lists_[list];
        if (std::find(rows.begin(), rows.end(), row) == rows.end()) {
            rows.push_back(row);
            row->addRef();
            if (list == outgoing || list == incoming) {
                ++linkCount_;
                ++(list == outgoing ? outgoingLinkCount_ : incomingLinkCount_);
            }
            if (list == incoming)
                m_IncomingLinkSeen = true;
        }
        after = countsLocked();
    } else {
        after = Counts();
    }
    UpdateTray(after);
}

void CStatusTracker::untrack(listId list, ss::IAgent* row) {
    ss::IAgent* released = nullptr;
    trackerCounts after;
    {
        std::lock_guard<std::mutex> hold(lock_);
        std::vector<ss::IAgent*>& rows = lists_[list];
        auto found = std::find(rows.begin(), rows.end(), row);
        if (row && found != rows.end()) {
            rows.erase(found);
            released = row;
            if (list == outgoing || list == incoming) {
                --linkCount_;
                --(list == outgoing ? outgoingLinkCount_ : incomingLinkCount_);
            }
        }
        after = countsLocked();
    }
    if (released)
        released->release();
    UpdateTray(after);
}

void CStatusTracker::TrackConnectingHost(ss::IAgent* row) {
    track(connecting, row);
}
void CStatusTracker::UntrackConnectingHost(ss::IAgent* row) {
    untrack(connecting, row);
}
void CStatusTracker::TrackOutgoingLink(ss::IAgent* row) {
    track(outgoing, row);
}
void CStatusTracker::UntrackOutgoingLink(ss::IAgent* row) {
    untrack(outgoing, row);
}
void CStatusTracker::TrackIncomingLink(ss::IAgent* row) {
    track(incoming, row);
}
void CStatusTracker::UntrackIncomingLink(ss::IAgent* row) {
    untrack(incoming, row);
}
void CStatusTracker::TrackDownload(ss::IAgent* row) {
    track(downloads, row);
}
void CStatusTracker::UntrackDownload(ss::IAgent* row) {
    untrack(downloads, row);
}
void CStatusTracker::TrackUpload(ss::IAgent* row) {
    track(uploads, row);
}
void CStatusTracker::UntrackUpload(ss::IAgent* row) {
    untrack(uploads, row);
}

bool CStatusTracker::TrackDownloadWithin(ss::IAgent* row, std::uint32_t limit) {
    if (!row)
        return false;
    std::lock_guard<std::mutex> hold(lock_);
    std::vector<ss::IAgent*>& rows = lists_[downloads];
    if (std::find(rows.begin(), rows.end(), row) != rows.end())
        return true;
    if (rows.size() >= limit)
        return false;
    rows.push_back(row);
    row->addRef();
    return true;
}

std::uint32_t CStatusTracker::CountSent(unsigned descriptorKind) {
    unsigned k = descriptorKind % 256;
    return k < kind::count ? ++sent_[k] : 0;
}

std::uint32_t CStatusTracker::CountReceived(unsigned descriptorKind) {
    unsigned k = descriptorKind % 256;
    return k < kind::count ? ++received_[k] : 0;
}

std::uint32_t CStatusTracker::SentCount(unsigned descriptorKind) const {
    return descriptorKind < kind::count ? sent_[descriptorKind].load() : 0;
}

std::uint32_t CStatusTracker::ReceivedCount(unsigned descriptorKind) const {
    return descriptorKind < kind::count ? received_[descriptorKind].load() : 0;
}

trackerCounts CStatusTracker::countsLocked() const {
    trackerCounts c;
    c.links = linkCount_;
    c.incomingLinks = incomingLinkCount_;
    c.outgoingLinks = outgoingLinkCount_;
    c.connecting = static_cast<std::uint32_t>(lists_[connecting].size());
    c.downloads = static_cast<std::uint32_t>(lists_[downloads].size());
    c.uploads = static_cast<std::uint32_t>(lists_[uploads].size());
    return c;
}

trackerCounts CStatusTracker::Counts() const {
    std::lock_guard<std::mutex> hold(lock_);
    return countsLocked();
}

void CStatusTracker::Clear() {
    std::vector<ss::IAgent*> rows;
    {
        std::lock_guard<std::mutex> hold(lock_);
        for (std::vector<ss::IAgent*>& list : lists_) {
            rows.insert(rows.end(), list.begin(), list.end());
            list.clear();
        }
        linkCount_ = outgoingLinkCount_ = incomingLinkCount_ = 0;
    }
    for (ss::IAgent* row : rows)
        row->release();
}

}  // namespace vesk::gnutella
