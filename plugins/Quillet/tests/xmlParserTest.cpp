// The parser's records for the settings files' subset of XML, and its
// behaviour on damaged input: it reads only inside the source, never writes
// to it, and ends with the records found so far.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "plugins/Quillet/tests/guardedBuffer.h"
#include "plugins/Quillet/tests/xmlTestSupport.h"
#include "plugins/fs/tests/fsTestSupport.h"
#include "testing/sampleSettings.h"
#include "testing/testPaths.h"

namespace vesk::svctest {
namespace {

constexpr int none = 0xFFFF;

const std::string& settingsText = vesk::testing::sampleSettingsText;

const std::vector<record> settingsRecords = {
    {"SaveOnExit", "(long)1", "UI", 3, 2},
    {"SaveOnExit", "/UI", "vesk_settings", 2, 2},
    {"Gnutella_ConnectString", "(string)GNUTELLA%20CONNECT/0.4%0a%0a", "zUdoradur", 3, 2},
    {"Gnutella_ReportedPort", "(ushort)6346", "zUdoradur", 3, 2},
    {"Gnutella_ReportedPort", "/zUdoradur", "vesk_settings", 2, 2},
    {"Gnutella_ReportedPort", "/vesk_settings", "<null>", 1, none},
};

TEST(XmlParser, RecordSequences) {
    struct {
        const char* what;
        std::string input;
        std::vector<record> expected;
    } cases[] = {
        {"builder text of one group",
         "<r>\n\t<g>\n\t\t<k1>t1</k1>\n\t\t<k2>t2</k2>\n\t</g>\n</r>\n",
         {{"k1", "t1", "g", 3, 2}, {"k2", "t2", "g", 3, 2}, {"k2", "/g", "r", 2, 2}, {"k2", "/r", "<null>", 1, none}}},
        {"settings file with two groups", settingsText, settingsRecords},
        {"blanks inside a text are kept", "<r><k>a b</k></r>", {{"k", "a b", "r", 2, 2}, {"k", "/r", "<null>", 1, none}}},
        {"a text of one character", "<r><k>v</k></r>", {{"k", "v", "r", 2, 2}, {"k", "/r", "<null>", 1, none}}},
        {"an empty text names the element itself", "<r><k></k></r>", {{"k", "/k", "k", 2, 2}, {"k", "/r", "r", 1, 2}}},
        {"quote and '=' stay in a text", "<r><k>a=\"b</k></r>", {{"k", "a=\"b", "r", 2, 2}, {"k", "/r", "<null>", 1, none}}},
        {"'=' is dropped from a tag name", "<r><a=b>v</a=b></r>", {{"ab", "v", "r", 2, 2}, {"ab", "/r", "<null>", 1, none}}},
        {"an attribute joins the name", "<r><a x>v</a></r>", {{"ax", "v", "r", 2, 2}, {"ax", "/r", "<null>", 1, none}}},
        {"a missing end keeps what was found", "<r><k>v</k>", {{"k", "v", "r", 2, 2}}},
        {"closing tags without opening ones", "</a></b>", {{"", "/a", "<null>", 0, none}, {"", "/b", "<null>", -1, none}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseText(c.input), c.expected) << c.what;
}

TEST(XmlParser, DamagedInputEndsCleanlyAndLeavesTheParserUsable) {
    const std::string damaged[] = {
        "", "<", "</", "<!", "<!-", "<!--", "<a", "</a", "<a>text", ">>>", "<<<>>>", "<!-- x -->",
        "<a><b></a></b></c></d>", "<r><k>v</k></r></r></r>", std::string("\0<\0>\0", 5), "<a>\"=\"=</a>",
        "<k>(string)%", "<a>x<!-", "<a>x</",
    };
    for (const auto& input : damaged) {
        ref<Ibuffer> source = guarded(input);
        EXPECT_TRUE(parser()->parse(source.get())) << input;
        records();  // every record readable
        EXPECT_EQ(parseText(settingsText), settingsRecords) << "after " << input;
    }
}

// Random damage to a real settings text, always in a guarded buffer: any
// read past the end or write into the text faults the test.
TEST(XmlParser, RandomlyDamagedSettingsNeverReachOutsideTheirText) {
    std::mt19937 random(20240517);
    const std::string alphabet = "<>/!-=\" \t\r\nab(%)";
    for (int round = 0; round < 3000; ++round) {
        std::string text = settingsText;
        int edits = 1 + static_cast<int>(random() % 6);
        for (int e = 0; e < edits && !text.empty(); ++e) {
            size_t at = random() % text.size();
            char c = alphabet[random() % alphabet.size()];
            switch (random() % 4) {
            case 0: text[at] = c; break;
            case 1: text.insert(text.begin() + at, c); break;
            case 2: text.erase(at, 1 + random() % 8); break;
            default: text.resize(at); break;
            }
        }
        ref<Ibuffer> source = guarded(text);
        ASSERT_TRUE(parser()->parse(source.get())) << text;
        for (const record& r : records()) {
            ASSERT_LE(r.name.size(), text.size());
            ASSERT_LE(r.text.size(), text.size() + 1);  // "/" and a name
        }
    }
    EXPECT_EQ(parseText(settingsText), settingsRecords);
}

TEST(XmlParser, BufferIsParsedFromItsPosition) {
    ref<Ibuffer> source = guarded("junk<r><k>v</k></r>");
    source->seek(4, 0);
    ASSERT_TRUE(parser()->parse(source.get()));
    EXPECT_EQ(records(), (std::vector<record>{{"k", "v", "r", 2, 2}, {"k", "/r", "<null>", 1, none}}));
}

TEST(XmlParser, RefusesWhatItCannotRead) {
    ASSERT_EQ(parseText("<r><k>v</k></r>").size(), 2u);
    EXPECT_FALSE(parser()->parse(nullptr));
    EXPECT_FALSE(parser()->parse(parser()));
    EXPECT_EQ(records().size(), 2u) << "a refused source leaves the last records";

    vesk::testing::tempDir dir;
    ASSERT_TRUE(vesk::testing::writeFile(dir.file("empty.egg"), ""));
    ASSERT_TRUE(vesk::testing::writeFile(dir.file("s.egg"), settingsText));
    auto closed = fileAt(dir.file("s.egg"));
    EXPECT_FALSE(parser()->parse(closed.get())) << "a closed file gives nothing";
    auto empty = fileAt(dir.file("empty.egg"));
    ASSERT_TRUE(empty->open(fs::openFlag::text, fs::shareDenyNone));
    EXPECT_FALSE(parser()->parse(empty.get()));

    EXPECT_TRUE(parser()->reset());
    EXPECT_EQ(parser()->firstElement(), nullptr);
}

TEST(XmlParser, ReadsAnOpenFileWhole) {
    vesk::testing::tempDir dir;
    ASSERT_TRUE(vesk::testing::writeFile(dir.file("s.egg"), settingsText));
    auto f = fileAt(dir.file("s.egg"));
    ASSERT_TRUE(f->open(fs::openFlag::text, fs::shareDenyNone));
    ASSERT_TRUE(parser()->parse(f.get()));
    EXPECT_EQ(records(), settingsRecords);
}

}  // namespace
}  // namespace vesk::svctest
