#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/capsule.h"
#include "plugins/Ombrel/moduleServices.h"
#include "plugins/Ombrel/tests/managerFixture.h"
#include "plugins/Ombrel/shareListFile.h"
#include "plugins/Ombrel/shareManager.h"
#include "testing/testPaths.h"

namespace vesk::ss::test {
namespace {

class ShareList : public ::testing::Test {
protected:
    std::string file() const { return dir.file("pelloran.ini"); }
    bool write(const std::string& text) { return vesk::testing::writeFile(file(), text); }
    // The file's section names, sorted.
    std::vector<std::string> sections() const {
        char names[4096] = {};
        DWORD n = GetPrivateProfileSectionNamesA(names, sizeof names, file().c_str());
        std::vector<std::string> all;
        for (const char* s = names; s < names + n && *s; s += std::strlen(s) + 1)
            all.push_back(s);
        std::sort(all.begin(), all.end());
        return all;
    }
    std::string key(const char* section, const char* name) const {
        char value[520] = {};
        GetPrivateProfileStringA(section, name, "(absent)", value, sizeof value, file().c_str());
        return value;
    }

    vesk::testing::tempDir dir;
    capsule_core<CShareManager> shares;
};

TEST_F(ShareList, PathsAreNormalised) {
    EXPECT_TRUE(shares.AddShare("C:\\Music", false));
    EXPECT_FALSE(shares.AddShare("c:\\music\\", true)) << "the same folder: only its flag changes";
    EXPECT_EQ(shares.Count(), 1);
    EXPECT_TRUE(shares.IsShared("C:\\MUSIC"));
    EXPECT_TRUE(shares.IsRecursive("c:\\music"));
    EXPECT_FALSE(shares.AddShare(nullptr, true));
    EXPECT_FALSE(shares.AddShare("", true));
    EXPECT_FALSE(shares.AddShare(std::string(600, 'x').c_str(), true)) << "longer than a path may be";
    EXPECT_TRUE(shares.SetRecursive("C:\\Music\\", false));
    EXPECT_FALSE(shares.IsRecursive("c:\\music"));
    EXPECT_FALSE(shares.SetRecursive("c:\\elsewhere", true));
    EXPECT_FALSE(shares.IsShared("c:\\elsewhere"));
    EXPECT_TRUE(shares.RemoveShare("C:\\MUSIC\\"));
    EXPECT_FALSE(shares.RemoveShare("C:\\MUSIC\\"));
    EXPECT_EQ(shares.Count(), 0);
}

TEST_F(ShareList, ReadingRules) {
    ASSERT_TRUE(write("[Share0]\r\nPath=C:\\One\r\nRecursive=1\r\n"
                      "[SHARE1]\r\nPATH=\r\nRECURSIVE=1\r\n"       // no path: skipped, reading goes on
                      "[share2]\r\npath=C:\\Two\r\nrecursive=TRUE\r\n"
                      "[SHARE3]\r\nPATH=C:\\Three\r\nRECURSIVE=t\r\n"
                      "[SHARE4]\r\nPATH=C:\\Four\r\nRECURSIVE=yes\r\n"
                      "[SHARE5]\r\nPATH=C:\\Five\r\nRECURSIVE=0\r\n"
                      "[SHARE6]\r\nPATH=C:\\Six\r\n"                 // no flag: not recursive
                      "[SHARE8]\r\nPATH=C:\\Eight\r\nRECURSIVE=1\r\n"));  // after the gap: not read
    shares.AddShare("c:\\stale", true);
    EXPECT_EQ(shares.LoadShareFile(file().c_str()), 0);
    struct row {
        const char* path;
        bool shared, recursive;
    } rows[] = {
        {"c:\\one\\", true, true},   {"c:\\two\\", true, true},     {"c:\\three\\", true, true},
        {"c:\\four\\", true, false}, {"c:\\five\\", true, false},   {"c:\\six\\", true, false},
        {"c:\\eight\\", false, false}, {"c:\\stale\\", false, false},
    };
    for (const row& r : rows) {
        EXPECT_EQ(shares.IsShared(r.path), r.shared) << r.path;
        EXPECT_EQ(shares.IsRecursive(r.path), r.recursive) << r.path;
    }
    EXPECT_EQ(shares.Count(), 6);
}

TEST_F(ShareList, MissingFileReadsAsEmpty) {
    shares.AddShare("c:\\x", true);
    EXPECT_EQ(shares.LoadShareFile(dir.file("absent.ini").c_str()), 0);
    EXPECT_EQ(shares.Count(), 0);
}

TEST_F(ShareList, SavingRewritesEveryShareSectionAndKeepsTheFolders) {
    ASSERT_TRUE(write("[DIR]\r\nDOWNLOAD=C:\\dl\r\nTEMP=C:\\tmp\r\n"
                      "[SHARE0]\r\nPATH=c:\\a\\\r\n[SHARE1]\r\nPATH=c:\\b\\\r\n[SHARE2]\r\nPATH=c:\\c\\\r\n"
                      "[SHARE3]\r\nPATH=c:\\d\\\r\n[SHARE4]\r\nPATH=c:\\e\\\r\n"
                      "[SHARE9]\r\nPATH=c:\\after-a-gap\\\r\n[Shareware]\r\nkeep=1\r\n"));
    shares.AddShare("C:\\Zeta", true);
    shares.AddShare("C:\\Alpha", false);
    shares.SaveShares(file().c_str());
    EXPECT_EQ(sections(), (std::vector<std::string>{"DIR", "SHARE0", "SHARE1", "Shareware"}));
    // Written in the byte order of the paths, not in the order added.
    EXPECT_EQ(key("SHARE0", "PATH"), "c:\\alpha\\");
    EXPECT_EQ(key("SHARE0", "RECURSIVE"), "0");
    EXPECT_EQ(key("SHARE1", "PATH"), "c:\\zeta\\");
    EXPECT_EQ(key("SHARE1", "RECURSIVE"), "1");
    EXPECT_EQ(key("DIR", "DOWNLOAD"), "C:\\dl");

    capsule_core<CShareManager> reread;
    reread.LoadShareFile(file().c_str());
    EXPECT_EQ(reread.Count(), 2);
    EXPECT_TRUE(reread.IsRecursive("c:\\zeta"));
    EXPECT_TRUE(reread.IsShared("c:\\alpha"));
}

TEST_F(ShareList, AFileThatCannotBeWrittenIsLoggedAndTheListKept) {
    ASSERT_TRUE(write("[SHARE0]\r\nPATH=c:\\old\\\r\nRECURSIVE=1\r\n"));
    // Held open by another user that shares it with nobody.
    HANDLE held = CreateFileA(file().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    shares.AddShare("c:\\new", true);
    ref<keptLog> log(new capsule<keptLog>());
    services().log = log.get();
    shares.SaveShares(file().c_str());
    services().log = nullptr;
    CloseHandle(held);
    EXPECT_EQ(log->lines(), (std::vector<std::string>{"SSMANAGER: could not write the share list " + file()}));
    EXPECT_EQ(key("SHARE0", "PATH"), "c:\\old\\") << "the file is as it was";
    EXPECT_TRUE(shares.IsShared("c:\\new")) << "the list stays for the next save";
}

// The share list is taken from the current directory when the module
// registers; the folder the process is in later does not count.
class StartFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, before_), 0u);
        services().log = log.get();
    }
    void TearDown() override {
        SetCurrentDirectoryA(before_);
        services() = moduleServices();
    }
    // Shares a folder of its own name and saves the list as the page's OK does.
    void shareAndSave(const std::string& marker) {
        capsule_core<CShareManager> shares;
        ASSERT_TRUE(shares.AddShare(("c:\\" + marker).c_str(), true));
        shares.SaveShares(nullptr);
    }
    static std::string listed(const std::string& file) {
        char text[520] = {};
        GetPrivateProfileStringA("SHARE0", "PATH", "", text, sizeof text, file.c_str());
        return text;
    }
    // The share list at the root of the folder's drive.
    static std::string driveRootList(const std::string& folder) { return folder.substr(0, 2) + "\\pelloran.ini"; }

    // Folders outlive TearDown, which moves out of them: the current
    // directory cannot be removed.
    vesk::testing::tempDir start, later, base;
    char before_[MAX_PATH] = {};
    ref<keptLog> log{new capsule<keptLog>()};
};

