// The share tree through the engine's service operations, without its
// threads: scans, ids, the word search, look-ups, sizes and hashing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "plugins/share2/tests/shareTestSupport.h"
#include "plugins/share2/tests/shareTreeFixture.h"

namespace vesk::share2::test {
namespace {

// A share with A.MP3, b.txt, hidden entries and Sub\c.mp3.
class SmallShare : public ShareTree {
protected:
    void SetUp() override {
        ShareTree::SetUp();
        ASSERT_TRUE(makeFile(root_ + "\\A.MP3", "aaaa"));
        ASSERT_TRUE(makeFile(root_ + "\\b.txt", "bbbbbbbbbb"));
        ASSERT_TRUE(makeFile(root_ + "\\.hidden.mp3", "x"));
        ASSERT_TRUE(makeFolder(root_ + "\\.dots"));
        ASSERT_TRUE(makeFile(root_ + "\\.dots\\d.mp3", "x"));
        ASSERT_TRUE(makeFolder(root_ + "\\Sub"));
        ASSERT_TRUE(makeFile(root_ + "\\Sub\\c.mp3", "cc"));
        ASSERT_EQ(share(root_, true), 1);
    }
};

TEST_F(SmallShare, IdsFollowCreationAndDotNamesAreSkipped) {
    EXPECT_EQ(engine_->objectCount(), 5u);  // share, A.MP3, b.txt, Sub, c.mp3
    IShareObj* top = engine_->objectById(0);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(pathOf(top), sharePath());
    std::set<std::string> names;
    for (unsigned id = 0; id < 5; ++id) {
        IShareObj* o = engine_->objectById(id);
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(o->getId(), id);
        names.insert(pathOf(o));
    }
    EXPECT_EQ(names, (std::set<std::string>{sharePath(), sharePath() + "A.MP3", sharePath() + "b.txt",
                                            sharePath() + "Sub\\", sharePath() + "Sub\\c.mp3"}));
    // A subfolder's contents get the ids right after it.
    IShareObj* c = byName("c.mp3");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(pathOf(engine_->objectById(c->getId() - 1)), sharePath() + "Sub\\");
    EXPECT_EQ(engine_->objectById(5), nullptr);
}

TEST_F(SmallShare, FoldersAnswerEmptyNameAndHash) {
    for (unsigned id = 0; id < engine_->objectCount(); ++id) {
        IShareObj* o = engine_->objectById(id);
        ASSERT_NE(o->getName(), nullptr);
        ASSERT_NE(o->getHash(), nullptr);
        EXPECT_STREQ(o->getHash(), "");  // nothing hashed yet
    }
    EXPECT_STREQ(engine_->objectById(0)->getName(), "");
}

TEST_F(SmallShare, WordSearch) {
    struct { const char* query; std::vector<std::string> names; } cases[] = {
        {"a.mp3", {"A.MP3"}},
        {"A.MP3", {"A.MP3"}},
        {"mp3 sub", {}},  // folder names are not searched
        {"c mp3", {"c.mp3"}},
        {"  mp3  ", {"c.mp3", "A.MP3"}},  // subfolders first
        {"txt", {"b.txt"}},
        {"hidden", {}},
        {"mp", {"<null>"}},
        {"", {"<null>"}},
        {nullptr, {"<null>"}},
        {"xyz", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(found(c.query), c.names) << (c.query ? c.query : "null");
}

TEST_F(SmallShare, DeletedFileLeavesLookupsButKeepsItsIdAndSize) {
    IShareObj* b = byName("b.txt");
    ASSERT_NE(b, nullptr);
    unsigned id = b->getId();
    unsigned size = engine_->totalSize();
    EXPECT_EQ(size, 4u + 10u + 2u);
    ASSERT_TRUE(DeleteFileA((root_ + "\\b.txt").c_str()));

    EXPECT_EQ(share(root_, true), 0);  // known share: scanned again
    EXPECT_EQ(engine_->objectById(id), nullptr);
    EXPECT_EQ(found("txt"), std::vector<std::string>{});
    EXPECT_EQ(engine_->objectCount(), 5u);
    EXPECT_EQ(engine_->totalSize(), size);

    ASSERT_TRUE(makeFile(root_ + "\\B.TXT", "b"));  // the same name again
    share(root_, true);
    EXPECT_EQ(engine_->objectById(id), b);
    EXPECT_EQ(engine_->objectCount(), 5u);
}

// A rescan sets flags only once its listing is complete: one ended by a
// stop leaves what was shared shared, to look-ups that take no lock.
TEST_F(SmallShare, RescanEndedByAStopUnsharesNothing) {
    IShareObj* a = byName("A.MP3");
    IShareObj* c = byName("c.mp3");
    ASSERT_TRUE(a && c);
    engine_->tree().stopFlag().store(1);
    share(root_, true);
    EXPECT_EQ(engine_->objectById(a->getId()), a);
    EXPECT_EQ(engine_->objectById(c->getId()), c);
}

TEST_F(SmallShare, RecursiveFlagDecidesOverSubfolders) {
    EXPECT_EQ(engine_->isRecursive(root_.c_str()), 1);
    EXPECT_EQ(share(root_, false), 0);
    EXPECT_EQ(engine_->isRecursive(root_.c_str()), 0);
    EXPECT_EQ(found("mp3"), std::vector<std::string>{"A.MP3"});
    EXPECT_EQ(byName("c.mp3"), nullptr);  // its own flag is still set
    EXPECT_EQ(share(root_, true), 0);
    EXPECT_EQ(found("mp3"), (std::vector<std::string>{"c.mp3", "A.MP3"}));
}

TEST_F(SmallShare, HashedFilesAreFoundByHash) {
    hashEverything();
    IShareObj* a = byName("A.MP3");
    ASSERT_NE(a, nullptr);
    EXPECT_STREQ(a->getHash(), referenceHashText("aaaa").c_str());
    EXPECT_EQ(engine_->fileByHash(referenceHashText("cc").c_str()), byName("c.mp3"));
    EXPECT_EQ(engine_->fileByHash(lower(referenceHashText("cc")).c_str()), nullptr);  // exact text only
    EXPECT_EQ(engine_->fileByHash(nullptr), nullptr);
    EXPECT_EQ(engine_->fileByHash(""), nullptr);
    EXPECT_STREQ(engine_->objectById(0)->getHash(), "");

    // Neither a file that has gone nor one under a folder no longer shared
    // is handed out.
    ASSERT_TRUE(DeleteFileA((root_ + "\\A.MP3").c_str()));
    share(root_, true);
    EXPECT_EQ(engine_->fileByHash(referenceHashText("aaaa").c_str()), nullptr);
    IShareObj* c = byName("c.mp3");
    share(root_, false);
    EXPECT_EQ(engine_->fileByHash(referenceHashText("cc").c_str()), nullptr);
    EXPECT_EQ(engine_->objectById(c->getId()), nullptr);
    share(root_, true);
    EXPECT_EQ(engine_->fileByHash(referenceHashText("cc").c_str()), c);
}

TEST_F(ShareTree, HashWalkPassesInactiveFilesAndSameContentsGoToTheLastHashed) {
    for (const char* name : {"one", "two", "three", "four"})
        ASSERT_TRUE(makeFile(root_ + "\\" + name, std::string("same")));
    ASSERT_TRUE(makeFile(root_ + "\\other", "other"));
    share(root_, false);
    ASSERT_TRUE(DeleteFileA((root_ + "\\two").c_str()));
    share(root_, false);
    hashEverything();

    unsigned lastSame = 0;
    for (const char* name : {"one", "three", "four"}) {
        IShareObj* f = byName(name);
        ASSERT_NE(f, nullptr);
        EXPECT_STREQ(f->getHash(), referenceHashText("same").c_str()) << name;
        lastSame = std::max(lastSame, f->getId());  // the walk goes in id order
    }
    EXPECT_STREQ(byName("other")->getHash(), referenceHashText("other").c_str());
    EXPECT_EQ(engine_->fileByHash(referenceHashText("same").c_str()), engine_->objectById(lastSame));
}

TEST_F(ShareTree, SizesAddUpOverFoldersAndShares) {
    ASSERT_TRUE(makeFolder(root_ + "\\Empty"));
    ASSERT_TRUE(makeFolder(root_ + "\\Empty\\Inner"));
    ASSERT_TRUE(makeFolder(root_ + "\\Full"));
    ASSERT_TRUE(makeFile(root_ + "\\Full\\x", std::string(300, 'x')));
    ASSERT_TRUE(makeFile(root_ + "\\y", std::string(20, 'y')));
    std::string second = dir_.path() + "\\Second";
    ASSERT_TRUE(makeFolder(second));
    ASSERT_TRUE(makeFile(second + "\\z", std::string(5, 'z')));
    share(root_, true);
    share(second, false);

    auto folder = [&](const std::string& path) {
        for (unsigned id = 0; id < engine_->objectCount(); ++id)
            if (IShareObj* o = engine_->objectById(id); o && pathOf(o) == path)
                return o;
        return static_cast<IShareObj*>(nullptr);
    };
    ASSERT_NE(folder(sharePath() + "Empty\\"), nullptr);
    EXPECT_EQ(folder(sharePath() + "Empty\\")->getSize(), 0u);
    EXPECT_EQ(folder(sharePath() + "Full\\")->getSize(), 300u);
    EXPECT_EQ(folder(sharePath())->getSize(), 320u);
    EXPECT_EQ(engine_->totalSize(), 325u);
}

TEST_F(ShareTree, SharePathsAreNormalisedAndBadSpecsRefused) {
    ASSERT_EQ(share(root_, false), 1);
    std::string upper = root_;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    EXPECT_EQ(share(upper + "\\", true), 0);  // the same folder
    EXPECT_EQ(engine_->isShared((lower(root_) + "\\").c_str()), 1);
    EXPECT_EQ(engine_->isShared(upper.c_str()), 1);
    EXPECT_EQ(engine_->isRecursive(upper.c_str()), 1);
    EXPECT_EQ(engine_->isShared(dir_.path().c_str()), 0);
    EXPECT_EQ(engine_->isShared(nullptr), 0);

    shareSpec unterminated;
    std::memset(unterminated.path, 'a', sizeof unterminated.path);
    unterminated.recursive = 0;
    EXPECT_EQ(engine_->addShare(&unterminated), 0);
    EXPECT_EQ(engine_->addShare(nullptr), 0);
    shareSpec empty{};
    EXPECT_EQ(engine_->addShare(&empty), 0);
    EXPECT_EQ(engine_->objectCount(), 1u);

    shareSpec normal{};
    std::strcpy(normal.path, dir_.path().c_str());
    EXPECT_EQ(engine_->addShare(&normal), 1);
    EXPECT_EQ(std::string(normal.path), lower(dir_.path()) + "\\");  // the form it was kept in
}

// The share list read without the watcher: numbered sections up to the
// first gap, the "Path" and "Recursive" texts, and the time check.
TEST_F(ShareTree, ShareListIsReadUpToTheFirstMissingSection) {
    std::string list = dir_.file("shares.ini");
    EXPECT_EQ(engine_->reloadConfig(list.c_str()), 0) << "no file yet";

    struct {
        const char* folder;
        const char* recursiveLine;  // null: no "Recursive" key
        int shared, recursive;
    } sections[] = {
        {"Music", "Recursive=1", 1, 1},
        {"Docs\\", "Recursive=True", 1, 1},  // given with its backslash
        {nullptr, "Recursive=1", 0, 0},      // no "Path": skipped, reading goes on
        {"Tee", "Recursive=T", 1, 1},
        {"Bare", nullptr, 1, 0},
        {"Yes", "Recursive=yes", 1, 0},
        {"AfterGap", "Recursive=1", 0, 0},   // written as section 7: never read
    };
    std::string text;
    const unsigned count = sizeof sections / sizeof sections[0];
    for (unsigned n = 0; n < count; ++n) {
        const auto& s = sections[n];
        text += "[Share" + std::to_string(n + 1 == count ? n + 1 : n) + "]\r\n";
        if (s.folder) {
            ASSERT_TRUE(makeFolder(dir_.file(s.folder)));
            text += "Path=" + dir_.file(s.folder) + "\r\n";
        }
        if (s.recursiveLine)
            text += std::string(s.recursiveLine) + "\r\n";
    }
    ASSERT_TRUE(makeFile(list, text));

    EXPECT_EQ(engine_->reloadConfig(list.c_str()), 1);
    for (const auto& s : sections) {
        if (!s.folder)
            continue;
        std::string folder = dir_.file(s.folder);
        EXPECT_EQ(engine_->isShared(folder.c_str()), s.shared) << s.folder;
        EXPECT_EQ(engine_->isRecursive(folder.c_str()), s.recursive) << s.folder;
    }
    // Shares are kept in lower case with one trailing backslash.
    EXPECT_EQ(pathOf(engine_->objectById(0)), lower(dir_.file("Music")) + "\\");
    std::vector<std::string> sharePaths;
    for (CShareDirectory* share : engine_->tree().shares())
        sharePaths.push_back(share->fullPath());
    EXPECT_EQ(sharePaths, (std::vector<std::string>{lower(dir_.file("Music\\")), lower(dir_.file("Docs\\")),
                                                    lower(dir_.file("Tee\\")), lower(dir_.file("Bare\\")),
                                                    lower(dir_.file("Yes\\"))}));

    EXPECT_EQ(engine_->reloadConfig(list.c_str()), 0) << "same last-write time: nothing read";
}

// A link back into the share (a loop) and a link to a folder outside it:
// a recursive scan follows neither, ends, and shares each file once.
TEST_F(ShareTree, LinkedFoldersAreNotFollowed) {
    std::string outside = dir_.file("Outside");
    ASSERT_TRUE(makeFile(root_ + "\\top.mp3", "t"));
    ASSERT_TRUE(makeFolder(root_ + "\\Real"));
    ASSERT_TRUE(makeFile(root_ + "\\Real\\inner.mp3", "i"));
    ASSERT_TRUE(makeFolder(outside));
    ASSERT_TRUE(makeFile(outside + "\\outside.mp3", "o"));
    folderLink loop(root_ + "\\Real\\Loop", root_);
    folderLink away(root_ + "\\Away", outside);
    if (!loop.made() || !away.made())
        GTEST_SKIP() << "folder links cannot be made here";

    ASSERT_EQ(share(root_, true), 1);
    EXPECT_EQ(found("mp3"), (std::vector<std::string>{"inner.mp3", "top.mp3"}));
    EXPECT_EQ(engine_->objectCount(), 4u);  // the share, Real, inner.mp3, top.mp3
    share(root_, true);
    EXPECT_EQ(engine_->objectCount(), 4u);
}

// Sizes travel in 32-bit fields: from 4 GiB on a file is not shared, and
// the log says so once, however often the folder is listed.
TEST_F(ShareTree, FilesOf4GiBOrMoreAreLeftOutAndLoggedOnce) {
    std::vector<std::string> log;
    engine_->tree().setLog([&](const char* line) { log.push_back(line); });
    struct {
        const char* name;
        unsigned long long size;
        bool shared;
    } files[] = {
        {"just under.bin", 0xFFFFFFFFull, true},
        {"four.bin", 0x100000000ull, false},
        {"five.bin", 0x140000000ull, false},
    };
    for (const auto& f : files)
        ASSERT_TRUE(makeSparseFile(root_ + "\\" + f.name, f.size)) << f.name;
    share(root_, false);
    share(root_, false);

    for (const auto& f : files)
        EXPECT_EQ(byName(f.name) != nullptr, f.shared) << f.name;
    EXPECT_EQ(engine_->totalSize(), 0xFFFFFFFFu);
    ASSERT_EQ(log.size(), 2u);
    std::string both = log[0] + "|" + log[1];
    EXPECT_NE(both.find(sharePath() + "four.bin"), std::string::npos) << both;
    EXPECT_NE(both.find("five.bin"), std::string::npos) << both;
    EXPECT_EQ(log[0].rfind("SHARE2: ", 0), 0u) << log[0];
}

// Entries whose full path would reach the platform's limit are left out.
TEST_F(ShareTree, OverlongPathsAreSkipped) {
    std::string deep = root_;
    while (deep.size() < 240) {
        deep += "\\" + std::string(std::min<size_t>(30, 240 - deep.size()), 'd');
        ASSERT_TRUE(makeFolder(deep)) << deep;
    }
    ASSERT_TRUE(makeFile(deep + "\\short", "s"));
    // Only the wide calls with the long-path prefix make these.
    std::string longFile = deep + "\\" + std::string(30, 'n');
    std::string longFolder = longFile + "dir";
    ASSERT_TRUE(makeLongPathFile(longFile));
    ASSERT_TRUE(makeLongPathFolder(longFolder));
    ASSERT_EQ(share(deep, true), 1);

    EXPECT_EQ(engine_->objectCount(), 2u);  // the share and "short"
    IShareObj* file = byName("short");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(pathOf(file), lower(deep) + "\\short");
    EXPECT_EQ(found("nnn"), std::vector<std::string>{});

    // getPath never writes past the 260 bytes when the buffer holds text.
    char out[pathBufferSize] = {};
    std::memset(out, 'x', 100);
    file->getPath(out);
    EXPECT_EQ(std::strlen(out), 100u);
    EXPECT_TRUE(removeLongPath(longFile, false) && removeLongPath(longFolder, true));
}

}  // namespace
}  // namespace vesk::share2::test
