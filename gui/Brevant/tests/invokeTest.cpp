// The menu item at work: it starts the client named by the App Paths entry
// in the entry's folder, brings a running client forward instead, and tells
// the user when the entry is missing. It acts for nothing but its own item.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "gui/Brevant/tests/brevantHost.h"
#include "testing/registry.h"
#include "testing/testPaths.h"

namespace vesk::test {
namespace {

using namespace vesk::testing;

const char* const notFoundText = "Pelloran Couldn't be found,\r\n please reinstall pelloran and try again.";

// A text value of 260 bytes without a terminator: it fills the 260-byte
// buffer it is read into. The registry adds a terminator to text whose next
// byte is zero, so the byte after the value is not.
void writeTooLong(const char* name) {
    const std::string letters(MAX_PATH + 1, 'x');
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, brevantKeys::appPaths.c_str(), 0, nullptr, 0,
                              KEY_READ | KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(letters.data()), MAX_PATH),
              ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, static_cast<DWORD>(MAX_PATH)) << "the registry added a terminator";
    RegCloseKey(key);
}

std::string currentFolder() {
    char folder[MAX_PATH];
    DWORD n = GetCurrentDirectoryA(MAX_PATH, folder);
    return n > 0 && n < MAX_PATH ? std::string(folder, n) : std::string();
}

std::string lower(std::string text) {
    if (!text.empty())
        CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

class InvokeCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(deleteTree(HKEY_LOCAL_MACHINE, brevantKeys::appPaths));
        ASSERT_TRUE(CreateDirectoryA(client_.file("work").c_str(), nullptr));
        ASSERT_TRUE(copyFile(fixturesDir() + "\\startRecorder.exe", clientProgram()));
        ASSERT_EQ(FindWindowA("Pelloran:Dravik32:FrameWnd:1", nullptr), nullptr)
            << "another client frame is open: a start cannot be told from a bring-forward";
        // The job counts the test program itself and what it starts.
        ASSERT_GE(startedProcesses::total(), 1u);
    }

    std::string clientProgram() const { return client_.file("Pelloran.exe"); }
    std::string workFolder() const { return client_.file("work"); }
    std::string startRecord() const { return readFile(client_.file("started.txt")); }

    void writeEntry() {
        ASSERT_TRUE(writeString(HKEY_LOCAL_MACHINE, brevantKeys::appPaths, "", clientProgram()));
        ASSERT_TRUE(writeString(HKEY_LOCAL_MACHINE, brevantKeys::appPaths, "Path", workFolder()));
    }

    // Invokes the command and checks that no box showed and nothing started.
    void expectNothingHappens(const CMINVOKECOMMANDINFO& command, HRESULT expected) {
        DWORD before = startedProcesses::total();
        invokeOutcome outcome = invokeOnThread(dll_, command);
        ASSERT_TRUE(outcome.returned);
        EXPECT_EQ(outcome.result, expected);
        EXPECT_FALSE(outcome.boxShown) << outcome.boxCaption << ": " << outcome.boxText;
        EXPECT_EQ(startedProcesses::total(), before);
        EXPECT_EQ(startRecord(), "");
    }

    registryGuard guard_{brevantRegistry()};
    brevantDll dll_;
    tempDir client_;
};

// ---- starting the client ----

// Writes "Path" (or leaves it out) beside a default value naming the client,
// and answers the folder the client should start in.
using pathWriter = std::function<std::string(const std::string& workFolder)>;

struct startCase {
    const char* label;
    pathWriter writePath;
};

class StartsTheClient : public InvokeCommand, public ::testing::WithParamInterface<startCase> {};

TEST_P(StartsTheClient, InTheFolderOfItsEntry) {
    ASSERT_TRUE(writeString(HKEY_LOCAL_MACHINE, brevantKeys::appPaths, "", clientProgram()));
    std::string expectedFolder = GetParam().writePath(workFolder());
    DWORD started = startedProcesses::total();
    DWORD running = startedProcesses::active();

    invokeOutcome outcome = invokeOnThread(dll_, commandFor(0u));
    ASSERT_TRUE(outcome.returned);
    EXPECT_EQ(outcome.result, S_OK);
    EXPECT_FALSE(outcome.boxShown) << outcome.boxText;
    EXPECT_EQ(startedProcesses::total(), started + 1);
    ASSERT_TRUE(waitFor([&] {
        std::string record = startRecord();
        return !record.empty() && record.back() == '\n';
    })) << "the client did not record its start";
    EXPECT_EQ(lower(startRecord()), lower(expectedFolder + "\n"));
    EXPECT_TRUE(waitFor([&] { return startedProcesses::active() == running; }));
}

// Without a usable folder the client starts where the shell is.
pathWriter unusablePath(DWORD type, std::string bytes) {
    return [type, bytes](const std::string&) {
        writeRaw(HKEY_LOCAL_MACHINE, brevantKeys::appPaths, "Path", type, bytes);
        return currentFolder();
    };
}

