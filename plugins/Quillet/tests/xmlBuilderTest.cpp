// The builder's exact output.
#include <gtest/gtest.h>

#include <string>

#include "core/buffer.h"
#include "plugins/Quillet/tests/xmlTestSupport.h"
#include "vesk/data.h"

namespace vesk::svctest {
namespace {

std::string built() {
    ref<Ibuffer> b(builder()->getBuffer());
    if (!b)
        return "<null>";
    return std::string(reinterpret_cast<const char*>(bufferData(b.get())), b->resize(0));
}

TEST(XmlBuilder, WritesIndentedLinesExactly) {
    xml::IxmlBuilder* b = builder();
    ASSERT_TRUE(b->reset());
    EXPECT_EQ(built(), "<null>") << "nothing written";
    EXPECT_EQ(b->getLength(), 0u);

    b->openElement("a");
    b->addElement("b", "1");
    b->closeElement("a");
    EXPECT_EQ(built(), "<a>\n\t<b>1</b>\n</a>\n");
    EXPECT_EQ(b->getLength(), 19u);

    ASSERT_TRUE(b->reset());
    b->openElement("vesk_settings");
    b->openElement("UI");
    b->addElement("X", "(long)5");
    b->closeElement("UI");
    b->closeElement("vesk_settings");
    const std::string expected = "<vesk_settings>\n\t<UI>\n\t\t<X>(long)5</X>\n\t</UI>\n</vesk_settings>\n";
    EXPECT_EQ(built(), expected);
    EXPECT_EQ(b->getLength(), expected.size());
}

TEST(XmlBuilder, IgnoresNullsAndNeverWrapsTheDepth) {
    xml::IxmlBuilder* b = builder();
    ASSERT_TRUE(b->reset());
    EXPECT_FALSE(b->openElement(nullptr));
    EXPECT_FALSE(b->addElement("k", nullptr));
    EXPECT_FALSE(b->addElement(nullptr, "t"));
    EXPECT_FALSE(b->closeElement(nullptr));
    EXPECT_EQ(b->getLength(), 0u);

    b->closeElement("x");  // a close at depth 0
    b->openElement("y");
    b->addElement("z", "");
    EXPECT_EQ(built(), "</x>\n<y>\n\t<z></z>\n");
}

TEST(XmlBuilder, LongTextsAreKeptWhole) {
    xml::IxmlBuilder* b = builder();
    ASSERT_TRUE(b->reset());
    const std::string text(70000, 'q');  // beyond a 16-bit length
    b->addElement("k", text.c_str());
    EXPECT_EQ(built(), "<k>" + text + "</k>\n");
    EXPECT_EQ(b->getLength(), text.size() + 8);
}

// A settings file with a full host cache: tens of thousands of lines, every
// byte where the lines put it.
TEST(XmlBuilder, ManyLinesJoinInOrder) {
    xml::IxmlBuilder* b = builder();
    ASSERT_TRUE(b->reset());
    std::string expected = "<vesk_settings>\n";
    b->openElement("vesk_settings");
    for (int group = 0; group < 4; ++group) {
        const std::string name = "g" + std::to_string(group);
        b->openElement(name.c_str());
        expected += "\t<" + name + ">\n";
        for (int i = 0; i < 10000; ++i) {
            const std::string key = "Host" + std::to_string(i);
            const std::string text = "(string)198.18." + std::to_string(i % 256) + "." + std::to_string(group) +
                                     "%3A" + std::string(i % 7, 'x');
            b->addElement(key.c_str(), text.c_str());
            expected += "\t\t<" + key + ">" + text + "</" + key + ">\n";
        }
        b->closeElement(name.c_str());
        expected += "\t</" + name + ">\n";
    }
    b->closeElement("vesk_settings");
    expected += "</vesk_settings>\n";
    EXPECT_EQ(b->getLength(), expected.size());
    EXPECT_TRUE(built() == expected) << "the joined text differs from the lines written";
    EXPECT_TRUE(built() == expected) << "a second join gives the same text";
    ASSERT_TRUE(b->reset());
}

}  // namespace
}  // namespace vesk::svctest
