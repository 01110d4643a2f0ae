#include "plugins/gnutella/dropCounts.h"

#include <atomic>

namespace vesk::gnutella {

namespace {

constexpr auto reasonCount = static_cast<std::size_t>(dropReason::count);
std::atomic<std::uint32_t> counts[reasonCount] = {};

std::size_t indexOf(dropReason reason) {
    auto i = static_cast<std::size_t>(reason);
    return i < reasonCount ? i : reasonCount;
}

}  // namespace

void CountDrop(dropReason reason) {
    std::size_t i = indexOf(reason);
    if (i < reasonCount)
        ++counts[i];
}

std::uint32_t DropCount(dropReason reason) {
    std::size_t i = indexOf(reason);
    return i < reasonCount ? counts[i].load() : 0;
}

void ResetDropCounts() {
    for (auto& c : counts)
        c = 0;
}

}  // namespace vesk::gnutella
