// The share2 module as the host drives it, with the real core objects and
// the threader module: registration, the watcher started by _load, a stop.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "core/constructs.h"
#include "core/coreDirectory.h"
#include "core/entityTable.h"
#include "core/factory.h"
#include "core/module.h"
#include "plugins/share2/tests/shareTestSupport.h"
#include "testing/testPaths.h"
#include "vesk/host.h"
#include "vesk/share2.h"
#include "vesk/threading.h"

namespace vesk::share2::test {
namespace {

class recordingCartridge : public objectBase, public Icartridge {
public:
    recordingCartridge() {
        registerInterfaceOf<Icartridge>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    int setName(const char* t) override { return keep(name, t); }
    int setAuthor(const char* t) override { return keep(author, t); }
    int setDescription(const char* t) override { return keep(description, t); }
    int setMajorVersion(int v) override { return major = v, 1; }
    int setMinorVersion(int v) override { return minor = v, 1; }
    const char* getAuthor() override { return author.c_str(); }
    const char* getName() override { return name.c_str(); }
    const char* getDescription() override { return description.c_str(); }
    int getMajorVersion() override { return major; }
    int getMinorVersion() override { return minor; }
    const char* getMajorVersionText() override { return ""; }
    const char* getMinorVersionText() override { return ""; }

    std::string name, author, description;
    int major = -1, minor = -1;

private:
    static int keep(std::string& field, const char* text) { return field = text ? text : "", 1; }
};

template <class F>
F entryOf(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

bool pumpUntil(bool (*done)(void*), void* context, DWORD limitMs = 15000) {
    for (DWORD start = GetTickCount(); !done(context); Sleep(5)) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        if (GetTickCount() - start > limitMs)
            return false;
    }
    return true;
}

TEST(Share2Module, RegistersStartsItsThreadsThroughTheThreaderAndStops) {
    vesk::testing::tempDir dir;
    char previous[MAX_PATH];
    ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.path().c_str()));
    std::string music = dir.file("Music"), docs = dir.file("Docs");
    ASSERT_TRUE(makeFolder(music) && makeFolder(docs));
    ASSERT_TRUE(makeFile(music + "\\song.mp3", "a song"));
    ASSERT_TRUE(makeFile(docs + "\\paper.txt", "a paper"));
    ASSERT_TRUE(makeFile(dir.file("pelloran.ini"), "[Share0]\r\nPath=" + music + "\r\nRecursive=1\r\n"));

    auto* directory = new capsule_core<vesk::core>();
    auto* factory = new capsule_core<vesk::factory>();
    auto* entities = new capsule_core<vesk::entityTable>();
    ASSERT_TRUE(registerCoreClasses(factory));
    Icore* core = directory;
    directory->registerObject(nameOf<Ifactory>(), static_cast<Ifactory*>(factory));
    directory->registerObject(nameOf<IentityTable>(), static_cast<IentityTable*>(entities));

    HMODULE share2 = LoadLibraryA((vesk::testing::stageDir() + "\\plugins\\share2.vkm").c_str());
    HMODULE sysrt = LoadLibraryA((vesk::testing::stageDir() + "\\plugins\\sysrt.vkm").c_str());
    ASSERT_TRUE(share2 && sysrt);
    auto shareRegister = entryOf<registerEntry>(share2, "_register");
    auto shareLoad = entryOf<lifecycleEntry>(share2, "_load");
    auto shareInitialize = entryOf<lifecycleEntry>(share2, "_initialize");
    auto shareUnload = entryOf<lifecycleEntry>(share2, "_unload");
    ASSERT_TRUE(shareRegister && shareLoad && shareInitialize && shareUnload);
    EXPECT_EQ(GetProcAddress(share2, "_factory"), nullptr);

    auto* cartridge = new capsule<recordingCartridge>();
    cartridge->addRef();
    EXPECT_EQ(shareRegister(nullptr, core), 0);
    EXPECT_EQ(shareRegister(cartridge, nullptr), 0);
    EXPECT_EQ(shareRegister(cartridge, core), 0);  // no signal processor yet
    EXPECT_EQ(lookupService<IShareEngine>(core), nullptr);

    ASSERT_EQ(entryOf<registerEntry>(sysrt, "_register")(cartridge, core), 1);
    ASSERT_EQ(shareRegister(cartridge, core), 1);
    EXPECT_EQ(cartridge->name, "Share2");
    EXPECT_EQ(cartridge->description, "Pelloran Share Engine");
    EXPECT_EQ(cartridge->major, 0);
    EXPECT_EQ(cartridge->minor, 1);
    EXPECT_NE(entities->findEntity("Share2"), 0u);
    IShareEngine* engine = lookupService<IShareEngine>(core);
    ASSERT_NE(engine, nullptr);
    EXPECT_NE(interfaceCast<IcoreObject>(engine), nullptr);
    EXPECT_EQ(shareRegister(cartridge, core), 1);  // again: the same engine
    EXPECT_EQ(lookupService<IShareEngine>(core), engine);

    Ithreader* threader = lookupService<Ithreader>(core);
    ASSERT_NE(threader, nullptr);
    EXPECT_EQ(shareLoad(), 1);
    EXPECT_EQ(shareInitialize(), 1);
    static std::string songHash, paperHash;
    songHash = referenceHashText("a song");
    paperHash = referenceHashText("a paper");
    ASSERT_TRUE(pumpUntil([](void* e) { return static_cast<IShareEngine*>(e)->fileByHash(songHash.c_str()) != nullptr; }, engine));
    EXPECT_GE(threader->liveThreads(), 1u);

    engine->setState(1);
    ASSERT_TRUE(makeFile(dir.file("pelloran.ini"), "[Share0]\r\nPath=" + music + "\r\nRecursive=1\r\n[Share1]\r\nPath=" +
                                                       docs + "\r\nRecursive=0\r\n"));
    EXPECT_TRUE(pumpUntil([](void* e) { return static_cast<IShareEngine*>(e)->fileByHash(paperHash.c_str()) != nullptr; }, engine));

    EXPECT_EQ(engine->setState(-1), -1);
    EXPECT_EQ(threader->liveThreads(), 0u);  // ended and let go
    EXPECT_EQ(shareUnload(), 1);
    EXPECT_NE(engine->fileByHash(songHash.c_str()), nullptr);  // look-ups outlive the threads

    cartridge->release();
    directory->releaseCore();  // ends the published objects, the engine among them
    SetCurrentDirectoryA(previous);
}

}  // namespace
}  // namespace vesk::share2::test