TEST_F(StartFolder, TheListStaysThereWhenTheCurrentDirectoryMoves) {
    ASSERT_TRUE(SetCurrentDirectoryA(start.path().c_str()));
    shareListFile::FixDefaultPath();
    ASSERT_TRUE(SetCurrentDirectoryA(later.path().c_str()));  // as a file dialog leaves it
    shareAndSave("moved");
    EXPECT_EQ(listed(start.file("pelloran.ini")), "c:\\moved\\");
    EXPECT_FALSE(vesk::testing::fileExists(later.file("pelloran.ini")));

    capsule_core<CShareManager> reread;
    reread.LoadShareFile(nullptr);
    EXPECT_TRUE(reread.IsShared("c:\\moved"));
    EXPECT_TRUE(log->lines().empty());
}

// A start folder so long that its share list would pass the platform's
// path limit (at 260 characters the platform does not even tell the
// folder): no list is read or written, rather than one at the drive root.
TEST_F(StartFolder, TooLongAStartFolderGivesNoListAnywhere) {
    for (size_t length : {250u, 260u}) {
        SCOPED_TRACE(length);
        std::string folder = base.path() + "\\" + std::string(length - base.path().size() - 1, 'q');
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
        shareListFile::FixDefaultPath();
        const std::string marker = "marker" + std::to_string(length);
        shareAndSave(marker);
        capsule_core<CShareManager> reread;
        reread.LoadShareFile(nullptr);
        EXPECT_EQ(reread.Count(), 0);
        ASSERT_TRUE(SetCurrentDirectoryA(before_));
        std::string root = driveRootList(base.path());
        EXPECT_EQ(listed(root).find(marker), std::string::npos) << root;
        EXPECT_FALSE(vesk::testing::fileExists(folder + "\\pelloran.ini"));
        RemoveDirectoryA(folder.c_str());
    }
    EXPECT_EQ(log->lines(), std::vector<std::string>(
                                2, "SSMANAGER: could not write the share list: the start folder gives no path for it"));
}

}  // namespace
}  // namespace vesk::ss::test
