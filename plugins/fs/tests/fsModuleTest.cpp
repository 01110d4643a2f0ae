// The file-system module's entry points driven as the host drives them.
#include <gtest/gtest.h>

#include "plugins/fs/tests/fsTestSupport.h"
#include "testing/testPaths.h"
#include "vesk/containers.h"

namespace vesk::svctest {
namespace {

// A program of its own, so that this runs before anything publishes the
// platform services (gtest keeps the order of definition within a file).
TEST(FileSystemModule, RegistersOnlyOnceItsServicesExist) {
    moduleHost& host = moduleHost::instance();
    registration record;
    EXPECT_EQ(host.registerModule("fs", &record), 0);
    EXPECT_EQ(host.entities()->findEntity("filesystem"), 0u);

    host.publishPlatformServices();
    EXPECT_EQ(host.registerModule("fs", &record), 1);
    EXPECT_EQ(record, (registration{"filesystem", "pelloran", "vesk::fs::", 0, 1}));
    EXPECT_NE(host.entities()->findEntity("filesystem"), 0u);
}

TEST(FileSystemModule, FactoryTableHoldsBothClasses) {
    moduleHost& host = moduleHost::instance();
    ASSERT_EQ(host.registerModule("fs"), 1);
    EXPECT_EQ(host.factoryClasses("fs"), (classTable{{1, "vesk::fs::file"}, {3, "vesk::fs::directory"}}));

    loadFileSystemModule();
    Ifactory* f = host.factory();
    unsigned long fileClass = f->findClass("vesk::fs::file");
    ASSERT_NE(fileClass, 0u);
    EXPECT_EQ(f->create2(fileClass, host.owner(), value(1L), value(2L)), nullptr);
    EXPECT_EQ(f->createWithArgs(fileClass, host.owner(), nullptr), nullptr);
    ref<fs::Ifile> noPath(interfaceCast<fs::Ifile>(f->create1(fileClass, host.owner(), value(5L))));
    ASSERT_TRUE(noPath) << "a value that is no text gives an object without a path";
    EXPECT_EQ(noPath->rename(nullptr), nullptr);
    EXPECT_FALSE(noPath->exists());
    EXPECT_FALSE(noPath->open(0x8122, fs::shareDenyNone));
}

TEST(FileSystemModule, UnloadRemovesItsEntity) {
    moduleHost& host = moduleHost::instance();
    ASSERT_EQ(host.registerModule("fs"), 1);
    ASSERT_NE(host.entities()->findEntity("filesystem"), 0u);
    auto unload = reinterpret_cast<lifecycleEntry>(reinterpret_cast<void*>(host.entry("fs", "_unload")));
    auto load = reinterpret_cast<lifecycleEntry>(reinterpret_cast<void*>(host.entry("fs", "_load")));
    auto init = reinterpret_cast<lifecycleEntry>(reinterpret_cast<void*>(host.entry("fs", "_initialize")));
    ASSERT_TRUE(unload && load && init);
    EXPECT_EQ(load(), 1);
    EXPECT_EQ(init(), 1);
    EXPECT_EQ(unload(), 1);
    EXPECT_EQ(host.entities()->findEntity("filesystem"), 0u);

    // Objects keep working after the module gave its token back.
    vesk::testing::tempDir dir;
    ASSERT_TRUE(vesk::testing::writeFile(dir.file("x"), "still"));
    auto f = fileAt(dir.file("x"));
    ASSERT_TRUE(f->open(fs::openFlag::binary, fs::shareDenyNone));
    EXPECT_EQ(takeText(f->read(0, 0)), "still");
    EXPECT_EQ(host.registerModule("fs"), 1) << "registers again";
}

}  // namespace
}  // namespace vesk::svctest
