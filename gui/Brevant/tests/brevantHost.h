// The test host: Brevant.dll met as the shell meets it (loaded by its
// path, entered through its exports), the registry keys it owns, and the
// programs and windows the menu item acts on.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "testing/comServer.h"
#include "testing/registry.h"

namespace vesk::test {

namespace brevantKeys {
const std::string progId = "Brevant.VeskSH.1";
const std::string versionIndependentProgId = "Brevant.VeskSH";
const std::string classKey = "CLSID\\{369F880A-41BB-49CF-927F-3E3D6DA084E6}";
const std::string typeLibKey = "TypeLib\\{F265D210-7726-42EB-93BA-6780875BB285}";
const std::string interfaceKey = "Interface\\{27F4D9C0-470F-4894-8797-40A9A81FFE9D}";
const std::string appPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Pelloran.exe";
}  // namespace brevantKeys

// Every key that registration, unregistration and the tests write, for a
// registryGuard.
std::vector<testing::registryGuard::keyPath> brevantRegistry();

using testing::comRef;

// Brevant.dll from the stage folder, serving VeskSH.
class brevantDll : public testing::comServerDll {
public:
    brevantDll();  // throws when it cannot be loaded
};

// The processes this test program and its children start: the program joins
// a job at first use, which every process started from it then joins too.
namespace startedProcesses {
DWORD total();   // started since the job began, ended ones included
DWORD active();  // still running
}  // namespace startedProcesses

// A numeric verb (an offset from the item's first id) or a text verb.
CMINVOKECOMMANDINFO commandFor(UINT offset);
CMINVOKECOMMANDINFO commandFor(const char* verb);

// What one InvokeCommand did as seen from outside. It runs on a thread of
// its own, in an apartment as the shell's; a message box it shows is read
// and closed with its OK button.
struct invokeOutcome {
    bool returned = false;  // within the wait
    HRESULT result = E_UNEXPECTED;
    bool boxShown = false;
    std::string boxCaption;
    std::string boxText;
};
invokeOutcome invokeOnThread(const brevantDll& dll, const CMINVOKECOMMANDINFO& command);

// The running client as the menu item looks for it: the client's windows
// (fixtures/clientWindows.h) in a program of their own, or on a thread of
// the test program.
class clientStandIn {
public:
    enum class place { otherProcess, thisProcess };
    explicit clientStandIn(place where);  // throws when the windows do not come
    ~clientStandIn();
    clientStandIn(const clientStandIn&) = delete;
    clientStandIn& operator=(const clientStandIn&) = delete;

    HWND frame() const { return frame_; }
    // Whether the frame stands above the other window among the top-level windows.
    bool frameAboveCover() const;
    void forgetCaptionMessages() const;
    // WM_NCACTIVATE messages since the last forget, and whether the last
    // one drew the caption active.
    int captionMessages() const;
    bool lastCaptionActive() const;

private:
    HANDLE runner_ = nullptr;  // the program or the thread
    DWORD processId_ = 0;
    HWND frame_ = nullptr;
    HWND cover_ = nullptr;
};

// Waits up to ms for condition, checking it every few milliseconds.
template <class Condition>
bool waitFor(Condition condition, DWORD ms = 20000) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start > ms)
            return false;
        Sleep(20);
    }
}

}  // namespace vesk::test
