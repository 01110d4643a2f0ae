// The word search against the walk it replaces, its word matcher, the cap
// on query words, and look-ups while searches run.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "plugins/share2/tests/plainWalk.h"
#include "plugins/share2/tests/shareTestSupport.h"
#include "plugins/share2/tests/shareTreeFixture.h"
#include "plugins/share2/wordSearch.h"

namespace vesk::share2::test {
namespace {

// Every text of up to 7 letters and every word of up to 4 over a, b: the
// borders in them (aab in aaab, abab in ababab) are where a matcher that
// restarts wrongly misses an occurrence.
TEST(WordMatcher, FindsTheFirstOccurrenceAsAPlainScanDoes) {
    auto allOver = [](size_t longest) {
        std::vector<std::string> all{""};
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i].size() < longest)
                for (char c : {'a', 'b'})
                    all.push_back(all[i] + c);
        return all;
    };
    for (const std::string& word : allOver(4)) {
        if (word.empty())
            continue;
        wordMatcher matcher(word);
        for (const std::string& text : allOver(7)) {
            const char* hit = matcher.findIn(text.data(), text.data() + text.size());
            size_t at = hit ? static_cast<size_t>(hit - text.data()) : std::string::npos;
            EXPECT_EQ(at, text.find(word)) << word << " in " << text;
        }
    }
}

// Three shares: one recursive with a nested subfolder, a removed file and
// a removed subfolder; one not recursive over a subfolder; one taken off
// the share list.
class SearchTree : public ShareTree {
protected:
    void SetUp() override {
        ShareTree::SetUp();
        second_ = dir_.file("Second");
        third_ = dir_.file("Third");
        for (const std::string& folder : {root_ + "\\Sub", root_ + "\\Sub\\Deep", root_ + "\\Gone", second_,
                                          second_ + "\\Sub", third_})
            ASSERT_TRUE(makeFolder(folder));
        for (const std::string& file :
             {root_ + "\\Live At Home - Track 01.MP3", root_ + "\\live at home - track 02.mp3",
              root_ + "\\Studio Mix.mp3", root_ + "\\notes.txt", root_ + "\\ab ab.txt", root_ + "\\removed live.mp3",
              root_ + "\\Sub\\Live Track 03.mp3", root_ + "\\Sub\\Cover.JPG", root_ + "\\Sub\\Deep\\deep live mix.mp3",
              root_ + "\\Gone\\gone live.mp3", second_ + "\\other LIVE.mp3", second_ + "\\Sub\\under flat.mp3",
              third_ + "\\third live.mp3"})
            ASSERT_TRUE(makeFile(file, "x"));
        share(root_, true);
        share(second_, false);
        share(third_, true);
        ASSERT_TRUE(DeleteFileA((root_ + "\\removed live.mp3").c_str()));
        ASSERT_TRUE(vesk::testing::removeTree(root_ + "\\Gone"));
        std::string list = dir_.file("shares.ini");
        ASSERT_TRUE(makeFile(list, "[Share0]\r\nPath=" + root_ + "\r\nRecursive=1\r\n[Share1]\r\nPath=" + second_ +
                                       "\r\nRecursive=0\r\n"));
        ASSERT_EQ(engine_->reloadConfig(list.c_str()), 1);  // rescans the two, drops the third
    }
    std::string second_, third_;
};

TEST_F(SearchTree, FindsWhatTheWalkFinds) {
    struct {
        const char* query;
        size_t files;
    } cases[] = {
        {"mp3", 6},
        {"MP3", 6},
        {"live", 5},
        {"LIVE Live live", 5},
        {"live live live live live", 5},
        {"  live   mp3  ", 5},
        {"track 0", 3},
        {"mix live", 1},
        {"home track at live", 2},
        {"ab ab", 1},
        {" - ", 2},
        {".mp3 3", 6},
        {"   ", 9},  // no word at all: every shared file
        {"xyz", 0},
        {"live xyz", 0},
        {"gone", 0},
        {"removed", 0},
        {"third", 0},
        {"under flat", 0},
    };
    for (const auto& c : cases) {
        std::vector<IShareObj*> walked;
        for (CShareFile* file : plainWalkSearch(engine_->tree(), c.query))
            walked.push_back(file);
        std::vector<IShareObj*> searched;
        ASSERT_TRUE(foundObjects(c.query, searched)) << c.query;
        EXPECT_EQ(searched, walked) << c.query;
        EXPECT_EQ(searched.size(), c.files) << c.query;
    }
}

// A name holding more distinct words than the cap, and queries of its
// substrings: at the cap it is found, repeated words count once, and one
// word more matches nothing.
TEST_F(ShareTree, QueryWordsAreCappedAndRepeatsCountOnce) {
    const std::string name = "abcdefghijklmnopqrstuvwxyz0123456789";
    ASSERT_TRUE(makeFile(root_ + "\\" + name, "x"));
    share(root_, false);
    std::vector<std::string> words;
    for (size_t length = 1; words.size() <= queryWords::maximum; ++length)
        for (size_t at = 0; at + length <= name.size() && words.size() <= queryWords::maximum; ++at)
            words.push_back(name.substr(at, length));
    auto query = [&](size_t count, int repeats) {
        std::string text;
        for (int r = 0; r < repeats; ++r)
            for (size_t w = 0; w < count; ++w)
                text += words[w] + " ";
        return text;
    };
    EXPECT_EQ(found(query(queryWords::maximum, 1).c_str()), std::vector<std::string>{name});
    EXPECT_EQ(found(query(queryWords::maximum, 3).c_str()), std::vector<std::string>{name});
    EXPECT_EQ(found(query(queryWords::maximum + 1, 1).c_str()), std::vector<std::string>{});
}

// Two threads search back to back, each held in its pause between runs
// of names until let go. Look-ups made while a search is held there
// return without waiting for it to end.
TEST_F(ShareTree, LookupsDoNotWaitForSearchesInProgress) {
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(makeFile(root_ + "\\track " + std::to_string(i) + ".mp3", "track " + std::to_string(i)));
    share(root_, true);
    hashEverything();
    IShareObj* track = byName("track 7.mp3");
    ASSERT_NE(track, nullptr);
    const std::string hash = referenceHashText("track 7");
    const unsigned total = engine_->totalSize();

    std::atomic<int> held{0};
    std::atomic<bool> letGo{false}, done{false};
    engine_->tree().setSearchPause([&] {
        ++held;
        waitUntil([&] { return letGo.load(); }, 30000);
        --held;
    });
    auto searchBackToBack = [&] {
        while (!done)
            if (Ivector* result = engine_->search("track"))
                result->release();
    };
    std::thread first(searchBackToBack), second(searchBackToBack);
    bool searching = waitUntil([&] { return held.load() > 0; });

    std::atomic<bool> looked{false};
    IShareObj *byId = nullptr, *byHash = nullptr;
    unsigned size = 0;
    std::thread lookups([&] {
        byId = engine_->objectById(track->getId());
        byHash = engine_->fileByHash(hash.c_str());
        size = engine_->totalSize();
        looked = true;
    });
    bool returned = waitUntil([&] { return looked.load(); });
    int stillHeld = held.load();
    done = true;
    letGo = true;
    first.join();
    second.join();
    lookups.join();

    ASSERT_TRUE(searching);
    EXPECT_TRUE(returned);
    EXPECT_GT(stillHeld, 0);
    EXPECT_EQ(byId, track);
    EXPECT_EQ(byHash, track);
    EXPECT_EQ(size, total);
}

}  // namespace
}  // namespace vesk::share2::test
