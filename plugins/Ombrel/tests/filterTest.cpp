#include <cstring>
#include <string>
#include <vector>

#include "core/string.h"
#include "core/tests/liveProbe.h"
#include "plugins/Ombrel/tests/managerFixture.h"

namespace vesk::ss::test {
namespace {

class Filters : public managerFixture {
protected:
    // A result agent with one attribute, held by the caller.
    IAgent* result(const char* field, const value& v) {
        IAgent* a = newAgent();
        a->SetAttribute(field, v);
        return a;
    }

    bool filtered(const char* field, const value& v) {
        IAgent* a = result(field, v);
        bool yes = manager->IsFiltered(a);
        a->release();
        return yes;
    }
};

TEST(FilterOperators, ValuesOfMixedTypes) {
    ref<Istring> title(new vesk::string("Hello World.mp3"));
    ref<Istring> sameText(new vesk::string("Hello World.mp3"));
    std::string lateMatch = std::string(300, 'x') + "needle";
    std::string earlyMatch = std::string(250, 'x') + "needle";
    struct row {
        const char* name;
        FilterOperatorFn op;
        value left, right;
        bool expected;
    } rows[] = {
        {"==", op::Equal, value(5L), value(5L), true},
        {"==", op::Equal, value(5L), value(5UL), false},  // type codes differ
        {"!=", op::NotEqual, value(5L), value(5UL), false},
        {"!=", op::NotEqual, value(5L), value(6L), true},
        {"<", op::Less, value(-3L), value(2L), true},
        {"<=", op::LessOrEqual, value(2L), value(2L), true},
        {">=", op::GreaterOrEqual, value(1L), value(2L), false},
        {">", op::Greater, value(3000000000UL), value(1UL), false},  // 2^31 and more: negative
        {"<", op::Less, value(static_cast<char>(-1)), value(static_cast<char>(1)), true},
        {">", op::Greater, value(static_cast<unsigned short>(60000)), value(static_cast<unsigned short>(59999)), true},
        {">", op::Greater, value(0x100000001LL), value(0x200000000LL), true},  // low halves: 1 > 0
        {">", op::Greater, value("b"), value("a"), true},
        {">", op::Greater, value("B"), value("a"), false},  // bytes, no case folding
        {"<", op::Less, value("\xe9"), value("z"), false},   // bytes compare unsigned
        {"==", op::Equal, value("abc"), value("abc"), true},
        {"==", op::Equal, value(title.get()), value(sameText.get()), false},  // objects by address
        {"==", op::Equal, value(title.get()), value(title.get()), true},
        {"==", op::Equal, value("5"), value(5L), false},
        {"IN", op::In, value("Hello World.mp3"), value("WORLD"), true},
        {"IN", op::In, value(title.get()), value("world"), true},
        {"IN", op::In, value("Hello World.mp3"), value(""), true},
        {"IN", op::In, value("Hello"), value("hello world"), false},
        {"IN", op::In, value(5L), value("5"), false},
        {"IN", op::In, value(lateMatch.c_str()), value("needle"), false},  // beyond 260 characters
        {"IN", op::In, value(earlyMatch.c_str()), value("needle"), true},
        {"TEXTORDER", op::TextOrder, value("abc"), value("ac"), true},
        {"TEXTORDER", op::TextOrder, value("abc"), value("ca"), false},
        {"TEXTORDER", op::TextOrder, value("abc"), value("aa"), true},
        {"TEXTORDER", op::TextOrder, value("ABC"), value(""), true},
        {"TEXTORDER", op::TextOrder, value(title.get()), value("HWD3"), true},
        {"TEXTORDER", op::TextOrder, value(1L), value("1"), false},
    };
    for (const row& r : rows)
        EXPECT_EQ(r.op(r.left, r.right), r.expected) << r.name << " left type " << std::hex << r.left.code;
}

TEST_F(Filters, StandardOperatorsHoldIdsTwoToNine) {
    const char* names[] = {"<", "<=", ">", ">=", "==", "!=", "IN", "TEXTORDER"};
    int id = 2;
    for (const char* name : names) {
        EXPECT_EQ(manager->GetOperatorId(name), id);
        EXPECT_STREQ(manager->GetOperatorName(id), name);
        ++id;
    }
    EXPECT_EQ(manager->GetOperatorName(10), nullptr);
    EXPECT_EQ(manager->GetOperatorId("in"), 0);
    EXPECT_FALSE(manager->RegisterOperator("IN", op::Equal)) << "the first function stays";
    ASSERT_TRUE(manager->AddFilterByName("Word", "Title", "IN", value("world")));
    EXPECT_TRUE(filtered("Title", value("Hello World")));

    EXPECT_TRUE(manager->RegisterOperator("NEW", op::Equal));
    EXPECT_EQ(manager->GetOperatorId("NEW"), 10) << "ids are never given twice";
    EXPECT_TRUE(manager->UnregisterOperator("IN"));
    EXPECT_FALSE(manager->UnregisterOperator("IN"));
    EXPECT_TRUE(filtered("Title", value("Hello World"))) << "a filter keeps its operator";
    EXPECT_FALSE(manager->AddFilterByName("Word2", "Title", "IN", value("x")));
}

TEST_F(Filters, AddingAndRemoving) {
    EXPECT_TRUE(manager->AddFilter("Big", "Size", 4, value(1000L)));
    EXPECT_FALSE(manager->AddFilter("Big", "Other", 4, value(5L))) << "key Big4 is taken";
    EXPECT_TRUE(manager->AddFilter("Big", "Other", 5, value(5L)));
    EXPECT_FALSE(manager->AddFilter(nullptr, "Size", 4, value(1L)));
    EXPECT_FALSE(manager->AddFilter("x", nullptr, 4, value(1L)));
    EXPECT_FALSE(manager->AddFilter("x", "Size", 0, value(1L)));
    EXPECT_FALSE(manager->AddFilter("x", "Size", 99, value(1L)));
    EXPECT_FALSE(manager->AddFilterByName("x", "Size", "~", value(1L)));
    EXPECT_FALSE(manager->AddFilterByName("x", "Size", nullptr, value(1L)));

    std::string longest(259, 'n'), tooLong(260, 'n');
    EXPECT_TRUE(manager->AddFilter(longest.c_str(), longest.c_str(), 2, value(1L)));
    EXPECT_FALSE(manager->AddFilter(tooLong.c_str(), "Size", 2, value(1L)));
    EXPECT_FALSE(manager->AddFilter("y", tooLong.c_str(), 2, value(1L)));

    EXPECT_TRUE(filtered("Size", value(5000L)));
    EXPECT_FALSE(filtered("Size", value(50L)));
    EXPECT_FALSE(filtered("Size", value(5000UL))) << "another type never matches";
    EXPECT_FALSE(filtered("Unrelated", value(5000L)));
    EXPECT_TRUE(manager->RemoveFilter("Big4"));
    EXPECT_FALSE(manager->RemoveFilter("Big4"));
    EXPECT_FALSE(manager->RemoveFilter(nullptr));
    EXPECT_FALSE(filtered("Size", value(5000L)));
}

TEST_F(Filters, TextOperandIsTheFiltersOwnCopy) {
    char operand[16] = "mp3";
    ASSERT_TRUE(manager->AddFilterByName("Music", "Name", "IN", value(static_cast<const char*>(operand))));
    std::strcpy(operand, "zzz");
    EXPECT_TRUE(filtered("Name", value("song.MP3")));

    Istring* text = new vesk::string("iso");
    text->addRef();
    ASSERT_TRUE(manager->AddFilterByName("Images", "Name", "IN", value(text)));
    EXPECT_EQ(vesk::test::countOf(text), 2) << "a text-object operand is held";
    EXPECT_TRUE(manager->RemoveFilter("Images8"));
    EXPECT_EQ(vesk::test::countOf(text), 1);
    text->release();
}

TEST_F(Filters, CallbackDropsMatchingAgentsFromTheBatch) {
    ASSERT_TRUE(manager->AddFilterByName("Big", "Size", ">", value(1000L)));
    Ivector* batch = newVector();
    std::vector<IAgent*> agents = {result("Size", value(5000L)), result("Size", value(7000L)),
                                   result("Size", value(10L))};
    for (IAgent* a : agents)
        batch->pushBack(value(static_cast<Igeneric*>(a)));
    batch->pushBack(value(42L));  // not an agent: stays
    manager->FireResultCallbacks(batch);
    ASSERT_EQ(batch->size(), 2u);
    EXPECT_EQ(batch->at(0).asGeneric(), static_cast<Igeneric*>(agents[2]));
    EXPECT_EQ(batch->at(1).asLong(), 42);
    for (IAgent* a : agents)
        a->release();
    batch->release();
}

}  // namespace
}  // namespace vesk::ss::test
