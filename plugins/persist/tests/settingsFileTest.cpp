// The settings file as the store writes and reads it through the file
// target: exact bytes, every type back equal, damaged files kept aside and
// failed writes that leave the old file whole.
#include <gtest/gtest.h>

#include <windows.h>

#include <cfloat>
#include <climits>
#include <string>

#include "plugins/persist/tests/persistTestSupport.h"
#include "testing/sampleSettings.h"
#include "testing/testPaths.h"
#include "vesk/containers.h"
#include "vesk/data.h"

namespace vesk::svctest {
namespace {

using vesk::testing::fileExists;
using vesk::testing::readFile;
using vesk::testing::tempDir;
using vesk::testing::writeFile;

const std::string& nineLines = vesk::testing::sampleSettingsText;

bool loggedContaining(const std::string& part) {
    for (const auto& line : moduleHost::instance().loggedLines())
        if (line.find(part) != std::string::npos)
            return true;
    return false;
}

// Each test gets a folder; the store lets go of its file before the folder
// is removed.
class SettingsFile : public ::testing::Test {
protected:
    void TearDown() override { detachStore(); }
    tempDir dir;
};

TEST_F(SettingsFile, TwoGroupsAreWrittenExactly) {
    std::string path = dir.file("vesk.egg");
    persist::Isettings* s = storeOn(path);
    IentityToken* gnutella = ownerNamed("zUdoradur");
    s->setValue("Gnutella_ReportedPort", value(static_cast<unsigned short>(6346)), gnutella);
    s->setValue("Gnutella_ConnectString", value("GNUTELLA CONNECT/0.4\n\n"), gnutella);
    s->setValue("SaveOnExit", value(1L), ownerNamed("UI"));
    ASSERT_TRUE(s->save());
    EXPECT_EQ(readFile(path), nineLines);
    EXPECT_FALSE(fileExists(path + ".new")) << "no temporary file left behind";

    storeOn(dir.file("five.egg"))->setValue("X", value(5L), ownerNamed("UI"));
    ASSERT_TRUE(store()->save());
    EXPECT_EQ(readFile(dir.file("five.egg")),
              "<vesk_settings>\r\n\t<UI>\r\n\t\t<X>(long)5</X>\r\n\t</UI>\r\n</vesk_settings>\r\n");
}

TEST_F(SettingsFile, EveryTypeReadsBackEqual) {
    std::string path = dir.file("vesk.egg");
    IentityToken* owner = ownerNamed("round trip");
    std::string high;
    for (int c = 0x80; c <= 0xFF; ++c)
        high += static_cast<char>(c);
    const std::string text = "a b%c\n\"=\"<tag>#" + high;
    struct {
        const char* key;
        value v;
    } values[] = {
        {"char", value('\0')}, {"char2", value('A')}, {"uchar", value(static_cast<unsigned char>(0xFF))},
        {"short", value(static_cast<short>(SHRT_MIN))}, {"ushort", value(static_cast<unsigned short>(USHRT_MAX))},
        {"long", value(LONG_MIN)}, {"ulong", value(ULONG_MAX)}, {"longlong", value(LLONG_MIN)},
        {"ulonglong", value(ULLONG_MAX)}, {"float", value(1.5f)}, {"double", value(-DBL_MAX)},
        {"string", value(text.c_str())},
    };
    persist::Isettings* s = storeOn(path);
    for (const auto& v : values)
        s->setValue(v.key, v.v, owner);
    ASSERT_TRUE(s->save());

    s = storeOn(path);
    for (const auto& v : values) {
        value back = s->getValue(v.key, value(), owner);
        if (v.v.code == vt::cString) {
            EXPECT_EQ(back.code, vt::stringObject);
            EXPECT_EQ(textOf(back), text);
        } else {
            EXPECT_EQ(back.code, v.v.code) << v.key;
            EXPECT_EQ(back.payload.raw, v.v.payload.raw) << v.key;
        }
    }
}

TEST_F(SettingsFile, ReadValuesBelongToTheOwnerNamedByTheirGroup) {
    std::string path = dir.file("vesk.egg");
    ASSERT_TRUE(writeFile(path,
                          "<vesk_settings>\r\n\t<zUdoradur>\r\n"
                          "\t\t<Gnutella_ListenPort>(long)6346</Gnutella_ListenPort>\r\n"
                          "\t\t<Twice>(long)1</Twice>\r\n\t\t<Twice>(long)2</Twice>\r\n"
                          "\t\t<Untagged>abc</Untagged>\r\n"
                          "\t\t<Raw>(string)\xe9t\xe9</Raw>\r\n"
                          "\t</zUdoradur>\r\n</vesk_settings>\r\n"));
    persist::Isettings* s = storeOn(path);
    IentityToken* owner = ownerNamed("zUdoradur");
    EXPECT_EQ(s->getValue("Gnutella_ListenPort", value(1L), owner).asLong(), 6346);
    EXPECT_EQ(s->getValue("Twice", value(9L), owner).asLong(), 2) << "the one read last";
    EXPECT_EQ(s->getValue("Untagged", value(9L), owner).asLong(), 9) << "no tag: no value";
    EXPECT_EQ(textOf(s->getValue("Raw", value(), owner)), "\xe9t\xe9") << "unencoded high bytes read back";
    EXPECT_EQ(s->getValue("Gnutella_ListenPort", value(1L), ownerNamed("someone else")).asLong(), 1);
}

TEST_F(SettingsFile, AStoreWithoutValuesLeavesTheFileAlone) {
    std::string path = dir.file("vesk.egg");
    const std::string untagged = "<vesk_settings><UI><X>abc</X></UI></vesk_settings>";
    ASSERT_TRUE(writeFile(path, untagged));
    persist::Isettings* s = storeOn(path);
    EXPECT_TRUE(s->save());
    EXPECT_EQ(readFile(path), untagged);

    s->setValue("Y", value(1L), ownerNamed("UI"));
    EXPECT_TRUE(s->removeValue("Y", ownerNamed("UI")));
    EXPECT_TRUE(s->save()) << "emptied by removeValue: saved as nothing";
    EXPECT_EQ(readFile(path), untagged);
}

TEST_F(SettingsFile, AFailedWriteLeavesTheOldFileWhole) {
    std::string path = dir.file("vesk.egg");
    persist::Isettings* s = storeOn(path);
    s->setValue("SaveOnExit", value(1L), ownerNamed("UI"));
    ASSERT_TRUE(s->save());
    const std::string before = readFile(path);

    s->setValue("Other", value(2L), ownerNamed("UI"));
    ASSERT_TRUE(CreateDirectoryA((path + ".new").c_str(), nullptr)) << "the temporary file cannot be made";
    EXPECT_FALSE(s->save());
    EXPECT_EQ(readFile(path), before);
    EXPECT_TRUE(loggedContaining("could not write " + path));

    ASSERT_TRUE(RemoveDirectoryA((path + ".new").c_str()));
    EXPECT_TRUE(s->save());
    EXPECT_NE(readFile(path).find("<Other>(long)2</Other>"), std::string::npos);
}

TEST_F(SettingsFile, ADamagedFileIsKeptAsideAndNeverOverwritten) {
    std::string path = dir.file("vesk.egg");
    const std::string damaged = nineLines.substr(0, nineLines.size() / 2);
    ASSERT_TRUE(writeFile(path, damaged));
    persist::Isettings* s = storeOn(path);
    EXPECT_EQ(s->getValue("SaveOnExit", value(7L), ownerNamed("UI")).asLong(), 7) << "defaults";
    EXPECT_EQ(readFile(path + ".bad"), damaged);
    EXPECT_FALSE(fileExists(path));
    EXPECT_TRUE(loggedContaining("kept as " + path + ".bad"));

    ASSERT_TRUE(s->save());
    EXPECT_NE(readFile(path).find("<SaveOnExit>(long)7</SaveOnExit>"), std::string::npos);
    EXPECT_EQ(readFile(path + ".bad"), damaged);

    // When it cannot be moved aside, nothing is written over it.
    ASSERT_TRUE(writeFile(path, damaged));
    ASSERT_TRUE(DeleteFileA((path + ".bad").c_str()));
    ASSERT_TRUE(CreateDirectoryA((path + ".bad").c_str(), nullptr));
    ASSERT_TRUE(writeFile(path + ".bad\\inside", "x"));
    s = storeOn(path);
    s->setValue("SaveOnExit", value(1L), ownerNamed("UI"));
    EXPECT_FALSE(s->save());
    EXPECT_EQ(readFile(path), damaged);
}

// Editors may put a byte-order mark before the text; the settings after it
// are whole and must be read, not set aside.
TEST_F(SettingsFile, AByteOrderMarkIsNoDamage) {
    std::string path = dir.file("vesk.egg");
    ASSERT_TRUE(writeFile(path, "\xEF\xBB\xBF" + nineLines));
    persist::Isettings* s = storeOn(path);
    EXPECT_EQ(s->getValue("SaveOnExit", value(0L), ownerNamed("UI")).asLong(), 1);
    EXPECT_EQ(s->getValue("Gnutella_ReportedPort", value(0L), ownerNamed("zUdoradur")).asUshort(), 6346);
    EXPECT_FALSE(fileExists(path + ".bad"));
}

// Settings that could not be read at the start are unknown, not absent:
// the defaults must not be saved over them.
TEST_F(SettingsFile, AFileThatCouldNotBeOpenedIsNeverOverwritten) {
    std::string path = dir.file("vesk.egg");
    ASSERT_TRUE(writeFile(path, nineLines));
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    persist::Isettings* s = storeOn(path);
    ASSERT_TRUE(CloseHandle(held));
    EXPECT_EQ(s->getValue("SaveOnExit", value(0L), ownerNamed("UI")).asLong(), 0) << "defaults";

    EXPECT_FALSE(s->save());
    EXPECT_EQ(readFile(path), nineLines);
    EXPECT_TRUE(loggedContaining(path + " could not be opened"));
}

// A key or owner name that no element can carry must not spoil the file
// for every other setting at the next start.
TEST_F(SettingsFile, NamesNoElementCanCarryAreLeftOut) {
    std::string path = dir.file("vesk.egg");
    persist::Isettings* s = storeOn(path);
    s->setValue("Kept", value(1L), ownerNamed("UI"));
    // The parser drops '"' and '=' from a name and takes "<!" for a comment:
    // written, "Kept=" would come back as "Kept", over that key's value.
    for (const char* key : {"a/b", "a<b", "a>b", "tab\tkey", "line\r\nkey", "", "Kept=", "Kept\"", "!Kept"})
        s->setValue(key, value(2L), ownerNamed("UI"));
    s->setValue("Key", value(3L), ownerNamed("odd/owner"));
    ASSERT_TRUE(s->save());
    EXPECT_EQ(readFile(path), "<vesk_settings>\r\n\t<UI>\r\n\t\t<Kept>(long)1</Kept>\r\n\t</UI>\r\n</vesk_settings>\r\n");

    s = storeOn(path);
    EXPECT_EQ(s->getValue("Kept", value(0L), ownerNamed("UI")).asLong(), 1);
    EXPECT_FALSE(fileExists(path + ".bad"));
}

TEST_F(SettingsFile, TargetHandsOverGroupsInOrderAndPairsAsRead) {
    std::string path = dir.file("t.egg");
    ASSERT_TRUE(writeFile(path,
                          "<vesk_settings><b><k2>(long)1</k2><k1>(long)2</k1><k2>(long)3</k2></b>"
                          "<a><z>(string)x</z></a></vesk_settings>"));
    ref<persist::IpersistTarget> target = targetFor(path);
    ref<Ivector> all(target->getValues());
    ASSERT_TRUE(all);
    std::string seen;
    for (unsigned i = 0; i < all->size(); ++i) {
        Itrio* t = interfaceCast<Itrio>(all->at(i).asGeneric());
        ASSERT_TRUE(t);
        value v = t->getThird();
        seen += textOf(t->getFirst()) + "." + textOf(t->getSecond()) + "=" +
                (v.code == vt::longV ? std::to_string(v.asLong()) : textOf(v)) + " ";
    }
    EXPECT_EQ(seen, "a.z=x b.k2=1 b.k1=2 b.k2=3 ");

    EXPECT_TRUE(target->close());
    EXPECT_EQ(target->getValues(), nullptr);
    EXPECT_FALSE(target->setValue(nullptr, "k", value(1L)));
    EXPECT_FALSE(target->setValue("g", "k", value()));
}

TEST_F(SettingsFile, TargetsThatHoldNothing) {
    loadServiceModules();
    Ifactory* f = moduleHost::instance().factory();
    IentityToken* owner = moduleHost::instance().owner();
    ref<persist::IpersistTarget> pathless(
        interfaceCast<persist::IpersistTarget>(f->create(f->findClass("vesk::persist::persistTargetFile"), owner)));
    ASSERT_TRUE(pathless);
    EXPECT_TRUE(pathless->setValue("g", "k", value(1L)));
    EXPECT_FALSE(pathless->save()) << "nowhere to write";

    for (bool withValue : {false, true}) {
        unsigned long sqlClass = f->findClass("vesk::persist::persistTargetSQL");
        Igeneric* made = withValue ? f->create1(sqlClass, owner, value("ignored")) : f->create(sqlClass, owner);
        ref<persist::IpersistTarget> sql(interfaceCast<persist::IpersistTarget>(made));
        ASSERT_TRUE(sql);
        EXPECT_FALSE(sql->setValue("g", "k", value(1L)));
        EXPECT_FALSE(sql->close());
        EXPECT_EQ(sql->getValues(), nullptr);
        EXPECT_FALSE(sql->save());
        EXPECT_EQ(f->create2(sqlClass, owner, value(1L), value(2L)), nullptr);
    }
}

}  // namespace
}  // namespace vesk::svctest
