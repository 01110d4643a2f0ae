// Registry scripts as text: what a script says, and the clear refusal of
// text that is not one.
#include <gtest/gtest.h>

#include <string>

#include "extern/comserver/registryScript.h"

namespace vesk::test {
namespace {

using namespace vesk::comserver;

std::string narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text)
        out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

const char* ruleName(removal rule) {
    switch (rule) {
    case removal::never:
        return "keep";
    case removal::whole:
        return "whole";
    default:
        return "empty";
    }
}

void describeKey(const scriptKey& key, const std::string& parent, std::string& out) {
    std::string path = parent + "\\" + narrow(key.name);
    out += path + " " + ruleName(key.rule) + "\n";
    for (const scriptValue& value : key.values)
        out += "  " + (value.name.empty() ? std::string("@") : narrow(value.name)) + "=" + narrow(value.text) + "\n";
    for (const scriptKey& subkey : key.subkeys)
        describeKey(subkey, path, out);
}

// One line per key (its path and removal rule), one per value below it.
std::string describe(const registryScript& script) {
    std::string out;
    for (const scriptRoot& root : script.roots) {
        std::string name = root.root == HKEY_CLASSES_ROOT ? "HKCR" : root.root == HKEY_LOCAL_MACHINE ? "HKLM" : "?";
        out += name + "\n";
        for (const scriptKey& key : root.keys)
            describeKey(key, name, out);
    }
    return out;
}

const replacementList replacements = {{"MODULE", L"C:\\x\\Server.dll"}, {"NAME", L"Named"}};

struct parsedCase {
    const char* label;
    const char* text;
    const char* described;
};

class ParsedScript : public ::testing::TestWithParam<parsedCase> {};

TEST_P(ParsedScript, SaysWhatItsTextSays) {
    registryScript script;
    std::string error;
    ASSERT_TRUE(parseRegistryScript(GetParam().text, replacements, script, error)) << error;
    EXPECT_EQ(error, "");
    EXPECT_EQ(describe(script), GetParam().described);
}

INSTANTIATE_TEST_SUITE_P(
    RegistryScript, ParsedScript,
    ::testing::Values(
        parsedCase{"ServerClass",
                   "HKCR\r\n{\r\n"
                   "  Some.Class.1 = s 'Some Class'\r\n  {\r\n    CLSID = s '{0B5F0F3A-1C1B-4E47-9C43-8D8E3B0B2F11}'\r\n  }\r\n"
                   "  NoRemove CLSID\r\n  {\r\n"
                   "    ForceRemove {0B5F0F3A-1C1B-4E47-9C43-8D8E3B0B2F11} = s 'Some Class'\r\n    {\r\n"
                   "      ForceRemove 'Programmable'\r\n"
                   "      InprocServer32 = s '%MODULE%'\r\n      {\r\n        val ThreadingModel = s 'Apartment'\r\n      }\r\n"
                   "      'TypeLib' = s '{11111111-2222-3333-4444-555555555555}'\r\n"
                   "    }\r\n  }\r\n}\r\n",
                   "HKCR\n"
                   "HKCR\\Some.Class.1 empty\n  @=Some Class\n"
                   "HKCR\\Some.Class.1\\CLSID empty\n  @={0B5F0F3A-1C1B-4E47-9C43-8D8E3B0B2F11}\n"
                   "HKCR\\CLSID keep\n"
                   "HKCR\\CLSID\\{0B5F0F3A-1C1B-4E47-9C43-8D8E3B0B2F11} whole\n  @=Some Class\n"
                   "HKCR\\CLSID\\{0B5F0F3A-1C1B-4E47-9C43-8D8E3B0B2F11}\\Programmable whole\n"
                   "HKCR\\CLSID\\{0B5F0F3A-1C1B-4E47-9C43-8D8E3B0B2F11}\\InprocServer32 empty\n"
                   "  @=C:\\x\\Server.dll\n  ThreadingModel=Apartment\n"
                   "HKCR\\CLSID\\{0B5F0F3A-1C1B-4E47-9C43-8D8E3B0B2F11}\\TypeLib empty\n"
                   "  @={11111111-2222-3333-4444-555555555555}\n"},
        parsedCase{"NestedMachineKeys",
                   "HKEY_LOCAL_MACHINE { noremove SOFTWARE { NOREMOVE Vendor { forceremove Effect { Properties {\n"
                   "  val classid = s '{1}' val name = s '%NAME%' val description = s 'Bars and %NAME% wave.' } } } } }",
                   "HKLM\n"
                   "HKLM\\SOFTWARE keep\nHKLM\\SOFTWARE\\Vendor keep\nHKLM\\SOFTWARE\\Vendor\\Effect whole\n"
                   "HKLM\\SOFTWARE\\Vendor\\Effect\\Properties empty\n"
                   "  classid={1}\n  name=Named\n  description=Bars and Named wave.\n"},
        parsedCase{"QuotesInQuotedText", "HKCR { 'it''s' = s 'say ''hi''' { val 'a b' = s '' } }",
                   "HKCR\nHKCR\\it's empty\n  @=say 'hi'\n  a b=\n"},
        parsedCase{"TwoRoots", "HKCR { A } HKLM { B }", "HKCR\nHKCR\\A empty\nHKLM\nHKLM\\B empty\n"},
        parsedCase{"Empty", " \r\n\t", ""}),
    [](const auto& testCase) { return std::string(testCase.param.label); });

struct refusedCase {
    const char* label;
    const char* text;
    int line;
};

class RefusedScript : public ::testing::TestWithParam<refusedCase> {};

TEST_P(RefusedScript, IsRefusedWithItsLine) {
    registryScript script;
    script.roots.push_back({HKEY_CLASSES_ROOT, {}});
    std::string error;
    EXPECT_FALSE(parseRegistryScript(GetParam().text, replacements, script, error));
    EXPECT_TRUE(script.roots.empty());
    EXPECT_NE(error.find("line " + std::to_string(GetParam().line) + ":"), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    RegistryScript, RefusedScript,
    ::testing::Values(refusedCase{"UnknownRoot", "HKCU { A }", 1},
                      refusedCase{"RootWithoutBlock", "HKCR A { }", 1},
                      refusedCase{"UnclosedBlock", "HKCR {\n  A\n", 3},
                      refusedCase{"ExtraClosingBrace", "HKCR { A }\n}", 2},
                      refusedCase{"ValueOutsideAKey", "HKCR {\n val x = s 'y' }", 2},
                      refusedCase{"NumberValue", "HKCR { A = d '5' }", 1},
                      refusedCase{"ValueWithoutType", "HKCR { A = 'x' }", 1},
                      refusedCase{"ValueWithoutText", "HKCR { A = s }", 1},
                      refusedCase{"UnclosedQuote", "HKCR {\n A = s 'open }\n", 2},
                      refusedCase{"QuoteRunsOn", "HKCR { A = s 'x'y }", 1},
                      refusedCase{"QuoteInsideWord", "HKCR { A'b }", 1},
                      refusedCase{"BackslashInName", "HKCR { 'A\\B' }", 1},
                      refusedCase{"KeywordAsName", "HKCR { NoRemove val }", 1},
                      refusedCase{"EmptyName", "HKCR { '' }", 1},
                      refusedCase{"UnknownReplacement", "HKCR {\n\n A = s '%OTHER%' }", 3},
                      refusedCase{"StrayPercent", "HKCR { A = s '50%' }", 1},
                      refusedCase{"NamedValueWithoutEquals", "HKCR { A { val x s 'y' } }", 1},
                      refusedCase{"NotUtf8", "HKCR { 'A\xff' }", 1}),
    [](const auto& testCase) { return std::string(testCase.param.label); });

}  // namespace
}  // namespace vesk::test
