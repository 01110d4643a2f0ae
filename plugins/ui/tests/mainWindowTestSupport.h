// The controller's main window in the test's own process: the window
// library's frame, the real manager, the staged resource module, settings
// kept in memory that record their notify and save calls, and shell and
// message-box calls recorded instead of run. The window is made once for
// the whole program (the list windows are made once per process) and every
// test works on it.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "core/capsule.h"
#include "plugins/ui/dockMenu.h"
#include "plugins/ui/uiControl.h"
#include "vesk/host.h"
#include "vesk/persist.h"
#include "vesk/ss.h"

namespace vesk::ui::test {

// Settings in memory: whole numbers and floats by key. notify runs the
// listeners; every call lands in the journal ("notify", "save").
class journalSettings : public objectBase, public persist::Isettings {
public:
    journalSettings();
    value setValue(const char* key, value v, IentityToken*) override;
    value getValue(const char* key, value defaultValue, IentityToken*) override;
    bool removeValue(const char* key, IentityToken*) override;
    persist::IpersistTarget* setTarget(persist::IpersistTarget*) override { return nullptr; }
    bool save() override;
    bool addCallback(persist::listener fn) override;
    bool removeCallback(persist::listener fn) override;
    bool notify() override;

    std::map<std::string, value> values;
    std::vector<std::string> journal;
    std::vector<persist::listener> listeners;
};

// The runtime's stop request, counted.
class countingRuntime : public objectBase, public Iruntime {
public:
    countingRuntime();
    HINSTANCE getInstance() override { return nullptr; }
    int setInstance(HINSTANCE) override { return 1; }
    bool isRunning() override { return true; }
    bool shutdown() override {
        ++shutdowns;
        return true;
    }
    Ihash* getParameters() override { return nullptr; }

    int shutdowns = 0;
};

// Calls that would start the shell or show a message box, in order.
struct outsideCall {
    std::string what;  // "shell" or "message"
    std::string first;  // the verb or the text
    std::string second; // the file or the caption
};

class mainWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    static UIControl& control();
    static VDockMenu& menu();
    static HWND frameWindow();
    static journalSettings& settings();
    static countingRuntime& runtime();
    static std::vector<outsideCall>& outsideCalls();
    // The shell's answer to the next calls (an error code below 33 or a
    // success above 32).
    static void setShellAnswer(INT_PTR answer);
    // A new agent with one reference held by the caller.
    static ss::IAgent* newAgent();
    // The staged resource module.
    static HINSTANCE resources();
    // Keeps the screen under the frame as <name>.png in the folder the
    // environment names in UI_SCREENSHOTS, when it names one.
    static void keepShot(const char* name);
    // Runs once with the manager just before the layout is built, when set
    // by a suite's own SetUpTestSuite.
    static void (*beforeLayout)(ss::ISSManager* manager);
};

// Whether the popup's item shows a check mark.
bool Checked(HMENU popup, int item);
// Whether the popup's item is grayed or disabled.
bool Grayed(HMENU popup, int item);

// The text of a toolbar button's tooltip as its container answers it.
std::string ToolTipOf(IDockWnd* toolBar, int command);

}  // namespace vesk::ui::test
