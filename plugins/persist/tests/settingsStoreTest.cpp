// Store rules: keys by owner, defaults stored on first read, save hooks.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "plugins/persist/tests/persistTestSupport.h"
#include "testing/heapCanary.h"
#include "testing/testPaths.h"
#include "vesk/data.h"

namespace vesk::svctest {
namespace {

using vesk::testing::fillFreedBlocks;
using vesk::testing::letters;
using vesk::testing::lettersOnly;
using vesk::testing::readFile;

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override { s = storeOn(dir.file("vesk.egg")); }
    void TearDown() override { detachStore(); }
    std::string saved() {
        EXPECT_TRUE(s->save());
        return readFile(dir.file("vesk.egg"));
    }
    vesk::testing::tempDir dir;
    persist::Isettings* s = nullptr;
};

TEST_F(SettingsStore, ValuesAreFiledUnderOwnerAndKey) {
    IentityToken* manager = ownerNamed("ss_manager");
    IentityToken* other = ownerNamed("other owner");
    s->setValue("MaxSearchResults", value(200L), manager);
    s->setValue("MaxSearchResults", value(5L), other);
    EXPECT_EQ(s->getValue("MaxSearchResults", value(0L), manager).asLong(), 200);
    EXPECT_EQ(s->getValue("MaxSearchResults", value(0L), other).asLong(), 5);
    EXPECT_EQ(s->getValue("maxsearchresults", value(1L), manager).asLong(), 1) << "keys are case-sensitive";

    s->setValue("a b:c", value(3L), ownerNamed("vesk::ss one"));
    EXPECT_EQ(s->getValue("a_b_c", value(0L), ownerNamed("vesk::ss one")).asLong(), 3);
    EXPECT_EQ(s->getValue("a b:c", value(0L), ownerNamed("vesk::ss one")).asLong(), 3);

    std::string file = saved();
    EXPECT_NE(file.find("\t<ss_manager>\r\n\t\t<MaxSearchResults>(long)200</MaxSearchResults>\r\n"), std::string::npos);
    EXPECT_NE(file.find("\t<other_owner>\r\n"), std::string::npos);
    EXPECT_NE(file.find("\t<vesk__ss_one>\r\n\t\t<a_b_c>(long)3</a_b_c>\r\n"), std::string::npos);
}

TEST_F(SettingsStore, ADefaultIsStoredOnTheFirstRead) {
    IentityToken* owner = ownerNamed("UI");
    value first = s->getValue("Skin", value("blue"), owner);
    EXPECT_EQ(first.code, vt::stringObject) << "a C-string default is kept as a string object";
    EXPECT_EQ(textOf(first), "blue");
    value second = s->getValue("Skin", value("red"), owner);
    EXPECT_EQ(second.asString(), first.asString()) << "the stored object comes back";

    EXPECT_EQ(s->getValue("Port", value(static_cast<unsigned short>(6346)), owner).asUshort(), 6346);
    std::string file = saved();
    EXPECT_NE(file.find("<Skin>(string)blue</Skin>"), std::string::npos);
    EXPECT_NE(file.find("<Port>(ushort)6346</Port>"), std::string::npos);
}

TEST_F(SettingsStore, AnEmptyDefaultIsNeitherStoredNorReturned) {
    IentityToken* owner = ownerNamed("UI");
    value none = s->getValue("Nothing", value(), owner);
    EXPECT_EQ(none.code, vt::longV);
    EXPECT_EQ(none.asLong(), 0);
    EXPECT_EQ(s->getValue("Nothing", value(4L), owner).asLong(), 4) << "nothing was stored before";
}

TEST_F(SettingsStore, SetValueReturnsWhatItStored) {
    IentityToken* owner = ownerNamed("UI");
    char text[] = "changing";
    value stored = s->setValue("T", value(static_cast<const char*>(text)), owner);
    text[0] = 'X';
    EXPECT_EQ(stored.code, vt::stringObject);
    EXPECT_EQ(textOf(s->getValue("T", value(), owner)), "changing") << "a copy, not the caller's buffer";

    EXPECT_EQ(s->setValue(nullptr, value(1L), owner).asLong(), 0);
    EXPECT_EQ(s->setValue("K", value(1L), nullptr).asLong(), 0);
    EXPECT_EQ(s->setValue("K", value(), owner).asLong(), 0);
    EXPECT_EQ(s->getValue(nullptr, value(1L), owner).asLong(), 0);
    EXPECT_EQ(s->getValue("K", value(1L), nullptr).asLong(), 0);
    EXPECT_FALSE(s->removeValue(nullptr, owner));
    EXPECT_FALSE(s->removeValue("K", nullptr));
    EXPECT_EQ(s->getValue("K", value(8L), owner).asLong(), 8) << "none of the above stored anything";
}

TEST_F(SettingsStore, ARemovedKeyIsGoneAtTheNextSave) {
    IentityToken* owner = ownerNamed("UI");
    s->setValue("Keep", value(1L), owner);
    s->setValue("Drop", value(2L), owner);
    EXPECT_NE(saved().find("<Drop>"), std::string::npos);
    EXPECT_TRUE(s->removeValue("Drop", owner));
    EXPECT_FALSE(s->removeValue("Drop", owner));
    std::string file = saved();
    EXPECT_EQ(file.find("<Drop>"), std::string::npos);
    EXPECT_NE(file.find("<Keep>(long)1</Keep>"), std::string::npos);
}

TEST_F(SettingsStore, AskingForTheTargetChangesNothing) {
    s->setValue("Kept", value(1L), ownerNamed("UI"));
    persist::IpersistTarget* current = s->setTarget(nullptr);
    EXPECT_NE(current, nullptr);
    EXPECT_EQ(s->setTarget(nullptr), current);
    EXPECT_EQ(s->getValue("Kept", value(0L), ownerNamed("UI")).asLong(), 1);
}

// Both threads start on each key together, so that the reader's
// default-storing falls between another thread's look-up and its write.
// Bounded: a thread that never arrives ends the wait after 30 s.
void meetAt(std::atomic<int>& arrived, int count) {
    ++arrived;
    DWORD start = GetTickCount();
    while (arrived.load() < count && GetTickCount() - start < 30000)
        std::this_thread::yield();
}

TEST_F(SettingsStore, AReadWithADefaultNeverUndoesAnotherThreadsWrite) {
    IentityToken* owner = ownerNamed("racing");
    const int keys = 2000;
    std::atomic<int> arrived{0};
    std::thread reader([&] {
        for (int i = 0; i < keys; ++i) {
            meetAt(arrived, 2 * (i + 1));
            s->getValue(("K" + std::to_string(i)).c_str(), value(0L), owner);
        }
    });
    for (int i = 0; i < keys; ++i) {
        meetAt(arrived, 2 * (i + 1));
        s->setValue(("K" + std::to_string(i)).c_str(), value(1L), owner);
    }
    reader.join();
    int lost = 0;
    for (int i = 0; i < keys; ++i)
        lost += s->getValue(("K" + std::to_string(i)).c_str(), value(2L), owner).asLong() != 1;
    EXPECT_EQ(lost, 0) << "a default was stored over a value written meanwhile";
}

std::vector<int> calls;
bool hookA() { calls.push_back(0); return true; }
bool hookB() { calls.push_back(1); return false; }
// A hook that writes its module's latest value, as modules do before a save.
bool hookC() {
    calls.push_back(2);
    store()->setValue("FromHook", value(42L), ownerNamed("UI"));
    return true;
}

// getValue hands a text out without a reference and the reader copies it
// after the store's lock is gone; whatever another thread does to the key
// meanwhile must not free it under the reader.
TEST_F(SettingsStore, AHandedOutTextStaysReadableWhateverHappensToItsKey) {
    IentityToken* owner = ownerNamed("UI");
    const std::string first = letters(100);
    struct change {
        const char* what;
        std::function<void()> apply;
    } changes[] = {
        {"a longer text", [&] { s->setValue("Skin", value(letters(300, 5).c_str()), owner); }},
        {"a number", [&] { s->setValue("Skin", value(7L), owner); }},
        {"removed", [&] { s->removeValue("Skin", owner); }},
    };
    for (const change& c : changes) {
        s->setValue("Skin", value(first.c_str()), owner);
        value handedOut = s->getValue("Skin", value(""), owner);
        ASSERT_NE(handedOut.asString(), nullptr);
        const char* text = handedOut.asString()->c_str();
        c.apply();
        fillFreedBlocks(90, 320);
        ASSERT_TRUE(lettersOnly(text, first.size())) << c.what << ": the text was freed under its reader";
        EXPECT_EQ(text, first) << c.what;
    }
}

TEST_F(SettingsStore, TheSameTextSetAgainKeepsItsObject) {
    IentityToken* owner = ownerNamed("UI");
    Istring* stored = s->setValue("Skin", value("blue"), owner).asString();
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(s->setValue("Skin", value("blue"), owner).asString(), stored);
    Istring* changed = s->setValue("Skin", value("red"), owner).asString();
    EXPECT_NE(changed, stored);
    EXPECT_EQ(textOf(s->getValue("Skin", value(""), owner)), "red");
}

// An option page rewrites a setting while a worker thread reads it and
// copies the text a moment later; a third thread reuses freed blocks.
TEST_F(SettingsStore, TextsRewrittenByOneThreadStayReadableForAnother) {
    IentityToken* owner = ownerNamed("racing texts");
    const int writes = 3000;
    const std::size_t longest = 200;
    std::atomic<bool> done{false}, reading{false};
    s->setValue("ConnectString", value(letters(10).c_str()), owner);
    std::thread writer([&] {
        while (!reading)  // the rewrites start once the reads have
            Sleep(0);
        for (int i = 0; i < writes; ++i)
            s->setValue("ConnectString", value(letters(10 + i % (longest - 10), i).c_str()), owner);
        done = true;
    });
    std::thread reuser([&] {
        while (!done)
            fillFreedBlocks(8, longest + 16, 1);
    });
    int reads = 0, damaged = 0;
    while (!done) {
        reading = true;
        Istring* text = s->getValue("ConnectString", value(""), owner).asString();
        const char* seen = text ? text->c_str() : nullptr;
        Sleep(0);  // copied a moment later, outside the store's lock
        ++reads;
        if (!lettersOnly(seen, longest))
            ++damaged;
    }
    writer.join();
    reuser.join();
    EXPECT_EQ(damaged, 0) << "of " << reads << " texts read";
}

TEST_F(SettingsStore, SaveHooksAreCalledOnceEachInAddressOrder) {
    calls.clear();
    EXPECT_TRUE(s->notify()) << "no hooks";
    EXPECT_TRUE(calls.empty());

    for (persist::listener fn : {hookC, hookA, hookB, hookA})
        s->addCallback(fn);
    EXPECT_TRUE(s->notify());
    std::vector<std::pair<std::uintptr_t, int>> byAddress = {
        {reinterpret_cast<std::uintptr_t>(hookA), 0},
        {reinterpret_cast<std::uintptr_t>(hookB), 1},
        {reinterpret_cast<std::uintptr_t>(hookC), 2}};
    std::sort(byAddress.begin(), byAddress.end());
    std::vector<int> expected;
    for (const auto& entry : byAddress)
        expected.push_back(entry.second);
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(s->getValue("FromHook", value(0L), ownerNamed("UI")).asLong(), 42);

    for (persist::listener fn : {hookA, hookB, hookC})
        EXPECT_TRUE(s->removeCallback(fn));
    EXPECT_FALSE(s->removeCallback(hookA));
    calls.clear();
    s->notify();
    EXPECT_TRUE(calls.empty());
}

}  // namespace
}  // namespace vesk::svctest
