// The Gnutella module in runtime.exe with the real core, file-system, XML,
// settings, share-engine, network and manager modules and the recording
// fake user interface (as "ui.vkm", where the real one would be). The
// fake's script drives the client; its record (fakeui.calls), the log and
// the settings file tell what happened.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "extern/net/tests/loopback.h"
#include "runtime/tests/hostRun.h"
#include "testing/testPaths.h"

namespace vesk::gnutella::test {
namespace {

using vesk::test::entering;
using vesk::test::exiting;
using vesk::test::hostRun;

const char* const serviceModules[] = {"sysrt.vkm",   "rsrc.vkm",   "fs.vkm",    "Quillet.vkm",
                                      "persist.vkm", "share2.vkm", "Ombrel.vkm"};

void prepare(hostRun& run, bool withNetwork = true) {
    for (const char* module : serviceModules)
        ASSERT_TRUE(run.addStagedModule(module)) << module;
    if (withNetwork) {
        ASSERT_TRUE(run.addStagedModule("net.vkm"));
    }
    // Without the built-in web caches: a test never dials them.
    ASSERT_TRUE(run.addFixtureModule("gnutellaNoWebCaches.vkm", "gnutella.vkm"));
    ASSERT_TRUE(run.addFixtureModule("fakeUi.vkm", "ui.vkm"));
}

std::string inFolder(const hostRun& run, const std::string& name) {
    return run.folder() + "\\" + name;
}

// The module's settings group, one element per key (typed text).
std::string settingsFile(const std::vector<std::pair<std::string, std::string>>& keys) {
    std::string text = "<vesk_settings>\r\n\t<zUdoradur>\r\n";
    for (const auto& k : keys)
        text += "\t\t<" + k.first + ">" + k.second + "</" + k.first + ">\r\n";
    return text + "\t</zUdoradur>\r\n</vesk_settings>\r\n";
}

// A free port: the tests never take the Gnutella port other programs use.
const std::pair<std::string, std::string> freePort{"Gnutella_ListenPort", "(ushort)0"};

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::vector<std::string> calls(const hostRun& run) {
    return linesOf(vesk::testing::readFile(inFolder(run, "fakeui.calls")));
}

// The log's lines; a module's own lines carry their "\r\n", which the log's
// line end follows: the stray '\r' is dropped and so are the empty lines.
std::vector<std::string> logOf(const hostRun& run) {
    std::vector<std::string> lines;
    for (std::string line : run.logLines()) {
        while (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

bool has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::size_t positionOf(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) - lines.begin();
}

// The lines from the first that begins with from, up to the first after it
// that begins with to, both included.
std::vector<std::string> stretch(const std::vector<std::string>& lines, const std::string& from,
                                 const std::string& to) {
    auto begin = std::find(lines.begin(), lines.end(), from);
    auto end = std::find(begin, lines.end(), to);
    return end == lines.end() ? std::vector<std::string>() : std::vector<std::string>(begin, end + 1);
}

// The number after the last '|' of the first record line beginning so.
long numberIn(const std::vector<std::string>& lines, const std::string& prefix) {
    for (const std::string& line : lines)
        if (line.rfind(prefix, 0) == 0)
            return std::stol(line.substr(line.rfind('|') + 1));
    return -1;
}

void runScript(hostRun& run, const std::string& script) {
    DeleteFileA(inFolder(run, "fakeui.calls").c_str());
    ASSERT_TRUE(vesk::testing::writeFile(inFolder(run, "fakeui.script"), script));
    ASSERT_TRUE(run.run()) << "the host did not end";
    EXPECT_EQ(run.exitCode(), 0u);
}

TEST(GnutellaInTheHost, StartsAndStopsAgainAndAgainLeavingNoThreadBehind) {
    hostRun run;
    prepare(run);
    ASSERT_TRUE(vesk::testing::writeFile(inFolder(run, "vesk.egg"), settingsFile({freePort})));
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        runScript(run, "threads\nconnect\ndisconnect\nshutdown\n");
        std::vector<std::string> log = logOf(run);
        EXPECT_EQ(
            stretch(log, entering("_load", "gnutella"), exiting("_load", "gnutella", true)),
            (std::vector<std::string>{
                entering("_load", "gnutella"), "[*] GNUTELLA LOAD: beginning init resources",
                "[*] GNUTELLA LOAD: completed init resources", "[*] GNUTELLA LOAD: beginning init protocol",
                "[*] GNUTELLA LOAD: completed init protocol", exiting("_load", "gnutella", true)}))
            << run.log();
        EXPECT_EQ(
            stretch(log, entering("_initialize", "gnutella"), exiting("_initialize", "gnutella", true)),
            (std::vector<std::string>{
                entering("_initialize", "gnutella"), "[*] GNUTELLA INIT: beginning init settings",
                "[*] GNUTELLA INIT: completed init settings", "[*] GNUTELLA INIT: beginning init network",
                "[*] GNUTELLA INIT: completed init network successfully",
                "[*] GNUTELLA INIT: beginning init gui", "[*] GNUTELLA INIT: beginning init_options()",
                "[*] GNUTELLA INIT: completed init_options()", "[*] GNUTELLA INIT: completed init gui",
                "[*] GNUTELLA INIT: loading successful hosts", "[*] GNUTELLA INIT: loaded successful hosts",
                "[*] GNUTELLA INIT: loading host catcher", "[*] GNUTELLA INIT: loaded host catcher",
                "[*] GNUTELLA INIT: starting threads...", "[*] GNUTELLA INIT: sucessfully started threads",
                exiting("_initialize", "gnutella", true)}));
        EXPECT_TRUE(has(log, exiting("_unload", "gnutella", true)));
        // Registered after the user interface it needs: unloaded before it.
        EXPECT_LT(positionOf(log, entering("_unload", "gnutella")),
                  positionOf(log, entering("_unload", "fake ui")));

        std::vector<std::string> record = calls(run);
        long running = numberIn(record, "script|threads|");
        long afterUnload = numberIn(record, "fakeUi|unload|threads|");
        ASSERT_GE(running, 3);
        EXPECT_EQ(afterUnload, running - 3) << "the three workers ended and were let go";
        EXPECT_TRUE(has(record, "IGnutellaHostDockWnd::WaitCreated"));
        EXPECT_EQ(record[positionOf(record, "IGnutellaHostDockWnd::WaitCreated") + 1].rfind(
                      "IWndEvents::AddMessageHook|", 0),
                  0u)
            << "the host window's container is hooked";
        // Online and offline show in the manager's pane.
        std::size_t connect = positionOf(record, "IDockConnectTB::Connect");
        std::size_t disconnect = positionOf(record, "IDockConnectTB::Disconnect");
        ASSERT_LT(disconnect, record.size());
        EXPECT_LT(positionOf(record, "IStatusBar::Output|Offline|4|0"), connect)
            << "offline once initialized";
        auto connecting =
            std::find(record.begin() + connect, record.end(), "IStatusBar::Output|Connecting|4|0");
        EXPECT_LT(static_cast<std::size_t>(connecting - record.begin()), disconnect);
        EXPECT_NE(std::find(record.begin() + disconnect, record.end(), "IStatusBar::Output|Offline|4|0"),
                  record.end());
    }
}

TEST(GnutellaInTheHost, WaitsForEveryServiceItNeeds) {
    hostRun run;
    prepare(run, false);
    ASSERT_TRUE(vesk::testing::writeFile(inFolder(run, "vesk.egg"), settingsFile({freePort})));
    runScript(run, "shutdown\n");
    std::vector<std::string> log = logOf(run);
    EXPECT_TRUE(has(log, exiting("_initialize", "ss manager", true))) << run.log();
    EXPECT_FALSE(has(log, entering("_load", "gnutella"))) << "no network module: never registered";
    EXPECT_FALSE(has(log, entering("_unload", "gnutella")));
}

// The keys of the module's group in the settings file, as written.
std::vector<std::string> savedKeys(const hostRun& run) {
    std::vector<std::string> keys;
    for (std::string line : linesOf(vesk::testing::readFile(inFolder(run, "vesk.egg")))) {
        while (!line.empty() && (line.back() == '\r'))
            line.pop_back();
        std::size_t from = line.find_first_not_of('\t');
        if (from != std::string::npos && line.compare(from, 10, "<Gnutella_") == 0)
            keys.push_back(line.substr(from));
    }
    return keys;
}

std::string element(const std::string& key, const std::string& typed) {
    return "<" + key + ">" + typed + "</" + key + ">";
}

TEST(GnutellaInTheHost, SettingsGoThroughTheStoreAndTheFileByType) {
    hostRun run;
    prepare(run);
    std::string longText(300, 'x');
    ASSERT_TRUE(vesk::testing::writeFile(inFolder(run, "vesk.egg"),
                                         settingsFile({{"Gnutella_ListenPort", "(long)6346"},
                                                       {"Gnutella_AutoRetry", "(long)0"},
                                                       {"Gnutella_ShowFirewalledResults", "(ulong)1"},
                                                       {"Gnutella_LocalSpeed", "(ulong)56"},
                                                       {"Gnutella_MaxUploads", "(string)9"},
                                                       {"Gnutella_ReportedIP", "(string)10.0.0.1"},
                                                       {"Gnutella_ConnectAck", "(string)" + longText}})));
    runScript(run, "save\nshutdown\n");
    std::vector<std::string> keys = savedKeys(run);
    struct row {
        const char* key;
        std::string typed;
    } rows[] = {
        {"Gnutella_ListenPort", "(ushort)0"},  // a long port listens on a free one
        {"Gnutella_AutoRetry", "(long)0"},
        {"Gnutella_ShowFirewalledResults", "(uchar)%00"},
        {"Gnutella_LocalSpeed", "(ulong)1000"},
        {"Gnutella_MaxUploads", "(ulong)0"},
        {"Gnutella_ReportedIP", "(string)10.0.0.1"},
        {"Gnutella_ConnectAck", "(string)" + std::string(255, 'x')},
        {"Gnutella_ConnectString", "(string)GNUTELLA%20CONNECT/0.4%0a%0a"},
        {"Gnutella_MaxTTLAllowed", "(uchar)%14"},
        {"Gnutella_MaxHostCatcher", "(ulong)50"},
        {"Gnutella_ReportedPort", "(ushort)6346"},
        {"Gnutella_QuickConnectEntries", "(ulong)0"},
    };
    for (const row& r : rows)
        EXPECT_TRUE(has(keys, element(r.key, r.typed))) << element(r.key, r.typed);
    EXPECT_EQ(keys.size(), 31u) << "28 settings, the quick-connect list and the two host lists";
}

TEST(GnutellaInTheHost, TheHostCacheIsKeptAcrossARestart) {
    hostRun run;
    prepare(run);
    ASSERT_TRUE(vesk::testing::writeFile(
        inFolder(run, "vesk.egg"), settingsFile({freePort,
                                                 {"Gnutella_HostCatchEntires", "(ulong)4"},
                                                 {"Gnutella_HostCatchItemIP1", "(string)5.6.7.8"},
                                                 {"Gnutella_HostCatchItemPort1", "(ushort)6347"},
                                                 {"Gnutella_HostCatchItemKB1", "(ulong)100"},
                                                 {"Gnutella_HostCatchItemFiles1", "(ulong)10"},
                                                 {"Gnutella_HostCatchItemIP2", "(string)127.0.0.1"},
                                                 {"Gnutella_HostCatchItemPort2", "(ushort)6346"},
                                                 {"Gnutella_HostCatchItemIP3", "(string)1.2.3.4"},
                                                 {"Gnutella_HostCatchItemPort3", "(ushort)6346"},
                                                 {"Gnutella_HostCatchItemKB3", "(ulong)200"},
                                                 {"Gnutella_HostCatchItemIP4", "(string)9.9.9.9"},
                                                 {"Gnutella_HostCatchItemPort4", "(ushort)1"},
                                                 {"Gnutella_SuccessfulEntires", "(ulong)1"},
                                                 {"Gnutella_SuccessfulItemIP1", "(ushort)6346"},
                                                 {"Gnutella_SuccessfulItemPort1", "(string)2.3.4.5"}})));
    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE("start " + std::to_string(start));
        runScript(run, "save\nshutdown\n");
        std::vector<std::string> record = calls(run);
        EXPECT_EQ(std::count_if(record.begin(), record.end(),
                                [](const std::string& l) {
                                    return l.rfind("IGnutellaHostDockWnd::UpdateCatch|", 0) == 0;
                                }),
                  3)
            << "three hosts shown; loopback refused";
        std::vector<std::string> keys = savedKeys(run);
        for (const std::string& line : {element("Gnutella_HostCatchEntires", "(ulong)3"),
                                        element("Gnutella_HostCatchItemIP1", "(string)1.2.3.4"),
                                        element("Gnutella_HostCatchItemPort1", "(ushort)6346"),
                                        element("Gnutella_HostCatchItemKB1", "(ulong)200"),
                                        element("Gnutella_HostCatchItemIP2", "(string)5.6.7.8"),
                                        element("Gnutella_HostCatchItemPort2", "(ushort)6347"),
                                        element("Gnutella_HostCatchItemKB2", "(ulong)100"),
                                        element("Gnutella_HostCatchItemFiles2", "(ulong)10"),
                                        element("Gnutella_HostCatchItemIP3", "(string)9.9.9.9"),
                                        element("Gnutella_HostCatchItemPort3", "(ushort)1"),
                                        element("Gnutella_SuccessfulEntires", "(ulong)1"),
                                        element("Gnutella_SuccessfulItemIP1", "(ushort)6346"),
                                        element("Gnutella_SuccessfulItemPort1", "(string)2.3.4.5")})
            EXPECT_TRUE(has(keys, line)) << line;
    }
}

TEST(GnutellaInTheHost, TwoClientsLinkToEachOther) {
    net::test::winsockSession winsock;
    unsigned short port = net::test::freePort();
    ASSERT_NE(port, 0);
    // A listens on the port; B knows it as a host it once linked to, the
    // only host it has: its connection policy dials it.
    hostRun a, b;
    prepare(a);
    prepare(b);
    ASSERT_TRUE(vesk::testing::writeFile(inFolder(a, "vesk.egg"),
                                         settingsFile({{"Gnutella_ListenPort", "(ushort)" + std::to_string(port)}})));
    ASSERT_TRUE(vesk::testing::writeFile(inFolder(b, "vesk.egg"),
                                         settingsFile({freePort,
                                                       {"Gnutella_SuccessfulEntires", "(ulong)1"},
                                                       {"Gnutella_SuccessfulItemIP1", "(ushort)" + std::to_string(port)},
                                                       {"Gnutella_SuccessfulItemPort1", "(string)127.0.0.1"}})));
    const std::string linked = "IStatusBar::Output|Connections: 1|1";
    const std::string script = "connect\nawait 30000 " + linked + "\nshutdown\n";
    for (hostRun* run : {&a, &b}) {
        DeleteFileA(inFolder(*run, "fakeui.calls").c_str());
        ASSERT_TRUE(vesk::testing::writeFile(inFolder(*run, "fakeui.script"), script));
    }
    bool aRan = false;
    std::thread first([&] { aRan = a.run(); });
    // B starts once A is online: A then takes B's dial.
    bool aOnline = net::test::waitFor(
        [&] { return has(calls(a), "IDockConnectTB::Connect"); }, 30000);
    bool bRan = aOnline && b.run();
    first.join();
    ASSERT_TRUE(aOnline) << a.log();
    ASSERT_TRUE(aRan && bRan);
    EXPECT_EQ(a.exitCode(), 0u);
    EXPECT_EQ(b.exitCode(), 0u);

    std::vector<std::string> aRecord = calls(a), bRecord = calls(b);
    EXPECT_TRUE(has(aRecord, "script|await|" + linked + "|1")) << a.log();
    EXPECT_TRUE(has(bRecord, "script|await|" + linked + "|1")) << b.log();
    // The tray tip tells the direction: A took the link, B dialled it.
    EXPECT_TRUE(has(aRecord, "Connections: 1 In: 1 Out: 0\r"));
    EXPECT_TRUE(has(bRecord, "Connections: 1 In: 0 Out: 1\r"));
    EXPECT_TRUE(has(bRecord, "IStatusBar::Output|Connected|4|0"));
}

}  // namespace
}  // namespace vesk::gnutella::test
