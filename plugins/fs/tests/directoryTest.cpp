// Folder objects made through the factory, against a temporary tree.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>

#include "plugins/fs/tests/fsTestSupport.h"
#include "testing/testPaths.h"
#include "vesk/containers.h"

namespace vesk::svctest {
namespace {

using vesk::testing::fileExists;
using vesk::testing::tempDir;
using vesk::testing::writeFile;

bool makeFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

TEST(Folder, PathEndsInABackslashAndExistsTestsIt) {
    tempDir dir;
    auto folder = folderAt(dir.path());
    EXPECT_EQ(std::string(folder->getPath()), dir.path() + "\\");
    EXPECT_TRUE(folder->exists());
    EXPECT_EQ(std::string(folderAt(dir.path() + "\\")->getPath()), dir.path() + "\\");
    EXPECT_FALSE(folderAt(dir.file("absent"))->exists());

    ASSERT_TRUE(writeFile(dir.file("plain"), "x"));
    EXPECT_FALSE(folderAt(dir.file("plain"))->exists()) << "a file is no folder";
}

TEST(Folder, DriveRootsExist) {
    for (const char* root : {"C:\\", "C:"}) {
        auto folder = folderAt(root);
        EXPECT_EQ(std::string(folder->getPath()), "C:\\");
        EXPECT_TRUE(folder->exists()) << root;
        ref<Ivector> entries(folder->list());
        EXPECT_TRUE(entries) << "a root can be listed";
    }
}

TEST(Folder, WithoutAPathNothingExistsOrChanges) {
    loadFileSystemModule();
    moduleHost& host = moduleHost::instance();
    Ifactory* f = host.factory();
    ref<fs::Idirectory> bare(interfaceCast<fs::Idirectory>(f->create(f->findClass("vesk::fs::directory"), host.owner())));
    ASSERT_TRUE(bare);
    EXPECT_STREQ(bare->getPath(), "");
    EXPECT_FALSE(bare->exists());
    EXPECT_EQ(bare->list(), nullptr);
    EXPECT_EQ(bare->create(true), 0);
    EXPECT_FALSE(bare->clear(true));
    EXPECT_FALSE(bare->remove());
}

TEST(Folder, ListsFilesAndFoldersAsObjects) {
    tempDir dir;
    ASSERT_TRUE(writeFile(dir.file("a.txt"), "12345"));
    ASSERT_TRUE(writeFile(dir.file("b.bin"), ""));
    ASSERT_TRUE(makeFolder(dir.file("sub")));
    ASSERT_TRUE(writeFile(dir.file("sub\\inner"), "no"));

    ref<Ivector> entries(folderAt(dir.path())->list());
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 3u) << "no . or .. and nothing from the subfolder";
    std::set<std::string> files, folders;
    for (unsigned i = 0; i < entries->size(); ++i) {
        Igeneric* object = entries->at(i).asGeneric();
        if (auto* f = interfaceCast<fs::Ifile>(object)) {
            files.insert(f->rename(nullptr));
            if (std::string(f->rename(nullptr)) == dir.file("a.txt")) {
                EXPECT_EQ(f->getSize(), 5u) << "measured when listed";
            }
        } else if (auto* d = interfaceCast<fs::Idirectory>(object)) {
            folders.insert(d->getPath());
        }
    }
    EXPECT_EQ(files, (std::set<std::string>{dir.file("a.txt"), dir.file("b.bin")}));
    EXPECT_EQ(folders, (std::set<std::string>{dir.file("sub") + "\\"}));

    EXPECT_EQ(folderAt(dir.file("absent"))->list(), nullptr);
}

TEST(Folder, CreateMakesEveryMissingLevel) {
    tempDir dir;
    ASSERT_TRUE(makeFolder(dir.file("one")));
    std::string deep = dir.file("one\\two\\three\\four");
    auto folder = folderAt(deep);

    EXPECT_EQ(folder->create(false), 0) << "missing levels without permission to create";
    EXPECT_FALSE(fileExists(dir.file("one\\two")));

    EXPECT_EQ(folder->create(true), 1);
    EXPECT_TRUE(folder->exists());
    EXPECT_EQ(folder->create(true), 0) << "already there";

    ASSERT_TRUE(writeFile(dir.file("blocker"), "file in the way"));
    EXPECT_EQ(folderAt(dir.file("blocker\\below"))->create(true), 0) << "a level that cannot be made";
    EXPECT_EQ(folderAt(dir.file("blocker"))->create(true), 0) << "a file where the folder should be";
}

// The long-path prefix "\\?\" names no folder to test or make; only the
// levels after the drive do.
TEST(Folder, CreateWorksOnLongPathForms) {
    tempDir dir;
    ASSERT_EQ(dir.path().compare(1, 2, ":\\"), 0) << "a drive path: " << dir.path();
    std::string deep = "\\\\?\\" + dir.file("a\\b");
    auto folder = folderAt(deep);
    EXPECT_EQ(folder->create(true), 1) << deep;
    EXPECT_TRUE(folder->exists());
    EXPECT_TRUE(fileExists(dir.file("a\\b")));
}

TEST(Folder, ClearDeletesFilesAndKeepsFolders) {
    tempDir dir;
    std::string root = dir.file("root");
    ASSERT_TRUE(makeFolder(root));
    ASSERT_TRUE(makeFolder(root + "\\sub"));
    ASSERT_TRUE(makeFolder(root + "\\sub\\deeper"));
    ASSERT_TRUE(writeFile(root + "\\top.txt", "t"));
    ASSERT_TRUE(writeFile(root + "\\sub\\mid.txt", "m"));
    ASSERT_TRUE(writeFile(root + "\\sub\\deeper\\low.txt", "l"));
    auto folder = folderAt(root);

    EXPECT_TRUE(folder->clear(false));
    EXPECT_FALSE(fileExists(root + "\\top.txt"));
    EXPECT_TRUE(fileExists(root + "\\sub\\mid.txt")) << "subfolders untouched without recursion";

    EXPECT_TRUE(folder->clear(true));
    EXPECT_FALSE(fileExists(root + "\\sub\\mid.txt"));
    EXPECT_FALSE(fileExists(root + "\\sub\\deeper\\low.txt"));
    EXPECT_TRUE(fileExists(root + "\\sub\\deeper")) << "folders stay";

    EXPECT_FALSE(folderAt(dir.file("absent"))->clear(true));
}

TEST(Folder, RemoveNeedsAnEmptyFolder) {
    tempDir dir;
    ASSERT_TRUE(makeFolder(dir.file("full")));
    ASSERT_TRUE(writeFile(dir.file("full\\x"), "x"));
    auto folder = folderAt(dir.file("full"));
    EXPECT_FALSE(folder->remove());
    EXPECT_TRUE(folder->clear(false));
    EXPECT_TRUE(folder->remove());
    EXPECT_FALSE(folder->exists());
}

TEST(Folder, AcceptsFileAndFolderObjectsOnly) {
    tempDir dir;
    auto folder = folderAt(dir.path());
    auto file = fileAt(dir.file("f"));
    ref<Ibuffer> other(bytesBuffer("x"));
    EXPECT_TRUE(folder->accepts(file.get()));
    EXPECT_TRUE(folder->accepts(folder.get()));
    EXPECT_FALSE(folder->accepts(other.get()));
    EXPECT_FALSE(folder->accepts(nullptr));
}

}  // namespace
}  // namespace vesk::svctest
