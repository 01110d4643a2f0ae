#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/buffer.h"
#include "core/string.h"
#include "vesk/value.h"

namespace vesk {
namespace {

TEST(Value, ConstructorsSetTheirCodes) {
    unsigned char bytes[2] = {1, 2};
    int dummy = 0;
    struct row {
        value v;
        std::uint32_t code;
    } rows[] = {
        {value(), vt::empty},
        {value(5L), vt::longV},
        {value(5UL), vt::ulongV},
        {value('a'), vt::charV},
        {value(static_cast<unsigned char>(1)), vt::ucharV},
        {value(static_cast<short>(1)), vt::shortV},
        {value(static_cast<unsigned short>(1)), vt::ushortV},
        {value(1LL), vt::longlongV},
        {value(1ULL), vt::ulonglongV},
        {value(1.5f), vt::floatV},
        {value(1.5), vt::doubleV},
        {value("text"), vt::cString},
        {value(bytes), vt::bytes},
        {value(static_cast<void*>(&dummy)), vt::pointer},
    };
    for (const row& r : rows) {
        EXPECT_EQ(r.v.code, r.code);
        EXPECT_EQ(r.v.owned, 0);
    }
    EXPECT_EQ(value().payload.raw, 0u);
}

TEST(Value, AccessorsAnswerOnlyTheirExactCode) {
    value ul(5UL), l(5L), bytesValue(static_cast<unsigned char*>(nullptr));
    unsigned char raw[1] = {0};
    value bytesReal(raw);
    EXPECT_EQ(l.asLong(), 5);
    EXPECT_EQ(ul.asLong(), 0);  // no conversion between codes
    EXPECT_EQ(l.asUlong(), 0u);
    EXPECT_EQ(ul.asUlong(), 5u);
    EXPECT_EQ(bytesReal.asPointer(), nullptr);  // untyped pointer is 0x4000 only
    EXPECT_EQ(bytesReal.asBytes(), raw);
    EXPECT_EQ(value(1.5).asFloat(), 0.0f);
    EXPECT_EQ(value(1.5f).asFloat(), 1.5f);

    auto* s = new string("x");
    s->addRef();
    value sv(static_cast<Istring*>(s));
    EXPECT_EQ(sv.code, vt::stringObject);
    EXPECT_EQ(sv.asGeneric(), nullptr);  // a string object is not code 0x1
    EXPECT_EQ(sv.asString(), s);
    EXPECT_EQ(sv.anyObject(), static_cast<Igeneric*>(s));
    s->release();
}

TEST(Value, DestroyingAnUnownedValueTouchesNothing) {
    auto* s = new string("kept");
    s->addRef();
    { value v(static_cast<Istring*>(s)); }
    EXPECT_EQ(s->addRef(), 2);
    s->release();
    s->release();
}

TEST(Value, DestroyingAnOwnedObjectValueReleasesIt) {
    auto* s = new string("owned");
    s->addRef();
    s->addRef();
    {
        value v(static_cast<Istring*>(s));
        v.owned = 1;
    }
    EXPECT_EQ(s->release(), 0);
}

struct orderCase {
    const char* what;
    value a, b;
    bool less, greater;
};

TEST(Value, OrderingMatrix) {
    auto* abc = new string("abc");
    auto* abd = new string("abd");
    auto* nullText = new string(nullptr);
    Ibuffer* two = newBuffer("zz", 2);
    Ibuffer* three = newBuffer("aaa", 3);
    Ibuffer* ab = newBuffer("ab", 2);
    for (Igeneric* o : std::vector<Igeneric*>{abc, abd, nullText, two, three, ab})
        o->addRef();
    long five = 5, six = 6;
    double nan = std::numeric_limits<double>::quiet_NaN();
    unsigned char b1[] = "a", b2[] = "b";
    const char* nullCString = nullptr;

    std::vector<orderCase> cases = {
        {"empty vs empty", value(), value(), false, false},
        {"long", value(-1L), value(1L), true, false},
        {"ulong is unsigned", value(1UL), value(0xFFFFFFFFUL), true, false},
        {"uchar 1 < 200", value(static_cast<unsigned char>(1)), value(static_cast<unsigned char>(200)), true, false},
        {"char signed", value(static_cast<char>(-1)), value(static_cast<char>(1)), true, false},
        {"longlong over 64 bits", value(0x100000000LL), value(0x200000000LL), true, false},
        {"ulonglong", value(1ULL), value(0xFFFFFFFFFFFFFFFFULL), true, false},
        {"double", value(1.5), value(2.5), true, false},
        {"float", value(-1.0f), value(0.5f), true, false},
        {"NaN orders nothing", value(nan), value(1.0), false, false},
        {"cstring", value("abc"), value("abd"), true, false},
        {"bytes as text", value(b1), value(b2), true, false},
        {"string objects", value(static_cast<Istring*>(abc)), value(static_cast<Istring*>(abd)), true, false},
        {"string object vs cstring equal", value(static_cast<Istring*>(abc)), value("abc"), false, false},
        {"cstring vs string object less", value("abc"), value(static_cast<Istring*>(abd)), true, false},
        {"string object vs cstring less", value(static_cast<Istring*>(abc)), value("abd"), true, false},
        {"null cstring before text", value(nullCString), value("a"), true, false},
        {"two null cstrings equal", value(nullCString), value(nullCString), false, false},
        {"string object without text vs cstring", value(static_cast<Istring*>(nullText)), value("a"), false, false},
        {"string object without text vs string object", value(static_cast<Istring*>(nullText)),
         value(static_cast<Istring*>(abc)), false, false},
        {"string object without text vs null cstring", value(static_cast<Istring*>(nullText)), value(nullCString),
         false, false},
        {"string object without payload vs string object", value(static_cast<Istring*>(nullptr)),
         value(static_cast<Istring*>(abc)), false, false},
        {"string object without payload vs cstring", value(static_cast<Istring*>(nullptr)), value("a"), false,
         false},
        {"buffers by size first", value(two), value(three), true, false},
        {"equal-size buffers by bytes", value(ab), value(two), true, false},
        {"long 5 and ulong 5 equivalent", value(5L), value(5UL), false, false},
        {"long 5 and cstring 5 equivalent", value(5L), value("5"), false, false},
        {"long and double never order", value(1L), value(2.0), false, false},
    };
    value pl(static_cast<void*>(nullptr));
    pl.code = vt::longPtr;
    pl.payload.p = &five;
    value pl2 = pl;
    pl2.payload.p = &six;
    cases.push_back({"pointer to long compares numbers", pl, pl2, true, false});
    value nullPl = pl;
    nullPl.payload.p = nullptr;
    cases.push_back({"null pointer to long sorts first", nullPl, pl, true, false});
    // Addresses compare as unsigned numbers, also above 2 GB.
    void* low = reinterpret_cast<void*>(0x10);
    void* high = reinterpret_cast<void*>(0x80000000u);
    cases.push_back({"untyped pointers by address", value(low), value(high), true, false});
    cases.push_back({"objects by address", value(static_cast<Igeneric*>(low)), value(static_cast<Igeneric*>(high)),
                     true, false});
    value nullBuffer(static_cast<Ibuffer*>(nullptr));
    cases.push_back({"null buffer object is unordered", nullBuffer, value(two), false, false});

    for (const orderCase& c : cases) {
        EXPECT_EQ(valueLess(c.a, c.b), c.less) << c.what;
        EXPECT_EQ(valueLess(c.b, c.a), c.greater) << c.what << " (reversed)";
    }
    for (Igeneric* o : std::vector<Igeneric*>{abc, abd, nullText, two, three, ab})
        o->release();
}

TEST(Value, NothingIsALongZero) {
    value n = nothing();
    EXPECT_EQ(n.code, vt::longV);
    EXPECT_EQ(n.asLong(), 0);
}

}  // namespace
}  // namespace vesk
