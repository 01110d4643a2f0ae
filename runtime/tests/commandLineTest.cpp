// The runtime object's parameters from a command line, read back through
// getParameters as the modules see them.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "core/capsule.h"
#include "runtime/heldContainer.h"
#include "runtime/runtimeObject.h"
#include "vesk/data.h"

namespace vesk::test {
namespace {

using parameters = std::map<std::string, std::string>;

std::string textOf(const value& v) {
    if (v.code == vt::stringObject)
        return v.asString()->c_str();
    if (v.code == vt::cString)
        return v.asCString();
    if (v.code == vt::longV)
        return "long " + std::to_string(v.asLong());
    return "code " + std::to_string(v.code);
}

parameters parametersOf(const char* commandLine, int show) {
    auto* object = new capsule_core<runtime>();
    object->readCommandLine(commandLine);
    object->setShowCommand(show);
    parameters found;
    forEachEntry(object->getParameters(), [&](const value& key, const value& v) { found[textOf(key)] = textOf(v); });
    object->releaseCore();
    return found;
}

struct commandLineCase {
    const char* title;
    const char* commandLine;
    parameters expected;  // besides "win32_show"
};

class CommandLine : public ::testing::TestWithParam<commandLineCase> {};

TEST_P(CommandLine, GivesTheseParameters) {
    const auto& c = GetParam();
    parameters expected = c.expected;
    expected["win32_show"] = "long 7";
    EXPECT_EQ(parametersOf(c.commandLine, 7), expected);
}

const std::string longText(300, 'x');
const std::string longLine = "-v " + longText;
const std::string longName = "-" + std::string(300, 'n') + " 1";
const std::string longInnerValue = "-v " + longText + " -w 1";

INSTANTIATE_TEST_SUITE_P(
    Runtime, CommandLine,
    ::testing::Values(
        commandLineCase{"Empty", "", {}},
        commandLineCase{"Null", nullptr, {}},
        commandLineCase{"TwoItems", "-a 1 -b 2", {{"a", "1"}, {"b", "2"}}},
        commandLineCase{"TextBeforeTheFirstDashIsSkipped", "x -a 1", {{"a", "1"}}},
        commandLineCase{"LaterItemReplacesEarlier", "-a 1 -a 2", {{"a", "2"}}},
        commandLineCase{"OnlyTheBlankBeforeTheDashIsDropped", "-a 1  -b 2", {{"a", "1 "}, {"b", "2"}}},
        commandLineCase{"BlanksInsideAValueStay", "-path C:\\My Files -x 1", {{"path", "C:\\My Files"}, {"x", "1"}}},
        commandLineCase{"TrailingBlankGivesEmptyValue", "-a ", {{"a", ""}}},
        commandLineCase{"ShowCommandReplacesItemOfThatName", "-win32_show 3", {}},
        commandLineCase{"ValueCutShortByTheNextItem", "-a -b 2", {{"a", ""}, {"b", "2"}}},
        commandLineCase{"DashInsideAValueEndsIt", "-a x1-b 2", {{"a", "x"}, {"b", "2"}}},
        commandLineCase{"QuotesAreOrdinary", "-q \"a b\" -r x", {{"q", "\"a b\""}, {"r", "x"}}},
        commandLineCase{"NameWithoutBlankTakesTheRest", "-a 1 -flag", {{"a", "1"}, {"flag", ""}}},
        commandLineCase{"LongLastValueIsCut", longLine.c_str(), {{"v", std::string(260, 'x')}}},
        commandLineCase{"LongInnerValueIsCut", longInnerValue.c_str(), {{"v", std::string(260, 'x')}, {"w", "1"}}},
        commandLineCase{"LongNameIsCut", longName.c_str(), {{std::string(259, 'n'), "1"}}}),
    [](const auto& test) { return std::string(test.param.title); });

}  // namespace
}  // namespace vesk::test
