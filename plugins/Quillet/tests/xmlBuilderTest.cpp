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

}  // namespace
}  // namespace vesk::svctest
