// File objects made through the factory, against real files in a
// temporary folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "plugins/fs/tests/fsTestSupport.h"
#include "testing/testPaths.h"

namespace vesk::svctest {
namespace {

using vesk::testing::fileExists;
using vesk::testing::readFile;
using vesk::testing::tempDir;
using vesk::testing::writeFile;
namespace of = fs::openFlag;

constexpr int share = fs::shareDenyNone;

// Bytes that differ from position to position, so a misplaced chunk shows.
std::string pattern(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return s;
}

TEST(File, MissingPathHasNoSizeAndIsCreatedByOpenWithCreate) {
    tempDir dir;
    auto f = fileAt(dir.file("new.bin"));
    ASSERT_TRUE(f);
    EXPECT_EQ(f->getSize(), 0u);
    EXPECT_FALSE(f->exists());
    EXPECT_FALSE(f->open(of::binary | of::sequential | of::writeOnly, share));  // no create flag

    EXPECT_TRUE(f->open(0x8122, share));
    EXPECT_TRUE(f->exists());
    EXPECT_TRUE(f->open(0, share)) << "already open";
    EXPECT_TRUE(f->close());
    EXPECT_FALSE(f->close());
    EXPECT_TRUE(fileExists(dir.file("new.bin")));
}

TEST(File, SizeIsMeasuredAtCreationAndOpen) {
    tempDir dir;
    ASSERT_TRUE(writeFile(dir.file("a"), "12345"));
    auto f = fileAt(dir.file("a"));
    EXPECT_EQ(f->getSize(), 5u);
    ASSERT_TRUE(writeFile(dir.file("a"), "1234567"));
    EXPECT_EQ(f->getSize(), 5u) << "not measured again until opened";
    ASSERT_TRUE(f->open(of::binary, share));
    EXPECT_EQ(f->getSize(), 7u);
}

TEST(File, ReadsBySizeAndOffset) {
    tempDir dir;
    ASSERT_TRUE(writeFile(dir.file("ten"), "0123456789"));
    auto f = fileAt(dir.file("ten"));
    EXPECT_EQ(takeText(f->read(0, 0)), "<null>") << "closed";
    ASSERT_TRUE(f->open(of::binary, share));

    struct {
        unsigned size, offset;
        const char* expected;
    } cases[] = {
        {0, 0, "0123456789"},   // size 0: the whole file
        {4, 8, "89"},           // cut to what remains after the offset
        {3, 2, "234"},
        {100, 0, "0123456789"}, // larger than the file
        {0, 6, "6789"},         // size 0 from an offset: the rest
        {3, 0, "012"},          // offset 0 reads from the start, not the position
        {5, 10, "<null>"},      // nothing left
        {5, 50, "<null>"},      // past the end
    };
    for (const auto& c : cases)
        EXPECT_EQ(takeText(f->read(c.size, c.offset)), c.expected) << c.size << "@" << c.offset;
}

// Offsets past 2 GiB (a sparse file: only the last bytes take room). A read
// from an offset gives what is left there, without holding the whole file.
TEST(File, ReadsAndWritesBeyondTwoGibibytes) {
    tempDir dir;
    const unsigned beyond = 0x90000000u;
    auto f = fileAt(dir.file("big"));
    ASSERT_TRUE(f->open(of::binary | of::create | of::writeOnly, share));
    ref<Ibuffer> tail(bytesBuffer("XYZ"));
    EXPECT_EQ(f->write(tail.get(), beyond), 3);
    ASSERT_TRUE(f->close());

    ASSERT_TRUE(f->open(of::binary, share));
    EXPECT_EQ(f->getSize(), beyond + 3ull);
    EXPECT_EQ(takeText(f->read(3, beyond)), "XYZ");
    EXPECT_EQ(takeText(f->read(0, beyond + 1)), "YZ");
    EXPECT_TRUE(f->close());
    EXPECT_TRUE(f->remove());
}

TEST(File, WritesAtTheCurrentPositionOrAtAnOffset) {
    tempDir dir;
    std::string path = dir.file("w.bin");
    auto f = fileAt(path);
    ASSERT_TRUE(f->open(0x8122, share));
    EXPECT_EQ(f->write(bytesBuffer("abc"), 0), 3);
    EXPECT_EQ(f->write(bytesBuffer("de"), 0), 2) << "offset 0 continues at the position";
    EXPECT_EQ(f->write(bytesBuffer("Z"), 100), 1);
    EXPECT_EQ(f->write(nullptr, 0), 0);
    ASSERT_TRUE(f->close());
    EXPECT_EQ(f->write(bytesBuffer("x"), 0), 0) << "closed";

    std::string expected = "abcde" + std::string(95, '\0') + "Z";
    EXPECT_EQ(readFile(path), expected);

    ASSERT_TRUE(f->open(of::binary | of::writeOnly, share));
    EXPECT_EQ(f->write(bytesBuffer("AB"), 0), 2) << "after open the position is the start";
    ASSERT_TRUE(f->close());
    EXPECT_EQ(readFile(path).substr(0, 6), std::string("ABcde\0", 6));
}

TEST(File, TextModeTranslatesLineEndsBinaryModeDoesNot) {
    tempDir dir;
    std::string path = dir.file("t.txt");
    auto f = fileAt(path);
    ASSERT_TRUE(f->open(0x4301, share));  // write, create, truncate, text
    EXPECT_EQ(f->write(bytesBuffer("a\nb\n"), 0), 4);
    ASSERT_TRUE(f->close());
    EXPECT_EQ(readFile(path), "a\r\nb\r\n");

    ASSERT_TRUE(f->open(of::text, share));
    EXPECT_EQ(f->getSize(), 6u);
    EXPECT_EQ(takeText(f->read(0, 0)), "a\nb\n") << "the count is that after translation";
    ASSERT_TRUE(f->close());
    ASSERT_TRUE(f->open(of::binary, share));
    EXPECT_EQ(takeText(f->read(0, 0)), "a\r\nb\r\n");
}

TEST(File, ReadIntoReplacesAnEmptyBufferAppendsToAFullOneOrMakesOne) {
    tempDir dir;
    ASSERT_TRUE(writeFile(dir.file("r"), "xyz"));
    auto f = fileAt(dir.file("r"));
    EXPECT_EQ(f->readInto(nullptr), nullptr) << "closed";
    ASSERT_TRUE(f->open(of::binary, share));

    EXPECT_EQ(takeText(f->readInto(nullptr)), "xyz");

    ref<Ibuffer> empty(bytesBuffer(""));
    EXPECT_EQ(f->readInto(empty.get()), empty.get());
    EXPECT_EQ(takeText(empty.get()), "xyz");

    ref<Ibuffer> full(bytesBuffer("12"));
    EXPECT_EQ(f->readInto(full.get()), full.get());
    EXPECT_EQ(takeText(full.get()), "12xyz");
}

TEST(File, ReopenReportsOrChangesTheFlags) {
    tempDir dir;
    ASSERT_TRUE(writeFile(dir.file("r"), "abc"));
    auto f = fileAt(dir.file("r"));
    EXPECT_EQ(f->reopen(of::binary, share), 0) << "closed";
    ASSERT_TRUE(f->open(of::binary, share));
    EXPECT_EQ(f->reopen(0, 12345), of::binary) << "flags 0 only asks";
    EXPECT_EQ(f->write(bytesBuffer("Q"), 0), 0) << "read-only";

    EXPECT_EQ(f->reopen(of::binary | of::writeOnly, share), of::binary);
    EXPECT_EQ(f->reopen(0, 0), of::binary | of::writeOnly);
    EXPECT_EQ(f->write(bytesBuffer("Q"), 0), 1);
    ASSERT_TRUE(f->close());
    EXPECT_EQ(readFile(dir.file("r")), "Qbc");

    ASSERT_TRUE(f->open(of::binary, share));
    constexpr int exclusiveCreate = of::binary | of::writeOnly | of::create | 0x400;  // _O_EXCL
    EXPECT_EQ(f->reopen(exclusiveCreate, share), 0) << "the new open fails on an existing file";
    EXPECT_EQ(f->reopen(0, 0), 0);
    EXPECT_EQ(takeText(f->read(0, 0)), "<null>") << "left closed";
}

TEST(File, CopyCrossesChunkBoundariesAndRespectsOverwrite) {
    tempDir dir;
    const std::string content = pattern(51200 * 2 + 1);
    ASSERT_TRUE(writeFile(dir.file("src"), content));
    auto source = fileAt(dir.file("src"));

    ref<fs::Ifile> copy(source->copyTo(dir.file("dst").c_str(), false));
    ASSERT_TRUE(copy);
    EXPECT_EQ(readFile(dir.file("dst")), content);
    EXPECT_EQ(takeText(copy->read(1, 0)), "<null>") << "the copy comes back closed";
    EXPECT_EQ(source->reopen(0, 0), 0) << "the source is closed after the copy";

    ASSERT_TRUE(writeFile(dir.file("old"), std::string(200000, 'o')));
    EXPECT_EQ(source->copyTo(dir.file("old").c_str(), false), nullptr);
    EXPECT_EQ(readFile(dir.file("old")), std::string(200000, 'o')) << "untouched without overwrite";

    ASSERT_TRUE(source->open(of::text, share));  // an open source is reopened untranslated
    ref<fs::Ifile> replaced(source->copyTo(dir.file("old").c_str(), true));
    ASSERT_TRUE(replaced);
    EXPECT_EQ(readFile(dir.file("old")), content) << "longer old content is truncated";
    EXPECT_EQ(source->reopen(0, 0), 0);
}

TEST(File, CopyOfAnEmptyOrMissingSource) {
    tempDir dir;
    ASSERT_TRUE(writeFile(dir.file("empty"), ""));
    ref<fs::Ifile> copy(fileAt(dir.file("empty"))->copyTo(dir.file("e2").c_str(), false));
    ASSERT_TRUE(copy);
    EXPECT_TRUE(fileExists(dir.file("e2")));
    EXPECT_EQ(readFile(dir.file("e2")), "");

    EXPECT_EQ(fileAt(dir.file("none"))->copyTo(dir.file("n2").c_str(), true), nullptr);
    EXPECT_FALSE(fileExists(dir.file("n2")));
}

TEST(File, CopyOntoItselfLeavesTheFileWhole) {
    tempDir dir;
    ASSERT_TRUE(writeFile(dir.file("self.bin"), "precious"));
    ASSERT_TRUE(CreateHardLinkA(dir.file("link.bin").c_str(), dir.file("self.bin").c_str(), nullptr));
    auto f = fileAt(dir.file("self.bin"));
    for (const std::string& same :
         {dir.file("self.bin"), dir.file("SELF.BIN"), dir.path() + "\\.\\self.bin", dir.file("link.bin")})
        EXPECT_EQ(f->copyTo(same.c_str(), true), nullptr) << same;
    EXPECT_EQ(readFile(dir.file("self.bin")), "precious");
}

TEST(File, RenameMovesOnlyAnOpenFileAndKeepsThePathOnFailure) {
    tempDir dir;
    ASSERT_TRUE(writeFile(dir.file("a"), "data"));
    auto f = fileAt(dir.file("a"));
    EXPECT_EQ(std::string(f->rename(nullptr)), dir.file("a"));

    EXPECT_EQ(std::string(f->rename(dir.file("b").c_str())), dir.file("a")) << "closed: nothing changes";
    EXPECT_TRUE(fileExists(dir.file("a")));
    EXPECT_FALSE(fileExists(dir.file("b")));

    ASSERT_TRUE(f->open(of::binary, share));
    std::string impossible = dir.file("missing\\folder\\b");
    EXPECT_EQ(std::string(f->rename(impossible.c_str())), dir.file("a")) << "failed move keeps the path";

    std::string after = f->rename(dir.file("b").c_str());
    EXPECT_EQ(after == dir.file("b"), fileExists(dir.file("b")) && !fileExists(dir.file("a")))
        << "the path follows the file exactly when it moved";
}

TEST(File, SetPathClosesAndMeasuresRemoveDeletes) {
    tempDir dir;
    ASSERT_TRUE(writeFile(dir.file("one"), "1"));
    ASSERT_TRUE(writeFile(dir.file("three"), "333"));
    auto f = fileAt(dir.file("one"));
    ASSERT_TRUE(f->open(of::binary, share));
    EXPECT_FALSE(f->setPath(nullptr));
    EXPECT_EQ(f->getSize(), 1u);

    EXPECT_TRUE(f->setPath(dir.file("three").c_str()));
    EXPECT_EQ(f->getSize(), 3u);
    EXPECT_EQ(takeText(f->read(0, 0)), "<null>") << "setPath closes";
    EXPECT_TRUE(f->setPath(dir.file("nothing").c_str()));
    EXPECT_EQ(f->getSize(), 0u);

    EXPECT_TRUE(f->setPath(dir.file("three").c_str()));
    EXPECT_TRUE(f->remove());
    EXPECT_FALSE(fileExists(dir.file("three")));
    EXPECT_FALSE(f->remove());
    EXPECT_FALSE(f->exists());
}

TEST(File, ExistsDoesNotChangeTheObject) {
    tempDir dir;
    ASSERT_TRUE(writeFile(dir.file("e"), "e"));
    auto f = fileAt(dir.file("e"));
    ASSERT_TRUE(f->open(of::binary, share));
    EXPECT_TRUE(f->exists());
    EXPECT_EQ(takeText(f->read(0, 0)), "e") << "still open";
    EXPECT_FALSE(fileAt(dir.path())->exists()) << "a folder is no file";
}

}  // namespace
}  // namespace vesk::svctest
