#include "plugins/gnutella/routingMemory.h"

namespace vesk::gnutella {

bool guidMemory::Add(const guid16& id) {
    if (capacity_ == 0 || !ids_.insert(id).second)
        return false;
    order_.push_back(id);
    if (order_.size() > capacity_) {
        ids_.erase(order_.front());
        order_.pop_front();
    }
    return true;
}

void guidMemory::Clear() {
    ids_.clear();
    order_.clear();
}

CRoutingMemory::CRoutingMemory() : servents_(serventCapacity) {
    for (unsigned k = 0; k < kind::count; ++k) {
        received_[k] = guidMemory(routeCapacity[k]);
        sent_[k] = guidMemory(routeCapacity[k]);
    }
}

int CRoutingMemory::AddReceived(unsigned descriptorKind, const guid16& id) {
    if (descriptorKind >= kind::count)
        return -1;
    std::lock_guard<std::mutex> hold(lock_);
    return received_[descriptorKind].Add(id) ? 1 : 0;
}

int CRoutingMemory::AddSent(unsigned descriptorKind, const guid16& id) {
    if (descriptorKind >= kind::count)
        return -1;
    std::lock_guard<std::mutex> hold(lock_);
    return sent_[descriptorKind].Add(id) ? 1 : 0;
}

bool CRoutingMemory::HasReceived(unsigned descriptorKind, const guid16& id) const {
    if (descriptorKind >= kind::count)
        return false;
    std::lock_guard<std::mutex> hold(lock_);
    return received_[descriptorKind].Has(id);
}

bool CRoutingMemory::HasSent(unsigned descriptorKind, const guid16& id) const {
    if (descriptorKind >= kind::count)
        return false;
    std::lock_guard<std::mutex> hold(lock_);
    return sent_[descriptorKind].Has(id);
}

std::size_t CRoutingMemory::ReceivedSize(unsigned descriptorKind) const {
    if (descriptorKind >= kind::count)
        return 0;
    std::lock_guard<std::mutex> hold(lock_);
    return received_[descriptorKind].Size();
}

void CRoutingMemory::AddServent(const guid16& servent) {
    std::lock_guard<std::mutex> hold(lock_);
    servents_.Add(servent);
}

bool CRoutingMemory::HasServent(const guid16& servent) const {
    std::lock_guard<std::mutex> hold(lock_);
    return servents_.Has(servent);
}

void CRoutingMemory::Clear() {
    std::lock_guard<std::mutex> hold(lock_);
    for (unsigned k = 0; k < kind::count; ++k) {
        received_[k].Clear();
        sent_[k].Clear();
    }
    servents_.Clear();
}

}  // namespace vesk::gnutella
