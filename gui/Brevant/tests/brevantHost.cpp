#include "gui/Brevant/tests/brevantHost.h"

#include <objbase.h>

#include <stdexcept>

#include "gui/Brevant/brevantLib.h"
#include "gui/Brevant/tests/fixtures/clientWindows.h"
#include "testing/testPaths.h"

namespace vesk::test {

std::vector<testing::registryGuard::keyPath> brevantRegistry() {
    return {{HKEY_CLASSES_ROOT, brevantKeys::progId},
            {HKEY_CLASSES_ROOT, brevantKeys::versionIndependentProgId},
            {HKEY_CLASSES_ROOT, brevantKeys::classKey},
            {HKEY_CLASSES_ROOT, brevantKeys::typeLibKey},
            {HKEY_CLASSES_ROOT, brevantKeys::interfaceKey},
            {HKEY_LOCAL_MACHINE, brevantKeys::appPaths}};
}

// ---- the DLL ----

brevantDll::brevantDll() : comServerDll(testing::stageDir() + "\\Brevant.dll", CLSID_VeskSH) {}

// ---- started processes ----

namespace startedProcesses {

namespace {

JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting() {
    static HANDLE job = [] {
        HANDLE made = CreateJobObjectA(nullptr, nullptr);
        if (!made || !AssignProcessToJobObject(made, GetCurrentProcess()))
            throw std::runtime_error("cannot put the test program in a job");
        return made;
    }();
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info = {};
    if (!QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof info, nullptr))
        throw std::runtime_error("cannot read the job's process counts");
    return info;
}

}  // namespace

DWORD total() { return accounting().TotalProcesses; }
DWORD active() { return accounting().ActiveProcesses; }

}  // namespace startedProcesses

// ---- InvokeCommand on its own thread ----

CMINVOKECOMMANDINFO commandFor(UINT offset) {
    CMINVOKECOMMANDINFO command = {};
    command.cbSize = sizeof command;
    command.lpVerb = MAKEINTRESOURCEA(offset);
    command.nShow = SW_SHOWNORMAL;
    return command;
}

CMINVOKECOMMANDINFO commandFor(const char* verb) {
    CMINVOKECOMMANDINFO command = commandFor(0u);
    command.lpVerb = verb;
    return command;
}

namespace {

struct invocation {
    const brevantDll* dll;
    CMINVOKECOMMANDINFO command;
    HRESULT result = E_UNEXPECTED;
};

DWORD WINAPI invokeThread(void* parameter) {
    auto* call = static_cast<invocation*>(parameter);
    HRESULT initialised = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        comRef<IContextMenu> menu;
        call->result = call->dll->create(IID_IContextMenu, menu.out());
        if (SUCCEEDED(call->result))
            call->result = menu->InvokeCommand(&call->command);
    }
    if (SUCCEEDED(initialised))
        CoUninitialize();
    return 0;
}

std::string windowText(HWND window) {
    char text[1024];
    int n = GetWindowTextA(window, text, sizeof text);
    return n > 0 ? std::string(text, static_cast<size_t>(n)) : std::string();
}

std::string className(HWND window) {
    char name[256];
    int n = GetClassNameA(window, name, sizeof name);
    return n > 0 ? std::string(name, static_cast<size_t>(n)) : std::string();
}

BOOL CALLBACK findDialog(HWND window, LPARAM found) {
    if (className(window) != "#32770" || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

BOOL CALLBACK findStaticText(HWND window, LPARAM text) {
    std::string shown = windowText(window);
    if (className(window) != "Static" || shown.empty())
        return TRUE;
    *reinterpret_cast<std::string*>(text) = shown;
    return FALSE;
}

}  // namespace

invokeOutcome invokeOnThread(const brevantDll& dll, const CMINVOKECOMMANDINFO& command) {
    invokeOutcome outcome;
    auto* call = new invocation{&dll, command};
    DWORD threadId = 0;
    HANDLE thread = CreateThread(nullptr, 0, invokeThread, call, 0, &threadId);
    if (!thread) {
        delete call;
        return outcome;
    }
    DWORD start = GetTickCount();
    while (WaitForSingleObject(thread, 20) == WAIT_TIMEOUT) {
        if (GetTickCount() - start > 30000) {
            // Left running: it holds the invocation, so that is left too.
            CloseHandle(thread);
            return outcome;
        }
        // The box is read once: after the click it may stay visible while it
        // goes (Wine waits for the window manager), with its texts gone.
        if (outcome.boxShown)
            continue;
        HWND box = nullptr;
        EnumThreadWindows(threadId, findDialog, reinterpret_cast<LPARAM>(&box));
        if (!box)
            continue;
        outcome.boxShown = true;
        outcome.boxCaption = windowText(box);
        EnumChildWindows(box, findStaticText, reinterpret_cast<LPARAM>(&outcome.boxText));
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    CloseHandle(thread);
    outcome.returned = true;
    outcome.result = call->result;
    delete call;
    return outcome;
}

// ---- the client's stand-in ----

namespace {

HWND windowOfProcess(const char* windowClass, DWORD processId) {
    for (HWND window = FindWindowExA(nullptr, nullptr, windowClass, nullptr); window;
         window = FindWindowExA(nullptr, window, windowClass, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId)
            return window;
    }
    return nullptr;
}

LRESULT ask(HWND window, UINT message) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, message, 0, 0, SMTO_ABORTIFHUNG, 20000, &answer))
        throw std::runtime_error("the client's frame does not answer");
    return static_cast<LRESULT>(answer);
}

HANDLE startProgram(DWORD& processId) {
    std::string program = testing::fixturesDir() + "\\frameStandIn.exe";
    std::string line = "\"" + program + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        throw std::runtime_error("cannot start " + program);
    CloseHandle(process.hThread);
    processId = process.dwProcessId;
    return process.hProcess;
}

DWORD WINAPI clientThread(void*) {
    if (!createClientWindows(GetModuleHandleA(nullptr)))
        return 1;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

}  // namespace

clientStandIn::clientStandIn(place where) {
    if (where == place::otherProcess) {
        runner_ = startProgram(processId_);
    } else {
        processId_ = GetCurrentProcessId();
        runner_ = CreateThread(nullptr, 0, clientThread, nullptr, 0, nullptr);
        if (!runner_)
            throw std::runtime_error("cannot start the client's window thread");
    }
    bool shown = waitFor([this] {
        frame_ = windowOfProcess("Pelloran:Dravik32:FrameWnd:1", processId_);
        cover_ = windowOfProcess(coverWindowClass, processId_);
        return frame_ && cover_ && IsWindowVisible(frame_) && IsWindowVisible(cover_);
    });
    if (!shown) {
        if (where == place::otherProcess)
            TerminateProcess(runner_, 1);
        CloseHandle(runner_);  // a thread that made no windows has ended
        throw std::runtime_error("the client's windows do not show");
    }
}

clientStandIn::~clientStandIn() {
    PostMessageA(frame_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(runner_, 20000) != WAIT_OBJECT_0 && processId_ != GetCurrentProcessId())
        TerminateProcess(runner_, 1);
    CloseHandle(runner_);
}

bool clientStandIn::frameAboveCover() const {
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
        if (window == frame_)
            return true;
        if (window == cover_)
            return false;
    }
    return false;
}

void clientStandIn::forgetCaptionMessages() const { ask(frame_, vesk::test::forgetCaptionMessages); }

int clientStandIn::captionMessages() const { return static_cast<int>(ask(frame_, captionReport) / 2); }

bool clientStandIn::lastCaptionActive() const { return (ask(frame_, captionReport) & 1) != 0; }

}  // namespace vesk::test
