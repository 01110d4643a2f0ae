// Local names of downloads and the move of a finished file.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "plugins/gnutella/localFiles.h"
#include "plugins/gnutella/tests/otherVolume.h"
#include "testing/testPaths.h"

namespace vesk::gnutella::test {
namespace {

TEST(LocalNames, ThePeersNameBecomesAPlainFileName) {
    struct row {
        const char* remote;
        const char* local;
    } rows[] = {
        {"song.mp3", "song.mp3"},
        {"..\\..\\boot.ini", ".._.._boot.ini"},
        {"../../etc/passwd", ".._.._etc_passwd"},
        {"C:\\windows\\x.dll", "C__windows_x.dll"},
        {"a:b*c?d\"e<f>g|h", "a_b_c_d_e_f_g_h"},
        {"tab\there\r\n", "tab_here__"},
        {"..", "download"},
        {" . ", "download"},
        {"", "download"},
        {"name. . ", "name"},
        {"con.txt", "_con.txt"},
        {"LPT1", "_LPT1"},
        {"com10.txt", "com10.txt"},
        {"console.txt", "console.txt"},
    };
    for (const row& r : rows)
        EXPECT_EQ(SafeLocalName(r.remote), r.local) << r.remote;
    EXPECT_EQ(SafeLocalName(nullptr), "download");
    EXPECT_EQ(SafeLocalName(std::string(5000, 'x').c_str()).size(), maxLocalName);
}

TEST(LocalNames, NumberedBeforeTheLastDot) {
    EXPECT_EQ(NumberedName("song.mp3", 0), "song[0].mp3");
    EXPECT_EQ(NumberedName("song.mp3", 12), "song[12].mp3");
    EXPECT_EQ(NumberedName("archive.tar.gz", 0), "archive.tar[0].gz");
    EXPECT_EQ(NumberedName("readme", 1), "readme[1]");
    EXPECT_EQ(JoinPath("C:\\temp", "a"), "C:\\temp\\a");
    EXPECT_EQ(JoinPath("C:\\temp\\", "a"), "C:\\temp\\a");
}

TEST(FinishedFiles, MovedUnderTheFirstFreeName) {
    vesk::testing::tempDir from, to;
    ASSERT_TRUE(vesk::testing::writeFile(from.file("song.mp3"), "new"));
    ASSERT_TRUE(vesk::testing::writeFile(to.file("song.mp3"), "old"));
    ASSERT_TRUE(vesk::testing::writeFile(to.file("song[0].mp3"), "older"));
    EXPECT_EQ(MoveToFreeName(from.file("song.mp3"), to.file("song.mp3")), to.file("song[1].mp3"));
    EXPECT_EQ(vesk::testing::readFile(to.file("song[1].mp3")), "new");
    EXPECT_EQ(vesk::testing::readFile(to.file("song.mp3")), "old") << "never replaced";
    EXPECT_FALSE(vesk::testing::fileExists(from.file("song.mp3")));
}

TEST(FinishedFiles, AMoveThatCannotBeMadeGivesNoPath) {
    vesk::testing::tempDir from;
    EXPECT_EQ(MoveToFreeName(from.file("missing.mp3"), from.file("elsewhere.mp3")), "");
    ASSERT_TRUE(vesk::testing::writeFile(from.file("a.mp3"), "x"));
    EXPECT_EQ(MoveToFreeName(from.file("a.mp3"), from.path() + "\\no such folder\\a.mp3"), "");
    EXPECT_TRUE(vesk::testing::fileExists(from.file("a.mp3")));
}

// Across volumes the file is copied beside its destination under a
// working name and renamed into place whole; a copy stopped half-way
// leaves the source and nothing under any name in the destination.
TEST(FinishedFiles, AcrossVolumesTheFileLandsUnderItsNameOnlyWhole) {
    otherVolumeDir from;
    if (from.path().empty())
        GTEST_SKIP() << "no second volume";
    vesk::testing::tempDir to;
    std::string bytes(5u << 20, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 4096);
    ASSERT_TRUE(vesk::testing::writeFile(from.file("film.avi"), bytes));
    ASSERT_TRUE(vesk::testing::writeFile(to.file("film.avi"), "older"));

    int pieces = 0;
    EXPECT_EQ(MoveToFreeName(from.file("film.avi"), to.file("film.avi"), [&] { return ++pieces < 3; }), "");
    EXPECT_EQ(pieces, 3) << "stopped between pieces";
    EXPECT_EQ(FilesIn(to.path()), std::vector<std::string>{"film.avi"}) << "no part left behind";
    EXPECT_EQ(vesk::testing::readFile(to.file("film.avi")), "older");
    EXPECT_TRUE(vesk::testing::readFile(from.file("film.avi")) == bytes) << "the source stays whole";

    EXPECT_EQ(MoveToFreeName(from.file("film.avi"), to.file("film.avi"), [] { return true; }), to.file("film[0].avi"));
    EXPECT_TRUE(vesk::testing::readFile(to.file("film[0].avi")) == bytes);
    EXPECT_EQ(FilesIn(to.path()), (std::vector<std::string>{"film.avi", "film[0].avi"}));
    EXPECT_FALSE(vesk::testing::fileExists(from.file("film.avi")));
}

}  // namespace
}  // namespace vesk::gnutella::test
