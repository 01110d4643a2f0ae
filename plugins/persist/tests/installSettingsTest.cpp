// Install settings: read once from their file, which the read consumes.
#include <gtest/gtest.h>

#include <string>

#include "plugins/fs/tests/fsTestSupport.h"
#include "plugins/persist/tests/persistTestSupport.h"
#include "testing/testPaths.h"
#include "vesk/fs.h"

namespace vesk::svctest {
namespace {

using vesk::testing::fileExists;
using vesk::testing::tempDir;
using vesk::testing::writeFile;

TEST(InstallSettings, ValuesAreReadByElementNameAndTheFileIsConsumed) {
    tempDir dir;
    std::string path = dir.file("install.egg");
    ASSERT_TRUE(writeFile(path,
                          "<install>\r\n\t<Lang>x(long)7</Lang>\r\n\t<Folder>(string)C:\\Program%20Files</Folder>\r\n"
                          "\t<Odd>(weird)1</Odd>\r\n\t<Plain>no tag here</Plain>\r\n</install>\r\n"));
    persist::IinstallSettings* install = installValues();
    auto file = fileAt(path);
    EXPECT_EQ(install->load(file.get()), file.get());
    EXPECT_FALSE(fileExists(path));

    EXPECT_EQ(install->getValue("Lang").asLong(), 7);
    EXPECT_EQ(textOf(install->getValue("Folder")), "C:\\Program Files");
    value odd = install->getValue("Odd");
    EXPECT_EQ(odd.code, vt::empty) << "an unknown tag is kept as an empty value";
    value plain = install->getValue("Plain");
    EXPECT_EQ(plain.code, vt::longV) << "no '(': not stored, so absent";
    EXPECT_EQ(plain.asLong(), 0);

    value nullKey = install->getValue(nullptr);
    EXPECT_EQ(nullKey.code, vt::ulongV);
    EXPECT_EQ(nullKey.asUlong(), 0u);

    ASSERT_TRUE(writeFile(path, "<i><Other>(long)1</Other></i>"));
    install->load(file.get());
    EXPECT_EQ(install->getValue("Lang").asLong(), 0) << "a new read starts empty";
    EXPECT_EQ(install->getValue("Other").asLong(), 1);
}

TEST(InstallSettings, AMissingFileChangesNothing) {
    tempDir dir;
    ASSERT_TRUE(writeFile(dir.file("install.egg"), "<i><Kept>(long)3</Kept></i>"));
    persist::IinstallSettings* install = installValues();
    install->load(fileAt(dir.file("install.egg")).get());
    ASSERT_EQ(install->getValue("Kept").asLong(), 3);

    auto missing = fileAt(dir.file("none.egg"));
    EXPECT_EQ(install->load(missing.get()), missing.get());
    EXPECT_EQ(install->getValue("Kept").asLong(), 3);
    EXPECT_FALSE(fileExists(dir.file("none.egg")));
    EXPECT_EQ(install->load(nullptr), nullptr);
}

}  // namespace
}  // namespace vesk::svctest