INSTANTIATE_TEST_SUITE_P(
    VeskSH, StartsTheClient,
    ::testing::Values(startCase{"InItsPathFolder",
                                [](const std::string& workFolder) {
                                    writeString(HKEY_LOCAL_MACHINE, brevantKeys::appPaths, "Path", workFolder);
                                    return workFolder;
                                }},
                      startCase{"WithoutPath", [](const std::string&) { return currentFolder(); }},
                      startCase{"WithEmptyPath", unusablePath(REG_SZ, std::string(1, '\0'))},
                      startCase{"WithPathFillingItsBuffer",
                                [](const std::string&) {
                                    writeTooLong("Path");
                                    return currentFolder();
                                }},
                      startCase{"WithPathNotText", unusablePath(REG_DWORD, std::string(4, '\1'))}),
    [](const auto& testCase) { return std::string(testCase.param.label); });

// ---- bringing the running client forward ----

TEST_F(InvokeCommand, BringsTheRunningClientForwardAndStartsNothing) {
    writeEntry();
    clientStandIn client(clientStandIn::place::otherProcess);
    ASSERT_FALSE(client.frameAboveCover()) << "the frame should start beneath the other window";
    DWORD before = startedProcesses::total();

    invokeOutcome outcome = invokeOnThread(dll_, commandFor(0u));
    ASSERT_TRUE(outcome.returned);
    EXPECT_EQ(outcome.result, S_OK);
    EXPECT_FALSE(outcome.boxShown) << outcome.boxText;
    EXPECT_TRUE(waitFor([&] { return client.frameAboveCover(); })) << "the frame is not on top";
    EXPECT_EQ(startedProcesses::total(), before);
    EXPECT_EQ(startRecord(), "");
}

// Wine flashes only windows of the calling process: the flash is seen with
// the client's windows on a thread of the test program.
TEST_F(InvokeCommand, FlashesTheClientsFrameOnceOnTop) {
    writeEntry();
    clientStandIn client(clientStandIn::place::thisProcess);
    ASSERT_FALSE(client.frameAboveCover()) << "the frame should start beneath the other window";
    client.forgetCaptionMessages();

    invokeOutcome outcome = invokeOnThread(dll_, commandFor(0u));
    ASSERT_TRUE(outcome.returned);
    EXPECT_EQ(outcome.result, S_OK);
    EXPECT_TRUE(waitFor([&] { return client.frameAboveCover(); })) << "the frame is not on top";
    // Coming to the top activates the frame; the flash then draws its caption
    // the other way while it stays the foreground window.
    EXPECT_GE(client.captionMessages(), 2);
    EXPECT_FALSE(client.lastCaptionActive());
    EXPECT_EQ(GetForegroundWindow(), client.frame());
    EXPECT_EQ(startRecord(), "");
}

// ---- the entry missing ----

// Writes what there is of the entry, given the client's program and folder.
using entryWriter = std::function<void(const std::string& program, const std::string& workFolder)>;

struct missingCase {
    const char* label;
    entryWriter writeEntry;
};

class TellsTheClientIsMissing : public InvokeCommand, public ::testing::WithParamInterface<missingCase> {};

TEST_P(TellsTheClientIsMissing, InItsMessageBoxAndStartsNothing) {
    GetParam().writeEntry(clientProgram(), workFolder());
    DWORD before = startedProcesses::total();
    invokeOutcome outcome = invokeOnThread(dll_, commandFor(0u));
    ASSERT_TRUE(outcome.returned);
    EXPECT_EQ(outcome.result, S_OK);
    ASSERT_TRUE(outcome.boxShown);
    EXPECT_EQ(outcome.boxCaption, "Pelloran Error");
    EXPECT_EQ(outcome.boxText, notFoundText);
    EXPECT_EQ(startedProcesses::total(), before);
    EXPECT_EQ(startRecord(), "");
}

entryWriter unusableDefault(DWORD type, std::string bytes) {
    return [type, bytes](const std::string&, const std::string& workFolder) {
        writeRaw(HKEY_LOCAL_MACHINE, brevantKeys::appPaths, "", type, bytes);
        writeString(HKEY_LOCAL_MACHINE, brevantKeys::appPaths, "Path", workFolder);
    };
}

INSTANTIATE_TEST_SUITE_P(
    VeskSH, TellsTheClientIsMissing,
    ::testing::Values(missingCase{"NoKey", [](const std::string&, const std::string&) {}},
                      missingCase{"NoDefaultValue",
                                  [](const std::string&, const std::string& workFolder) {
                                      writeString(HKEY_LOCAL_MACHINE, brevantKeys::appPaths, "Path", workFolder);
                                  }},
                      missingCase{"EmptyDefaultValue", unusableDefault(REG_SZ, std::string(1, '\0'))},
                      missingCase{"DefaultValueFillingItsBuffer",
                                  [](const std::string&, const std::string& workFolder) {
                                      writeTooLong(nullptr);
                                      writeString(HKEY_LOCAL_MACHINE, brevantKeys::appPaths, "Path", workFolder);
                                  }},
                      missingCase{"DefaultValueNotText", unusableDefault(REG_BINARY, "C:\\x.exe")}),
    [](const auto& testCase) { return std::string(testCase.param.label); });

// ---- other commands ----

TEST_F(InvokeCommand, ActsOnlyForItsOwnItem) {
    writeEntry();
    expectNothingHappens(commandFor("open"), E_FAIL);
    expectNothingHappens(commandFor(""), E_FAIL);
    expectNothingHappens(commandFor(1u), E_FAIL);
    expectNothingHappens(commandFor(2u), E_FAIL);
}

}  // namespace
}  // namespace vesk::test
