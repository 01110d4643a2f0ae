// Value texts of the settings files: tags, percent-encoding and reading
// back, without files.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <string>

#include "plugins/persist/valueText.h"
#include "core/string.h"
#include "vesk/data.h"

namespace vesk::persist {
namespace {

// A string value held by the test.
struct heldString {
    explicit heldString(const std::string& text) : object(new string(text.c_str())) {}
    value get() const { return value(object.get()); }
    ref<Istring> object;
};

std::string encoded(const value& v) {
    std::string text;
    return valueText(v, text) ? percentEncode(text) : "<no tag>";
}

// What a reader gets back from the encoded text.
value readBack(const std::string& encodedText) { return valueFromText(percentDecode(encodedText.c_str())); }

bool sameValue(const value& a, const value& b) {
    if (a.code != b.code)
        return false;
    if (a.code == vt::stringObject)
        return std::string(a.asString()->c_str()) == b.asString()->c_str();
    if (a.code == vt::floatV)
        return a.payload.f == b.payload.f;
    if (a.code == vt::doubleV)
        return a.payload.d == b.payload.d;
    return a.payload.raw == b.payload.raw;
}

std::string textOf(const value& v) {
    Istring* s = v.asString();
    return s && s->c_str() ? s->c_str() : "<not a string>";
}

TEST(ValueText, EveryTypeIsWrittenAsThePartsOfTheFormatSay) {
    std::string high;
    for (int c = 0x80; c <= 0xFF; ++c)
        high += static_cast<char>(c);
    std::string highEncoded;
    for (int c = 0x80; c <= 0xFF; ++c) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%%%02x", c);
        highEncoded += hex;
    }
    heldString connect("GNUTELLA CONNECT/0.4\n\n"), mixed("a b%c\nd"), quoted("k=\"v\""), reserved("#<>[\\]^{|}~`"),
        upper(high), empty(""), control(std::string("\x01\x1f\x7f", 3));
    struct {
        value v;
        std::string expected;
    } cases[] = {
        {value('A'), "(char)A"},
        {value('\0'), "(char)%00"},
        {value(static_cast<unsigned char>(0xE9)), "(uchar)%e9"},
        {value(static_cast<short>(-12345)), "(short)-12345"},
        {value(static_cast<unsigned short>(6346)), "(ushort)6346"},
        {value(1L), "(long)1"},
        {value(-7L), "(long)-7"},
        {value(4294967295UL), "(ulong)-1"},
        {value(LLONG_MIN), "(longlong)-9223372036854775808"},
        {value(ULLONG_MAX), "(ulonglong)18446744073709551615"},
        {value(0.1f), "(float)0.100000"},
        {value(2.5), "(double)2.500000"},
        {connect.get(), "(string)GNUTELLA%20CONNECT/0.4%0a%0a"},
        {mixed.get(), "(string)a%20b%25c%0ad"},
        {quoted.get(), "(string)k=%22v%22"},
        {reserved.get(), "(string)%23%3c%3e%5b%5c%5d%5e%7b%7c%7d%7e%60"},
        {upper.get(), "(string)" + highEncoded},
        {control.get(), "(string)%01%1f%7f"},
        {empty.get(), "(string)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(encoded(c.v), c.expected);
        value back = readBack(c.expected);
        ref<Igeneric> held(back.anyObject());
        EXPECT_TRUE(sameValue(back, c.v)) << c.expected;
    }
}

TEST(ValueText, ReadingGivesTheTypedValues) {
    value d = readBack("(double)2.500000");
    EXPECT_EQ(d.code, vt::doubleV);
    EXPECT_EQ(d.payload.d, 2.5);
    EXPECT_EQ(readBack("(ulong)-1").asUlong(), 4294967295UL);
    EXPECT_EQ(readBack("(ulong)4294967295").asUlong(), 4294967295UL);
    EXPECT_EQ(readBack("(long)%20%20-42xyz").asLong(), -42) << "leading blanks, a sign, then digits";
    EXPECT_EQ(readBack("(char)").code, vt::charV);
    EXPECT_EQ(readBack("(char)").asChar(), 0);
    EXPECT_EQ(readBack("(ushort)70000").asUshort(), static_cast<unsigned short>(70000));
    EXPECT_EQ(readBack("(float)0.100000").asFloat(), 0.1f);
}

TEST(ValueText, TextsWithoutAKnownTagGiveNothing) {
    for (const char* text : {"abc", "", "(bogus)1", "long)1", "x(long)7", "(Long)1"})
        EXPECT_EQ(readBack(text).code, vt::empty) << text;
    EXPECT_EQ(valueFromText("x(long)7", 1).asLong(), 7) << "the tag may start further in";
    EXPECT_EQ(valueFromText("(long)7", 50).code, vt::empty);
}

TEST(ValueText, TypesWithoutATagAreNotWritten) {
    char bytes[] = "x";
    std::string out;
    EXPECT_FALSE(valueText(value(static_cast<const char*>("text")), out));
    EXPECT_FALSE(valueText(value(static_cast<void*>(bytes)), out));
    EXPECT_FALSE(valueText(value(static_cast<Igeneric*>(nullptr)), out));
    EXPECT_FALSE(valueText(value(static_cast<Istring*>(nullptr)), out)) << "a string value without its object";
    EXPECT_FALSE(valueText(value(), out));
}

TEST(ValueText, DecodingIsSafeOnDamagedEscapes) {
    struct {
        const char* in;
        std::string out;
    } cases[] = {
        {"%4A%4a", "JJ"},     // either case
        {"a%00b", "ab"},      // a zero byte is dropped
        {"a%zzb", "ab"},      // no hexadecimal number: nothing
        {"a%4gb", "ab"},
        {"ab%", "ab"},        // cut off by the end
        {"ab%4", "ab"},
        {"%%41", "1"},        // "%%4" is no number, then "1"
        {"plain", "plain"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(percentDecode(c.in), c.out) << c.in;
    EXPECT_EQ(percentDecode(nullptr), "");
}

TEST(ValueText, LongTextsAndNumbersAreKeptWhole) {
    std::string longText(5000, 'x');
    longText[2500] = ' ';
    heldString s(longText);
    std::string e = encoded(s.get());
    value back = readBack(e);
    ref<Igeneric> held(back.anyObject());
    EXPECT_EQ(textOf(back), longText);

    value huge = readBack(encoded(value(DBL_MAX)));
    EXPECT_EQ(huge.payload.d, DBL_MAX) << "a \"%f\" text of over 300 digits";
    EXPECT_EQ(readBack(encoded(value(-1e-7))).payload.d, 0.0) << "six decimals";
}

}  // namespace
}  // namespace vesk::persist
