#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/buffer.h"
#include "core/string.h"

namespace vesk {
namespace {

// Holds the one reference a test takes on a new buffer.
struct held {
    explicit held(Ibuffer* b) : p(b) {
        if (p)
            p->addRef();
    }
    ~held() {
        if (p)
            p->release();
    }
    Ibuffer* operator->() const { return p; }
    Ibuffer* p;
};

std::string contents(Ibuffer* b) {
    return std::string(reinterpret_cast<const char*>(bufferData(b)), b->resize(0));
}

TEST(Buffer, ResizeGrowsWithZerosAndShrinksKeepingTheStart) {
    held b(newBuffer("hello", 5));
    EXPECT_EQ(b->resize(0), 5u);  // reads the size
    EXPECT_EQ(b->resize(8), 8u);
    EXPECT_EQ(contents(b.p), std::string("hello\0\0\0", 8));
    EXPECT_EQ(b->resize(3), 3u);
    EXPECT_EQ(contents(b.p), "hel");
    EXPECT_EQ(b->setSize(3), 3u);
}

TEST(Buffer, AGrowthThatCannotBeHadLeavesTheBufferAsItWas) {
    if (sizeof(void*) != 4)
        GTEST_SKIP() << "a 64-bit process can hold 4 GiB";
    held b(newBuffer("hello", 5));
    b->seek(2, 0);
    EXPECT_EQ(b->resize(0xFFFFFFFFu), 5u);  // more than a 32-bit process can hold
    EXPECT_EQ(contents(b.p), "hello");
    EXPECT_EQ(b->tell(), 2);
}

TEST(Buffer, SliceBounds) {
    held b(newBuffer("abcdef", 6));
    struct {
        unsigned from, to;
        const char* expected;  // null: no buffer
    } cases[] = {
        {1, 4, "bcd"}, {2, 2, ""}, {0, 6, "abcdef"}, {3, 2, nullptr}, {0, 7, nullptr}, {7, 7, nullptr},
    };
    for (auto& c : cases) {
        held s(b->slice(c.from, c.to));
        if (!c.expected) {
            EXPECT_EQ(s.p, nullptr) << c.from << ".." << c.to;
            continue;
        }
        ASSERT_NE(s.p, nullptr);
        EXPECT_EQ(contents(s.p), c.expected);
        EXPECT_EQ(s->addRef(), 2);  // the slice came with a count of 0
        s->release();
    }
    EXPECT_EQ(contents(b.p), "abcdef");
}

TEST(Buffer, AppendIgnoresNullAndNonPositiveCounts) {
    held b(newBuffer("ab", 2));
    EXPECT_EQ(b->append(nullptr, 4), 2u);
    EXPECT_EQ(b->append("cd", 0), 2u);
    EXPECT_EQ(b->append("cd", -3), 2u);
    EXPECT_EQ(b->append("cd", 2), 4u);
    EXPECT_EQ(contents(b.p), "abcd");
}

TEST(Buffer, AppendBufferCopiesFromTheFirstByteWhateverThePosition) {
    held a(newBuffer("12", 2));
    held other(newBuffer("345", 3));
    other->seek(2, 0);
    a->appendBuffer(other.p);
    a->appendBuffer(nullptr);
    EXPECT_EQ(contents(a.p), "12345");
    EXPECT_EQ(contents(other.p), "345");
    a->appendBuffer(a.p);  // itself: the old bytes once
    EXPECT_EQ(contents(a.p), "1234512345");
}

TEST(Buffer, CloneAndAssign) {
    held empty(newBuffer(nullptr, 0));
    held c(empty->clone());
    ASSERT_NE(c.p, nullptr);
    EXPECT_EQ(c->resize(0), 0u);

    held b(newBuffer("0123456789", 10));
    b->seek(7, 0);
    held copy(b->clone());
    EXPECT_EQ(copy->tell(), 0);
    EXPECT_EQ(contents(copy.p), "0123456789");

    b->assign("xy", 2);
    EXPECT_EQ(contents(b.p), "xy");
    EXPECT_EQ(b->tell(), 7);  // assign leaves the position
    b->assign("zz", -1);      // negative count: nothing
    EXPECT_EQ(contents(b.p), "xy");
    b->assign(nullptr, 0);
    EXPECT_EQ(b->resize(0), 0u);
    EXPECT_EQ(b->tell(), 7);
}

TEST(Buffer, SeekOrigins) {
    held b(newBuffer("0123456789", 10));
    struct {
        int offset, origin, expected;
    } steps[] = {
        {4, 0, 4},  {2, 1, 6},   {0, 2, 10}, {100, 0, 10}, {-3, 2, 7},
        {3, 7, 0},  // unknown origin: result 0, position unchanged
        {-50, 1, 0},  // never before the start
        {-1, 0, 0},
    };
    for (auto& s : steps)
        EXPECT_EQ(b->seek(s.offset, s.origin), s.expected) << s.offset << "," << s.origin;
    b->seek(7, 0);
    b->seek(3, 7);
    EXPECT_EQ(b->tell(), 7);
    EXPECT_EQ(*b->current(), '7');
}

TEST(String, CopiesItsTextAndCountsItsLengthModulo65536) {
    char text[] = "abc";
    auto* s = new string(text);
    s->addRef();
    text[0] = 'X';
    EXPECT_STREQ(s->c_str(), "abc");
    EXPECT_EQ(s->length(), 3);
    s->release();

    std::string longText(70000, 'q');
    auto* l = new string(longText.c_str());
    l->addRef();
    EXPECT_EQ(l->length(), 4464);
    EXPECT_EQ(std::strlen(l->c_str()), 70000u);
    l->release();

    auto* n = new string(nullptr);
    n->addRef();
    EXPECT_EQ(n->c_str(), nullptr);
    EXPECT_EQ(n->length(), 0);
    EXPECT_NE(n->queryInterface("struct vesk::Istring *"), nullptr);
    EXPECT_EQ(n->queryInterface("struct vesk::Ibuffer *"), nullptr);
    EXPECT_EQ(n->queryInterface(nullptr), nullptr);
    EXPECT_EQ(n->queryInterface("vesk"), nullptr);  // shorter than the prefix
    n->release();
}

}  // namespace
}  // namespace vesk
