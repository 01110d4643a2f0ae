#include <cstring>
#include <string>

#include "plugins/Ombrel/tests/managerFixture.h"

namespace vesk::ss::test {
namespace {

using ManagerSettings = managerFixture;

TEST_F(ManagerSettings, FolderTextsKeepTheirBound) {
    struct row {
        std::string given;
        std::string kept;
    } rows[] = {
        {"C:\\downloads", "C:\\downloads"},
        {std::string(259, 'd'), std::string(259, 'd')},
        {std::string(400, 'd'), std::string(259, 'd')},
        {"", ""},
    };
    for (const row& r : rows) {
        ASSERT_TRUE(manager->SetDownloadDir(r.given.c_str()));
        ASSERT_TRUE(manager->SetTempDir(r.given.c_str()));
        // A caller's buffer of 260, with a guard right behind it.
        char out[260 + 8];
        for (bool download : {true, false}) {
            std::memset(out, '#', sizeof out);
            ASSERT_TRUE(download ? manager->GetDownloadDir(0, out) : manager->GetTempDir(0, out));
            EXPECT_EQ(std::string(out), r.kept);
            EXPECT_EQ(std::string(out + 260, 8), std::string(8, '#')) << "nothing written past 260";
        }
    }
    ASSERT_TRUE(manager->SetDownloadDir("C:\\keep"));
    EXPECT_FALSE(manager->SetDownloadDir(nullptr));
    char out[260];
    EXPECT_FALSE(manager->GetDownloadDir(0, nullptr));
    EXPECT_TRUE(manager->GetDownloadDir(0, out));
    EXPECT_STREQ(out, "C:\\keep") << "a refused text changes nothing";
}

TEST_F(ManagerSettings, AutoClearHasFourFlags) {
    for (int index = 0; index < 4; ++index) {
        EXPECT_TRUE(manager->SetAutoClear(index, true)) << index;
        EXPECT_TRUE(manager->GetAutoClear(index)) << index;
        EXPECT_TRUE(manager->SetAutoClear(index, false)) << index;
        EXPECT_FALSE(manager->GetAutoClear(index)) << index;
    }
    manager->SetAutoClear(autoClear::failedUploads, true);
    for (int index : {-1, 4, 100}) {
        EXPECT_FALSE(manager->SetAutoClear(index, true)) << index;
        EXPECT_FALSE(manager->GetAutoClear(index)) << index;
    }
    EXPECT_FALSE(manager->GetAutoClear(autoClear::completedDownloads));
    EXPECT_TRUE(manager->GetAutoClear(autoClear::failedUploads));
}

}  // namespace
}  // namespace vesk::ss::test
