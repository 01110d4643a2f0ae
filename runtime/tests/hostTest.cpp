// runtime.exe end to end under Wine: scripted modules, the platform-layer
// module and a resource module in a temporary folder; the whole vesk.log
// is compared line by line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "extern/rsrc/version.h"
#include "runtime/tests/fixtures/buildText.h"
#include "runtime/tests/hostRun.h"

namespace vesk::test {
namespace {

using lines = std::vector<std::string>;

std::string banner(const std::string& privateBuild) {
    std::string build = privateBuild.substr(0, 15);
    std::transform(build.begin(), build.end(), build.begin(), [](unsigned char c) { return std::tolower(c); });
    return "[*] Pelloran/Korridan" + build + " is up and running..";
}

void append(lines& to, const lines& more) { to.insert(to.end(), more.begin(), more.end()); }

lines succeeds(const std::string& entry, const std::string& module) {
    return {entering(entry, module), exiting(entry, module, true)};
}

void expectTranscript(const hostRun& run, const lines& expected) {
    std::string raw = run.log();
    size_t lineFeeds = std::count(raw.begin(), raw.end(), '\n');
    size_t lineEnds = 0;
    for (size_t at = raw.find("\r\n"); at != std::string::npos; at = raw.find("\r\n", at + 2))
        ++lineEnds;
    EXPECT_EQ(lineFeeds, lineEnds) << "every line ends with a carriage return and a line feed";
    EXPECT_EQ(raw.size() >= 2 ? raw.substr(raw.size() - 2) : raw, "\r\n");
    lines actual = run.logLines();
    std::string shown;
    for (const auto& line : actual)
        shown += "  " + line + "\n";
    ASSERT_EQ(actual.size(), expected.size()) << "log was:\n" << shown;
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(actual[i], expected[i]) << "line " << i + 1 << "; log was:\n" << shown;
}

TEST(Host, RunsEveryPassWithRetriesAndUnloadsInReverseOrderOfRegistration) {
    hostRun run;
    // Found in name order: alpha, beta, gamma, rsrc (no entry points),
    // sysrt, zeta.
    ASSERT_TRUE(run.addScriptedModule("alpha",
                                      "name Alpha\n"
                                      "needs fixture::Ibeta *\n"  // published by beta, found in sweep 2
                                      "load 0 1\n"
                                      "makes fixture::widget\n"
                                      "makes fixture::gadget\n"));
    ASSERT_TRUE(run.addScriptedModule("beta",
                                      "name Beta\n"
                                      "publish fixture::Ibeta *\n"
                                      "load throw\n"
                                      "offers fixture::widget\n"));
    ASSERT_TRUE(run.addScriptedModule("gamma",
                                      "name GAMMA\n"
                                      "register 0\n"                // never registered ...
                                      "offers fixture::gadget\n"));  // ... yet its classes count
    ASSERT_TRUE(run.addFixtureModule("buildText.vkm", "rsrc.vkm"));
    ASSERT_TRUE(run.addStagedModule("sysrt.vkm"));
    ASSERT_TRUE(run.addScriptedModule("zeta",
                                      "name Zeta\n"
                                      "needs vesk::Ithreader *\n"
                                      "thread\n"
                                      "shutdown later\n"));

    ASSERT_TRUE(run.run()) << "the host did not end after the shutdown request";
    EXPECT_EQ(run.exitCode(), 0u);

    lines expected = {banner(FIXTURE_PRIVATE_BUILD)};
    // Load pass, sweep 1: alpha fails, beta throws, gamma is not registered.
    append(expected, {entering("_load", "alpha"), "[*] Alpha: made fixture::widget", "[*] Alpha: made fixture::gadget",
                      exiting("_load", "alpha", false)});
    append(expected, {entering("_load", "beta"), unhandled("_load", "beta")});
    append(expected, succeeds("_load", "sysrt"));
    append(expected, succeeds("_load", "zeta"));
    // Sweep 2 in the order of failure; sweep 3 retries beta alone and ends.
    append(expected, {entering("_load", "alpha"), "[*] Alpha: made fixture::widget", "[*] Alpha: made fixture::gadget",
                      exiting("_load", "alpha", true)});
    append(expected, {entering("_load", "beta"), unhandled("_load", "beta")});
    append(expected, {entering("_load", "beta"), unhandled("_load", "beta")});
    // Initialize pass: only the loaded modules, in table order.
    append(expected, succeeds("_initialize", "alpha"));
    append(expected, succeeds("_initialize", "sysrt"));
    append(expected, succeeds("_initialize", "zeta"));
    expected.push_back("[*] going into signal processing loop.");
    // Registered in the order beta, sysrt, zeta, alpha: unloaded in reverse.
    append(expected, succeeds("_unload", "alpha"));
    append(expected, {entering("_unload", "zeta"),
                      "[*] Zeta: worker ran 1, stop returned 1, still running 0, release left 0, live threads 0",
                      exiting("_unload", "zeta", true)});
    append(expected, succeeds("_unload", "sysrt"));
    append(expected, succeeds("_unload", "beta"));
    expected.push_back("[*] logging stopped.");
    expectTranscript(run, expected);
}

TEST(Host, WithoutSignalProcessorPollsUntilShutdownAndBannerHasNoBuildText) {
    hostRun run;
    ASSERT_TRUE(run.addScriptedModule("solo", "name Solo\nshutdown later\n"));

    ASSERT_TRUE(run.run()) << "the host did not end after the shutdown request";
    EXPECT_EQ(run.exitCode(), 0u);

    lines expected = {"[*] Pelloran/Korridan is up and running.."};
    append(expected, succeeds("_load", "solo"));
    append(expected, succeeds("_initialize", "solo"));
    expected.push_back("[*] no signal processor.. hitting dead loop.");
    append(expected, succeeds("_unload", "solo"));
    expected.push_back("[*] logging stopped.");
    expectTranscript(run, expected);
}

struct earlyShutdownCase {
    bool withSignalProcessor;
};

class EarlyShutdown : public ::testing::TestWithParam<earlyShutdownCase> {};

TEST_P(EarlyShutdown, RequestedDuringTheInitializePassDoesNotHang) {
    const bool signals = GetParam().withSignalProcessor;
    hostRun run;
    ASSERT_TRUE(run.addScriptedModule("early", "name Early\nshutdown initialize\n"));
    if (signals) {
        ASSERT_TRUE(run.addStagedModule("sysrt.vkm"));
    }

    ASSERT_TRUE(run.run()) << "the host hung after a shutdown requested before its loop";
    EXPECT_EQ(run.exitCode(), 0u);

    lines expected = {"[*] Pelloran/Korridan is up and running.."};
    append(expected, succeeds("_load", "early"));
    if (signals)
        append(expected, succeeds("_load", "sysrt"));
    append(expected, succeeds("_initialize", "early"));
    if (signals) {
        append(expected, succeeds("_initialize", "sysrt"));
        expected.push_back("[*] going into signal processing loop.");
        append(expected, succeeds("_unload", "sysrt"));
    } else {
        expected.push_back("[*] no signal processor.. hitting dead loop.");
    }
    append(expected, succeeds("_unload", "early"));
    expected.push_back("[*] logging stopped.");
    expectTranscript(run, expected);
}

INSTANTIATE_TEST_SUITE_P(Host, EarlyShutdown, ::testing::Values(earlyShutdownCase{true}, earlyShutdownCase{false}),
                         [](const auto& test) { return test.param.withSignalProcessor ? "WithSignalProcessor" : "Polling"; });

struct exitCase {
    const char* label;
    const char* firstScript;
    const char* secondScript;  // null: one module
    unsigned exitCode;
};

class HostExitCode : public ::testing::TestWithParam<exitCase> {};

// A module that cannot do its work (the user interface without a main
// window) must not leave the process ending as if all went well.
TEST_P(HostExitCode, IsTheFirstFailureReported) {
    const exitCase& which = GetParam();
    hostRun run;
    ASSERT_TRUE(run.addStagedModule("sysrt.vkm"));
    ASSERT_TRUE(run.addScriptedModule("first", which.firstScript));
    if (which.secondScript) {
        ASSERT_TRUE(run.addScriptedModule("second", which.secondScript));
    }

    ASSERT_TRUE(run.run()) << "the host did not end after the shutdown request";
    EXPECT_EQ(run.exitCode(), which.exitCode);
    EXPECT_NE(run.log().find("logging stopped."), std::string::npos) << "the modules still end in order";
}

INSTANTIATE_TEST_SUITE_P(
    Host, HostExitCode,
    ::testing::Values(exitCase{"NoFailure", "name First\nshutdown later\n", nullptr, 0},
                      exitCase{"AFailure", "name First\nfail 3\nshutdown later\n", nullptr, 3},
                      exitCase{"ZeroIsNoSuccess", "name First\nfail 0\nshutdown initialize\n", nullptr, 1},
                      exitCase{"FirstOfTwoKept", "name First\nfail 3\nshutdown initialize\n",
                               "name Second\nfail 5\nshutdown later\n", 3}),
    [](const auto& test) { return test.param.label; });

TEST(Host, StagedModulesStartAndTheShippedBuildTextIsInTheBanner) {
    hostRun run;
    ASSERT_TRUE(run.addStagedModule("sysrt.vkm"));
    ASSERT_TRUE(run.addStagedModule("rsrc.vkm"));
    ASSERT_TRUE(run.addScriptedModule("stopper", "name Stopper\nshutdown later\n"));

    ASSERT_TRUE(run.run()) << "the host did not end after the shutdown request";
    EXPECT_EQ(run.exitCode(), 0u);
    lines actual = run.logLines();
    ASSERT_FALSE(actual.empty());
    EXPECT_EQ(actual.front(), banner(VESK_PRIVATE_BUILD));
    EXPECT_EQ(actual.back(), "[*] logging stopped.");
}

}  // namespace
}  // namespace vesk::test
