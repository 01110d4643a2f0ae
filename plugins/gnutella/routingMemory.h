// One link's routing memory: the GUIDs of the descriptors received on it
// and of those this node sent on it, per descriptor kind, and the servent
// identifiers of the query hits that came over it. Each memory keeps its
// entries in arrival order and holds at most its capacity: a new entry
// pushes the oldest out.
//
// The active host thread routes with it; other threads ask it too (a push
// request looks for the link that saw a servent, a new link or a ping from
// the host window records what was sent, a closed link is forgotten), so
// it carries a lock of its own, taken inside every operation and last in
// the module's lock order.
#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <set>

#include "plugins/gnutella/guid16.h"
#include "plugins/gnutella/statusTracker.h"

namespace vesk::gnutella {

// Entries per memory, by kind (ping, pong, query, query hit, push); the
// servent identifiers are held to the query hit figure.
constexpr std::size_t routeCapacity[kind::count] = {400, 400, 2000, 2500, 2200};
constexpr std::size_t serventCapacity = 2500;

// GUIDs in arrival order, found by value; never more than the capacity.
class guidMemory {
public:
    explicit guidMemory(std::size_t capacity = 0) : capacity_(capacity) {}
    // True when added, false when it was there already.
    bool Add(const guid16& id);
    bool Has(const guid16& id) const { return ids_.count(id) != 0; }
    std::size_t Size() const { return order_.size(); }
    void Clear();

private:
    std::size_t capacity_;
    std::set<guid16> ids_;
    std::deque<guid16> order_;  // oldest first
};

class CRoutingMemory {
public:
    CRoutingMemory();

    // 1 when added, 0 when the GUID was there already, -1 for a kind
    // outside 0..4.
    int AddReceived(unsigned descriptorKind, const guid16& id);
    int AddSent(unsigned descriptorKind, const guid16& id);
    bool HasReceived(unsigned descriptorKind, const guid16& id) const;
    bool HasSent(unsigned descriptorKind, const guid16& id) const;
    std::size_t ReceivedSize(unsigned descriptorKind) const;

    void AddServent(const guid16& servent);
    bool HasServent(const guid16& servent) const;

    // Forgets everything (the link was closed).
    void Clear();

private:
    mutable std::mutex lock_;
    guidMemory received_[kind::count];
    guidMemory sent_[kind::count];
    guidMemory servents_;
};

}  // namespace vesk::gnutella
