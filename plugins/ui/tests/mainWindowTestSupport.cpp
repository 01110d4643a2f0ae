#include "plugins/ui/tests/mainWindowTestSupport.h"

#include <algorithm>

#include "core/constructs.h"
#include "core/entityTable.h"
#include "core/factory.h"
#include "core/module.h"
#include "core/string.h"
#include "plugins/Dravik/frameWnd.h"
#include "plugins/Dravik/statusBar.h"
#include "plugins/Dravik/tests/dravikTestSupport.h"
#include "plugins/Dravik/wndProc.h"
#include "plugins/Ombrel/agent.h"
#include "plugins/Ombrel/manager.h"
#include "plugins/Ombrel/moduleServices.h"
#include "plugins/ui/layoutWindows.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/toolBars.h"
#include "testing/screen/pngFile.h"
#include "testing/screen/screenCapture.h"
#include "testing/testPaths.h"

namespace vesk::ui::test {

journalSettings::journalSettings() {
    registerInterfaceOf<persist::Isettings>(this);
    registerInterfaceOf<Igeneric>(this);
}

value journalSettings::setValue(const char* key, value v, IentityToken*) {
    if (key && (v.code == vt::longV || v.code == vt::floatV))
        values[key] = v;
    return v;
}

value journalSettings::getValue(const char* key, value defaultValue, IentityToken*) {
    auto found = values.find(key ? key : "");
    if (found != values.end())
        return found->second;
    setValue(key, defaultValue, nullptr);
    return defaultValue;
}

bool journalSettings::removeValue(const char* key, IentityToken*) { return values.erase(key ? key : "") > 0; }

bool journalSettings::save() {
    journal.push_back("save");
    return true;
}

bool journalSettings::addCallback(persist::listener fn) {
    listeners.push_back(fn);
    return true;
}

bool journalSettings::removeCallback(persist::listener fn) {
    auto found = std::find(listeners.begin(), listeners.end(), fn);
    if (found == listeners.end())
        return false;
    listeners.erase(found);
    return true;
}

bool journalSettings::notify() {
    journal.push_back("notify");
    for (persist::listener fn : listeners)
        fn();
    return true;
}

countingRuntime::countingRuntime() {
    registerInterfaceOf<Iruntime>(this);
    registerInterfaceOf<Igeneric>(this);
}

namespace {

// Everything the window needs, made once for the program.
struct world {
    capsule_core<vesk::factory>* factory = nullptr;
    capsule_core<entityTable>* entities = nullptr;
    IentityToken* token = nullptr;
    HMODULE resources = nullptr;
    capsule_core<ss::CSSManager>* manager = nullptr;
    capsule_core<VStatusBar>* statusBar = nullptr;
    capsule_core<VFrameWnd>* frame = nullptr;
    capsule<journalSettings>* settings = nullptr;
    capsule<countingRuntime>* runtime = nullptr;
    capsule_core<UIControl>* control = nullptr;
    std::vector<outsideCall> calls;
    INT_PTR shellAnswer = 42;
};

world* made = nullptr;

HINSTANCE WINAPI RecordShell(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, INT) {
    made->calls.push_back(outsideCall{"shell", verb ? verb : "", file ? file : ""});
    return reinterpret_cast<HINSTANCE>(made->shellAnswer);
}

int WINAPI RecordMessage(HWND, LPCSTR text, LPCSTR caption, UINT) {
    made->calls.push_back(outsideCall{"message", text ? text : "", caption ? caption : ""});
    return IDOK;
}

void AddTabStop(HWND window) {
    if (made && made->control)
        made->control->AddTabStop(window);
}

}  // namespace

void mainWindow::SetUpTestSuite() {
    if (made)
        return;
    made = new world();
    world& w = *made;
    w.factory = new capsule_core<vesk::factory>();
    w.entities = new capsule_core<entityTable>();
    ASSERT_TRUE(registerCoreClasses(w.factory));
    ref<Iconstruct> agents(new capsule<ss::_constructAgent>());
    ASSERT_NE(w.factory->registerClass(agents.get(), 0, 0), 0u);
    ref<Iconstruct> hooks(new capsule<_constructVWndProc>());
    ASSERT_NE(w.factory->registerClass(hooks.get(), 0, 0), 0u);
    w.token = static_cast<IentityTable*>(w.entities)->createEntity("UI", "test");
    ASSERT_NE(w.token, nullptr);
    w.resources = ::LoadLibraryA((vesk::testing::stageDir() + "\\plugins\\rsrc.vkm").c_str());
    ASSERT_NE(w.resources, nullptr) << "the resource module is staged with the build";

    ss::moduleServices& ombrel = ss::services();
    ombrel.factory = w.factory;
    ombrel.entityTable = w.entities;
    ombrel.token = w.token;
    w.manager = new capsule_core<ss::CSSManager>();
    ombrel.manager = w.manager;

    // The download and result lists show a column, so that their rows can
    // be listed.
    for (unsigned listType : {312u, 315u}) {
        char list[64] = "";
        ::LoadStringA(w.resources, listType, list, sizeof list);
        ref<Istring> name(new vesk::string("File Name"));
        ref<Istring> type(new vesk::string(list));
        ASSERT_TRUE(w.manager->AddField(name.get(), type.get(), 0x4040, 1000));
    }
    w.statusBar = new capsule_core<VStatusBar>();
    w.frame = new capsule_core<VFrameWnd>(static_cast<IStatusBar*>(w.statusBar));
    w.settings = new capsule<journalSettings>();
    w.settings->addRef();
    w.runtime = new capsule<countingRuntime>();
    w.runtime->addRef();
    w.control = new capsule_core<UIControl>();
    ombrel.uiControl = w.control;

    controlLinks links;
    links.frame = w.frame;
    links.settings = w.settings;
    links.owner = w.token;
    links.manager = w.manager;
    links.runtime = w.runtime;
    links.module = ::GetModuleHandleA(nullptr);
    w.control->SetLinks(links);
    SetTheControl(w.control);
    w.control->UseResources(w.resources, w.resources);

    listServices& s = ListServices();
    s = listServices();
    s.factory = w.factory;
    s.owner = w.token;
    s.manager = w.manager;
    s.control = w.control;
    s.frame = w.frame;
    s.settings = w.settings;
    s.statusBar = w.statusBar;
    s.addTabStop = &AddTabStop;
    s.shellExecute = &RecordShell;
    s.messageBox = &RecordMessage;
    LoadListTexts(w.resources);
    listWindowObjects windows;
    ASSERT_TRUE(MakeListWindowObjects(windows));
    ConnectToolBarObject();
    w.settings->addCallback(&OnSettingsSave);

    if (beforeLayout)
        beforeLayout(w.manager);
    ASSERT_EQ(w.control->Create(), 1);
    pump();
}

void (*mainWindow::beforeLayout)(ss::ISSManager*) = nullptr;

void mainWindow::TearDownTestSuite() {
    // The window and its objects live until the program ends: the list
    // windows are made once per process.
    pump();
}

void mainWindow::SetUp() {
    ASSERT_NE(made, nullptr);
    ASSERT_NE(made->control->MenuBar(), nullptr);
    made->calls.clear();
    made->settings->journal.clear();
    made->shellAnswer = 42;
}

UIControl& mainWindow::control() { return *made->control; }
VDockMenu& mainWindow::menu() { return *made->control->MenuBar(); }
HWND mainWindow::frameWindow() { return made->control->FrameWindow(); }
journalSettings& mainWindow::settings() { return *made->settings; }
countingRuntime& mainWindow::runtime() { return *made->runtime; }
std::vector<outsideCall>& mainWindow::outsideCalls() { return made->calls; }
void mainWindow::setShellAnswer(INT_PTR answer) { made->shellAnswer = answer; }
HINSTANCE mainWindow::resources() { return made->resources; }

ss::IAgent* mainWindow::newAgent() {
    ss::IAgent* agent = createAs<ss::IAgent>(made->factory, made->token, "vesk::ss::CAgent");
    if (agent)
        agent->addRef();
    return agent;
}

void mainWindow::keepShot(const char* name) {
    char folder[MAX_PATH];
    DWORD length = ::GetEnvironmentVariableA("UI_SCREENSHOTS", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    pump();
    ::RedrawWindow(frameWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    pump();
    RECT place = {};
    ::GetWindowRect(frameWindow(), &place);
    vesk::testing::WritePngFile(std::string(folder) + "\\" + name + ".png",
                                vesk::testing::CaptureScreenArea(place));
}

bool Checked(HMENU popup, int item) { return (::GetMenuState(popup, item, MF_BYCOMMAND) & MF_CHECKED) != 0; }
bool Grayed(HMENU popup, int item) {
    return (::GetMenuState(popup, item, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) != 0;
}

std::string ToolTipOf(IDockWnd* toolBar, int command) {
    HWND container = toolBar ? toolBar->GetContainerHandle() : nullptr;
    auto* bar = interfaceCast<IDockToolBarWnd>(toolBar);
    NMTTDISPINFOA request = {};
    request.hdr.hwndFrom = bar ? bar->GetToolBarHandle() : nullptr;
    request.hdr.idFrom = static_cast<UINT_PTR>(command);
    request.hdr.code = TTN_NEEDTEXTA;
    ::SendMessageA(container, WM_NOTIFY, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(&request));
    return request.lpszText ? request.lpszText : "";
}

}  // namespace vesk::ui::test
