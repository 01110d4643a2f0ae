// Scripts written into the registry and taken out again: removal takes only
// what the script owns.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "extern/comserver/registryScript.h"
#include "extern/comserver/scriptApplier.h"
#include "testing/registry.h"

namespace vesk::test {
namespace {

using namespace vesk::comserver;
using namespace vesk::testing;
using names = std::vector<std::string>;

const std::string base = "Vesk.ComserverTest";

const char* const scriptText =
    "HKCR\n{\n"
    "  NoRemove Vesk.ComserverTest\n  {\n"
    "    Plain = s 'plain'\n    {\n      val Named = s 'named'\n      Child = s 'child'\n    }\n"
    "    ForceRemove Whole = s 'whole'\n    {\n      Inner = s 'inner'\n    }\n"
    "    NoRemove Kept = s 'kept'\n    {\n      Gone = s 'gone'\n    }\n"
    "  }\n}\n";

class ScriptApplier : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(parseRegistryScript(scriptText, {}, script_, error)) << error;
        ASSERT_TRUE(deleteTree(HKEY_CLASSES_ROOT, base));
    }

    std::string text(const std::string& path, const std::string& name = "") {
        std::string value;
        return readString(HKEY_CLASSES_ROOT, base + path, name, value) ? value : "<none>";
    }

    registryGuard guard_{{{HKEY_CLASSES_ROOT, base}}};
    registryScript script_;
};

TEST_F(ScriptApplier, WritesEveryKeyAndValue) {
    ASSERT_EQ(applyScript(script_), S_OK);
    EXPECT_EQ(subkeyNames(HKEY_CLASSES_ROOT, base), (names{"Kept", "Plain", "Whole"}));
    EXPECT_EQ(text("\\Plain"), "plain");
    EXPECT_EQ(text("\\Plain", "Named"), "named");
    EXPECT_EQ(text("\\Plain\\Child"), "child");
    EXPECT_EQ(text("\\Whole"), "whole");
    EXPECT_EQ(text("\\Whole\\Inner"), "inner");
    EXPECT_EQ(text("\\Kept"), "kept");
    EXPECT_EQ(text("\\Kept\\Gone"), "gone");
    EXPECT_EQ(applyScript(script_), S_OK) << "applying twice";
    EXPECT_EQ(text("\\Plain\\Child"), "child");
}

TEST_F(ScriptApplier, ReplacesAForceRemoveKeyWhole) {
    ASSERT_TRUE(writeString(HKEY_CLASSES_ROOT, base + "\\Whole\\Stale", "", "old"));
    ASSERT_TRUE(writeString(HKEY_CLASSES_ROOT, base + "\\Whole", "Stale", "old"));
    ASSERT_EQ(applyScript(script_), S_OK);
    EXPECT_EQ(subkeyNames(HKEY_CLASSES_ROOT, base + "\\Whole"), (names{"Inner"}));
    EXPECT_EQ(valueNames(HKEY_CLASSES_ROOT, base + "\\Whole"), (names{""}));
}

TEST_F(ScriptApplier, RemovesWhatItWroteAndKeepsNoRemoveKeys) {
    ASSERT_EQ(applyScript(script_), S_OK);
    ASSERT_EQ(removeScript(script_), S_OK);
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, base));
    EXPECT_EQ(subkeyNames(HKEY_CLASSES_ROOT, base), (names{"Kept"}));
    EXPECT_EQ(text("\\Kept"), "kept") << "a kept key keeps its values";
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, base + "\\Kept\\Gone"));
}

TEST_F(ScriptApplier, LeavesWhatOthersAddedBelowItsKeys) {
    ASSERT_EQ(applyScript(script_), S_OK);
    ASSERT_TRUE(createKey(HKEY_CLASSES_ROOT, base + "\\Plain\\Other"));
    ASSERT_TRUE(writeString(HKEY_CLASSES_ROOT, base + "\\Plain\\Child", "Other", "theirs"));
    ASSERT_TRUE(createKey(HKEY_CLASSES_ROOT, base + "\\Kept\\Other"));
    ASSERT_TRUE(createKey(HKEY_CLASSES_ROOT, base + "\\Whole\\Other"));
    ASSERT_TRUE(createKey(HKEY_CLASSES_ROOT, base + "\\Sibling"));

    ASSERT_EQ(removeScript(script_), S_OK);
    EXPECT_EQ(subkeyNames(HKEY_CLASSES_ROOT, base), (names{"Kept", "Plain", "Sibling"}));
    EXPECT_EQ(subkeyNames(HKEY_CLASSES_ROOT, base + "\\Plain"), (names{"Child", "Other"}));
    EXPECT_EQ(valueNames(HKEY_CLASSES_ROOT, base + "\\Plain"), names{}) << "the script's own values go";
    EXPECT_EQ(valueNames(HKEY_CLASSES_ROOT, base + "\\Plain\\Child"), (names{"Other"}));
    EXPECT_EQ(subkeyNames(HKEY_CLASSES_ROOT, base + "\\Kept"), (names{"Other"}));
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, base + "\\Whole")) << "a ForceRemove key goes whole";
}

TEST_F(ScriptApplier, RemovingWhatIsNotThereSucceeds) {
    EXPECT_EQ(removeScript(script_), S_OK);
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, base));
    ASSERT_TRUE(createKey(HKEY_CLASSES_ROOT, base));
    EXPECT_EQ(removeScript(script_), S_OK);
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, base));
}

}  // namespace
}  // namespace vesk::test
