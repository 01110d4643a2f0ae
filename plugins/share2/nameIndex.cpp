#include "plugins/share2/nameIndex.h"

#include <algorithm>

#include "plugins/share2/shareTree.h"

namespace vesk::share2 {

nameIndex::nameIndex(const std::vector<CShareDirectory*>& shares, unsigned version) : version_(version) {
    for (const CShareDirectory* share : shares)
        add(share);
}

void nameIndex::add(const CShareDirectory* folder) {
    for (const CShareDirectory* sub : folder->subfolders())
        add(sub);
    for (CShareFile* file : folder->files()) {
        names_ += file->lowerName();
        names_ += '\0';
        starts_.push_back(names_.size());
        files_.push_back(file);
    }
}

bool nameIndex::holdsTheOtherWords(size_t i, const std::vector<wordMatcher>& words) const {
    for (size_t w = 1; w < words.size(); ++w)
        if (!words[w].findIn(nameBegin(i), nameEnd(i)))
            return false;
    return true;
}

void nameIndex::search(const queryWords& query, const std::atomic<int>& stop, const std::function<void()>& pause,
                       const std::function<void(CShareFile*)>& take) const {
    if (query.matchesNothing())
        return;
    for (size_t first = 0; first < files_.size(); first += namesPerPause) {
        searchRun(first, std::min(first + namesPerPause, files_.size()), query.words(), take);
        pause();
        if (stop.load())
            return;
    }
}

// The first word is looked for in the whole run of names at once; only the
// names it occurs in are tested for the others. The run is searched on
// from where the last match's name ends, so no text is passed twice.
void nameIndex::searchRun(size_t first, size_t last, const std::vector<wordMatcher>& words,
                          const std::function<void(CShareFile*)>& take) const {
    if (words.empty()) {
        for (size_t i = first; i < last; ++i)
            if (files_[i]->isShared())
                take(files_[i]);
        return;
    }
    const char* const runEnd = nameBegin(last);
    size_t i = first;
    for (const char* at = nameBegin(first); const char* hit = words[0].findIn(at, runEnd);) {
        const size_t offset = static_cast<size_t>(hit - names_.data());
        while (starts_[i + 1] <= offset)
            ++i;
        if (holdsTheOtherWords(i, words) && files_[i]->isShared())
            take(files_[i]);
        at = nameBegin(++i);
    }
}

}  // namespace vesk::share2
