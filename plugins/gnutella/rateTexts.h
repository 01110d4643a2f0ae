// The texts a transfer row shows for sizes, speeds, time left and the busy
// countdown. Counts are 64-bit and printed without the C library's
// integer formats, which differ between run-time libraries. No state.
#pragma once

#include <cstdint>
#include <string>

namespace vesk::gnutella {

// "%.2f" of the count in Bytes, KB, MB or GB: each step up is taken only
// above 1024, so 1024 bytes read "1024.00 Bytes".
std::string SizeText(std::uint64_t bytes);

// The same steps for a speed in bytes per second: "2.00 KB/Sec".
std::string SpeedText(double bytesPerSecond);

// "<s> sec" up to 60 seconds, "<m> min, <s> sec" up to 60 minutes, else
// "<h> hours, <m> min, <s> sec".
std::string TimeLeftText(std::uint64_t seconds);

// The busy countdown: hours and minutes only when not 0, then seconds,
// each with its letter and a blank: "1h 2m 3s ", "5s ".
std::string CountdownText(std::uint64_t seconds);

// label, " (", the size of done, " of ", the size of total, ")".
std::string ProgressText(const char* label, std::uint64_t done, std::uint64_t total);

// label, " (", the size of done, ")".
std::string CompletionText(const char* label, std::uint64_t done);

}  // namespace vesk::gnutella
