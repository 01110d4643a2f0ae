// The network module with many connections at once, beside plain sockets:
// time to arrival, CPU while idle, memory held idle, holding a message and
// stalled.
#pragma once

#include <cstddef>

namespace vesk::bench {

void manyLinks(size_t links);

}  // namespace vesk::bench
