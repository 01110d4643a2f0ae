#include "plugins/share2/wordSearch.h"

#include <algorithm>

#include "core/text.h"

namespace vesk::share2 {

std::vector<std::string> splitQuery(const char* query) {
    std::vector<std::string> words;
    std::string lower = lowerCase(query ? query : "");
    size_t start = 0;
    while (start <= lower.size()) {
        size_t blank = lower.find(' ', start);
        if (blank == std::string::npos)
            blank = lower.size();
        if (blank > start)
            words.push_back(lower.substr(start, blank - start));
        start = blank + 1;
    }
    return words;
}

wordMatcher::wordMatcher(std::string word) : word_(std::move(word)), border_(word_.size(), 0) {
    size_t k = 0;
    for (size_t i = 1; i < word_.size(); ++i) {
        while (k > 0 && word_[i] != word_[k])
            k = border_[k - 1];
        if (word_[i] == word_[k])
            ++k;
        border_[i] = k;
    }
}

const char* wordMatcher::findIn(const char* begin, const char* end) const {
    const size_t length = word_.size();
    const char first = word_[0];
    size_t matched = 0;
    for (const char* p = begin; p < end; ++p) {
        if (matched == 0) {
            // Most of a text is passed over here.
            while (p < end && *p != first)
                ++p;
            if (p == end)
                return nullptr;
            matched = 1;
        } else {
            while (matched > 0 && *p != word_[matched])
                matched = border_[matched - 1];
            if (*p == word_[matched])
                ++matched;
        }
        if (matched == length)
            return p + 1 - length;
    }
    return nullptr;
}

queryWords::queryWords(const char* query) {
    std::vector<std::string> words = splitQuery(query);
    std::sort(words.begin(), words.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() > b.size() : a < b;
    });
    words.erase(std::unique(words.begin(), words.end()), words.end());
    if (words.size() > maximum) {
        tooMany_ = true;
        return;
    }
    words_.reserve(words.size());
    for (std::string& word : words)
        words_.emplace_back(std::move(word));
}

}  // namespace vesk::share2
