// The settings file is replaced by its new version only once the new
// version's bytes are on the disk.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "plugins/persist/durableReplace.h"
#include "testing/testPaths.h"

namespace vesk::persist {
namespace {

using vesk::testing::readFile;
using vesk::testing::tempDir;
using vesk::testing::writeFile;

TEST(DurableReplace, TheNewFileIsFlushedBeforeItTakesThePlace) {
    std::vector<std::string> steps;
    bool flushWorks = true;
    replaceSteps recording{[&](const std::string& file) {
                               steps.push_back("flush " + file);
                               return flushWorks;
                           },
                           [&](const std::string& from, const std::string& to) {
                               steps.push_back("move " + from + " " + to);
                               return true;
                           }};
    EXPECT_TRUE(replaceDurably("vesk.egg.new", "vesk.egg", recording));
    EXPECT_EQ(steps, (std::vector<std::string>{"flush vesk.egg.new", "move vesk.egg.new vesk.egg"}));

    steps.clear();
    flushWorks = false;
    EXPECT_FALSE(replaceDurably("vesk.egg.new", "vesk.egg", recording));
    EXPECT_EQ(steps, std::vector<std::string>{"flush vesk.egg.new"}) << "an unflushed file never takes the place";
}

TEST(DurableReplace, OnTheDiskTheNewFileTakesThePlaceOfTheOld) {
    tempDir dir;
    std::string file = dir.file("vesk.egg"), temporary = dir.file("vesk.egg.new");
    ASSERT_TRUE(writeFile(file, "old settings"));
    ASSERT_TRUE(writeFile(temporary, "new settings"));
    EXPECT_TRUE(replaceDurably(temporary, file));
    EXPECT_EQ(readFile(file), "new settings");
    EXPECT_EQ(GetFileAttributesA(temporary.c_str()), INVALID_FILE_ATTRIBUTES);

    EXPECT_FALSE(replaceDurably(dir.file("missing.new"), file)) << "nothing to flush";
    EXPECT_EQ(readFile(file), "new settings");
}

}  // namespace
}  // namespace vesk::persist
