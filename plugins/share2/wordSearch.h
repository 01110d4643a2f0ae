// The words of a search query and the matcher that finds one word in a
// text in time linear in the text, whatever the word.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vesk::share2 {

// Splits a query into lower-case words at blanks; empty words are dropped.
std::vector<std::string> splitQuery(const char* query);

// One word, found with a table of its borders (Knuth, Morris and Pratt):
// a search makes at most twice as many comparisons as the text has
// characters, so a word built to make it slow cannot.
class wordMatcher {
public:
    explicit wordMatcher(std::string word);  // not empty

    const std::string& word() const { return word_; }
    // The first occurrence of the word in [begin, end), or null.
    const char* findIn(const char* begin, const char* end) const;

private:
    std::string word_;
    // border_[i]: the length of the longest proper prefix of the word's
    // first i + 1 characters that also ends them.
    std::vector<size_t> border_;
};

// A query's distinct words, longest first (the longest is usually the
// rarest, so it is the one looked for in the whole text).
class queryWords {
public:
    // More distinct words than any real query has: the network answers
    // queries of at most 80 characters, so of at most 40 words. A query
    // with more matches nothing; answering it with some of its words
    // would hand out files that lack the others.
    static constexpr size_t maximum = 64;

    explicit queryWords(const char* query);

    bool matchesNothing() const { return tooMany_; }
    // Empty for a query of blanks, which every file matches.
    const std::vector<wordMatcher>& words() const { return words_; }

private:
    std::vector<wordMatcher> words_;
    bool tooMany_ = false;
};

}  // namespace vesk::share2
