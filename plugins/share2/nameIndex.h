// The word search's view of the tree: the lower-case name of every file
// under the shares in one block of text, in the order a search reports
// them (share by share, a folder's subfolders before its own files), each
// name ended by a NUL. Looking for a word in one block instead of in
// 100,000 strings spread over the heap is what makes a search fast, and a
// word never spans two names.
//
// Built whole from the tree under its lock and never changed after, so a
// search reads it without a lock while the tree changes; active flags are
// read as the search meets each match.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "plugins/share2/wordSearch.h"

namespace vesk::share2 {

class CShareDirectory;
class CShareFile;

class nameIndex {
public:
    // Names looked at between two pauses of a search.
    static constexpr size_t namesPerPause = 2048;

    nameIndex() = default;  // no files
    // Under the tree's lock. version: the tree's structure version now.
    nameIndex(const std::vector<CShareDirectory*>& shares, unsigned version);

    unsigned version() const { return version_; }
    size_t size() const { return files_.size(); }

    // Hands take the still shared files (CShareObj::isShared) whose names
    // contain every word, in order. After each run of up to namesPerPause
    // names calls pause, and ends early once stop is nonzero.
    void search(const queryWords& query, const std::atomic<int>& stop, const std::function<void()>& pause,
                const std::function<void(CShareFile*)>& take) const;

private:
    void add(const CShareDirectory* folder);
    // Names first .. last - 1.
    void searchRun(size_t first, size_t last, const std::vector<wordMatcher>& words,
                   const std::function<void(CShareFile*)>& take) const;
    // Whether name i holds every word after the first.
    bool holdsTheOtherWords(size_t i, const std::vector<wordMatcher>& words) const;
    const char* nameBegin(size_t i) const { return names_.data() + starts_[i]; }
    // The name's NUL.
    const char* nameEnd(size_t i) const { return names_.data() + starts_[i + 1] - 1; }

    unsigned version_ = 0;
    std::string names_;
    std::vector<size_t> starts_{0};  // name i: [starts_[i], starts_[i + 1] - 1)
    std::vector<CShareFile*> files_;
};

}  // namespace vesk::share2
