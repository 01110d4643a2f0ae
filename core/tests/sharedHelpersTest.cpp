// The helpers several modules share: lower-casing, the current directory,
// and the share list's path and profile reading.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "core/currentDirectory.h"
#include "core/shareList.h"
#include "core/text.h"
#include "testing/testPaths.h"

namespace vesk {
namespace {

using vesk::testing::tempDir;

// The share engine compared paths lower-cased by the C run-time and the
// manager by A-Z alone: both must keep giving the same form.
TEST(LowerCase, EveryByteAsTheRunTimeLowerCasesIt) {
    for (int c = 1; c < 256; ++c) {
        char runTime[2] = {static_cast<char>(c), '\0'};
        _strlwr(runTime);
        EXPECT_EQ(lowerCase(std::string(1, static_cast<char>(c))), std::string(runTime)) << "byte " << c;
    }
    EXPECT_EQ(lowerCase("C:\\Music\\\xC4rger.MP3"), "c:\\music\\\xC4rger.mp3");
    EXPECT_EQ(lowerCase(std::string("A\0B", 3)), std::string("a\0b", 3)) << "bytes after a NUL too";
    EXPECT_EQ(lowerCase(""), "");
}

class CurrentDirectory : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, before_), 0u); }
    void TearDown() override { SetCurrentDirectoryA(before_); }

    // A folder under base whose path is exactly length characters.
    std::string folderOfLength(const std::string& base, size_t length) {
        std::string path = base + "\\" + std::string(length - base.size() - 1, 'q');
        EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path.size();
        return path;
    }

    tempDir base_;
    char before_[MAX_PATH] = {};
};

TEST_F(CurrentDirectory, IsReadWholeWhateverItsLength) {
    ASSERT_TRUE(SetCurrentDirectoryA(base_.path().c_str()));
    EXPECT_EQ(currentDirectory(), base_.path());
    std::string deep = folderOfLength(base_.path(), 250);
    ASSERT_TRUE(SetCurrentDirectoryA(deep.c_str()));
    EXPECT_EQ(currentDirectory(), deep);
    SetCurrentDirectoryA(before_);
    RemoveDirectoryA(deep.c_str());
}

TEST(ShareList, PathIsTheListInTheFolderWhenItFitsThePathLimit) {
    const std::string fits(MAX_PATH - 1 - 13, 'f');  // + "\pelloran.ini" is 259 characters
    struct {
        std::string folder, path;
    } cases[] = {
        {"C:\\client", "C:\\client\\pelloran.ini"},
        {"C:\\", "C:\\pelloran.ini"},
        {"", ""},
        {fits, fits + "\\pelloran.ini"},
        {fits + "g", ""},  // 260 characters: the profile calls would read another file
        {std::string(400, 'x'), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shareListIn(c.folder), c.path) << c.folder.size() << " characters";
}

TEST(ShareList, RecursionFlagAsAnyWriterSpelledIt) {
    struct {
        const char* text;
        bool recursive;
    } cases[] = {{"1", true},  {"TRUE", true}, {"t", true},   {"true", true}, {"0", false},
                 {"yes", false}, {"", false},  {"11", false}, {" 1", false}};
    for (const auto& c : cases)
        EXPECT_EQ(readsAsTrue(c.text), c.recursive) << '"' << c.text << '"';
}

TEST(ShareList, ProfileReadingOfAFileAndOfNoFile) {
    tempDir dir;
    std::string file = dir.file("pelloran.ini");
    ASSERT_TRUE(vesk::testing::writeFile(file, "[Share0]\r\nPath=C:\\music\\\r\n[Empty]\r\n"));
    EXPECT_TRUE(sectionExists(file, "Share0"));
    EXPECT_TRUE(sectionExists(file, "SHARE0")) << "section names ignore case";
    EXPECT_FALSE(sectionExists(file, "Empty"));
    EXPECT_FALSE(sectionExists(file, "Share1"));
    EXPECT_EQ(profileText(file, "Share0", "Path", "", 260), "C:\\music\\");
    EXPECT_EQ(profileText(file, "Share0", "Path", "", 5), "C:\\m") << "cut to the size, NUL included";
    EXPECT_EQ(profileText(file, "Share0", "Recursive", "0", 260), "0");
    EXPECT_EQ(profileText(dir.file("missing.ini"), "DIR", "TEMP", "C:\\", 260), "C:\\");

    // No file name: the profile calls would read the system's own file.
    EXPECT_FALSE(sectionExists("", "windows"));
    EXPECT_EQ(profileText("", "windows", "load", "fallback", 260), "fallback");
}

}  // namespace
}  // namespace vesk
