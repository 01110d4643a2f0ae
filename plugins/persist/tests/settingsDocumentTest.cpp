// Which texts count as a whole settings document; a damaged one is kept
// aside instead of being read.
#include <gtest/gtest.h>

#include <string>

#include "plugins/persist/settingsDocument.h"

namespace vesk::persist {
namespace {

bool whole(const std::string& text) {
    return isWholeDocument(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

TEST(SettingsDocument, WholeDocuments) {
    for (const char* text : {
             "<vesk_settings>\n\t<UI>\n\t\t<X>(long)5</X>\n\t</UI>\n</vesk_settings>\n",
             "<vesk_settings>\r\n</vesk_settings>\r\n",
             "<r><g><k></k><k2>a b</k2></g></r>",
             "  <r>\n</r>  \n",
         })
        EXPECT_TRUE(whole(text)) << text;
}

TEST(SettingsDocument, DamagedDocuments) {
    const std::string damaged[] = {
        "", "   \r\n", std::string(64, '\0'),
        "<vesk_settings>\n\t<UI>\n\t\t<X>(long)5</X>\n\t</UI>\n",     // cut short
        "<vesk_settings>\n\t<UI>\n\t\t<X>(long)5</X>\n\t</U",         // cut inside a tag
        "<vesk_settings>\n\t<UI>\n\t\t<X>(long)5",
        "<r><g></r></g>",                                              // crossed
        "<r></r><r></r>",                                              // two roots
        "text<r></r>", "<r></r>text",
        "<r>text<k>v</k></r>",                                         // text beside children
        "<r><k>a>b</k></r>", "<r><>x</></r>", "<r><k x>v</k></r>",
        "<r><k>v</k></r>" + std::string(1, '\0'),
        // Outside the subset a default settings text must keep to.
        "<?xml version=\"1.0\"?>\r\n<r></r>", "<!-- defaults --><r></r>", "<r><!-- x --></r>",
        "<r><k/></r>", "<r><k><![CDATA[v]]></k></r>", "<!DOCTYPE r><r></r>",
    };
    for (const auto& text : damaged)
        EXPECT_FALSE(whole(text)) << text;
}

}  // namespace
}  // namespace vesk::persist
