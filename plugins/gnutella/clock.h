// The module's one source of time: milliseconds of the system tick count.
// Tests replace it to drive time-outs and throttles without waiting.
#pragma once

namespace vesk::gnutella {

using tickSource = unsigned long (*)();

// The current tick in milliseconds (wraps like GetTickCount: compare ticks
// by unsigned difference).
unsigned long TickNow();

// Replaces the source; null puts the system tick count back.
void SetTickSource(tickSource source);

}  // namespace vesk::gnutella
