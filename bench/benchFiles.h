// Generated shares for the benchmarks: many empty files with names a
// search can find.
#pragma once

#include <functional>
#include <string>

namespace vesk::bench {

// count empty files named by name(i), in folders of perFolder (all in
// folder itself when perFolder is 0).
void makeFiles(const std::string& folder, unsigned count, unsigned perFolder,
               const std::function<std::string(unsigned)>& name);

// "artist<i % 97> - track <i, five digits> - song<i % 13>.mp3"
std::string trackName(unsigned i);

}  // namespace vesk::bench
