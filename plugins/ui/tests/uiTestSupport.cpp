#include "plugins/ui/tests/uiTestSupport.h"

#include "core/constructs.h"
#include "core/module.h"
#include "core/string.h"
#include "plugins/Dravik/dock.h"
#include "plugins/Dravik/dockSides.h"
#include "plugins/Dravik/wndProc.h"
#include "plugins/Ombrel/agent.h"
#include "plugins/Ombrel/moduleServices.h"
#include "plugins/ui/layoutWindows.h"
#include "plugins/ui/listServices.h"
#include "testing/screen/pngFile.h"
#include "testing/screen/screenCapture.h"
#include "testing/testPaths.h"

namespace vesk::ui::test {

dockControl::dockControl(IFrameWnd& frame, VDock& dock, HINSTANCE resources)
    : frame_(frame),
      dock_(dock),
      resources_(resources),
      small_(::ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 8, 8)),
      large_(::ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 8, 8)) {}

dockControl::~dockControl() {
    ::ImageList_Destroy(small_);
    ::ImageList_Destroy(large_);
}

IDockWnd* dockControl::CreateDockWindow(const char* caption, RECT* rect) { return dock_.CreateDockWindow(caption, rect); }

IDockToolBarWnd* dockControl::CreateDockToolBarWindow(const char* caption, RECT* rect) {
    return dock_.CreateDockToolBarWindow(caption, rect);
}

IDockTabBarWnd* dockControl::CreateDockTabBarWindow(const char* caption, RECT* rect) {
    return dock_.CreateDockTabBarWindow(caption, rect);
}

ISearchResultWnd* dockControl::CreateSearchResultWnd(const char* name, RECT* rect) {
    return MakeVSearchResultWnd(this, name, rect);
}

IFrameChildWnd* dockControl::CreateChildWnd(const char* title, RECT* rect) {
    IFrameClientWnd* client = frame_.GetClientWnd();
    return client ? client->CreateChild(title, rect) : nullptr;
}

int dockControl::AddIcon(HINSTANCE module, int iconId) {
    auto key = std::make_pair(module, iconId);
    auto found = icons_.find(key);
    if (found != icons_.end())
        return found->second;
    auto* icon = static_cast<HICON>(::LoadImageA(module, MAKEINTRESOURCEA(iconId), IMAGE_ICON, 16, 16, 0));
    if (!icon)
        return -1;
    int index = ::ImageList_AddIcon(small_, icon);
    ::ImageList_AddIcon(large_, icon);
    ::DestroyIcon(icon);
    icons_[key] = index;
    return index;
}

value memorySettings::setValue(const char* key, value v, IentityToken*) {
    if (key && v.code == vt::longV)
        values[key] = v.payload.l;
    return v;
}

value memorySettings::getValue(const char* key, value defaultValue, IentityToken*) {
    auto found = values.find(key ? key : "");
    return found == values.end() ? defaultValue : value(found->second);
}

void listWindowTest::SetUp() {
    factoryObject = new capsule_core<vesk::factory>();
    entityObject = new capsule_core<entityTable>();
    factory = factoryObject;
    ASSERT_TRUE(registerCoreClasses(factory));
    ref<Iconstruct> agents(new capsule<ss::_constructAgent>());
    ASSERT_NE(factory->registerClass(agents.get(), 0, 0), 0u);
    ref<Iconstruct> hooks(new capsule<_constructVWndProc>());
    ASSERT_NE(factory->registerClass(hooks.get(), 0, 0), 0u);
    token = static_cast<IentityTable*>(entityObject)->createEntity("UI", "test");
    ASSERT_NE(token, nullptr);
    resources = ::LoadLibraryA((vesk::testing::stageDir() + "\\plugins\\rsrc.vkm").c_str());
    ASSERT_NE(resources, nullptr) << "the resource module is staged with the build";

    ss::moduleServices& ombrel = ss::services();
    ombrel.factory = factory;
    ombrel.entityTable = entityObject;
    ombrel.token = token;
    managerObject = new capsule_core<ss::CSSManager>();
    ombrel.manager = managerObject;
    manager = managerObject;

    frame = std::make_unique<frameFixture>(700, 460);
    control = new capsule<dockControl>(frame->frame(), frame->dock(), resources);
    control->addRef();
    ombrel.uiControl = control;
    settings = new capsule<memorySettings>();
    settings->addRef();

    listServices& s = ListServices();
    s = listServices();
    s.factory = factory;
    s.owner = token;
    s.manager = manager;
    s.control = control;
    s.frame = &frame->frame();
    s.settings = settings;
    LoadListTexts(resources);
}

void listWindowTest::TearDown() {
    frame.reset();
    ListServices() = listServices();
    ss::services() = ss::moduleServices();
    if (control)
        control->release();
    if (settings)
        settings->release();
    if (managerObject)
        static_cast<IcoreObject*>(managerObject)->releaseCore();
    if (entityObject)
        entityObject->releaseCore();
    if (factoryObject)
        factoryObject->releaseCore();
    if (resources)
        ::FreeLibrary(resources);
}

ss::IAgent* listWindowTest::newAgent() {
    ss::IAgent* agent = createAs<ss::IAgent>(factory, token, "vesk::ss::CAgent");
    if (agent)
        agent->addRef();
    return agent;
}

void listWindowTest::declareField(const char* field, const char* list) {
    ref<Istring> name(new vesk::string(field));
    ref<Istring> type(new vesk::string(list));
    ASSERT_TRUE(manager->AddField(name.get(), type.get(), 0x4040, 1000)) << field;
}

void listWindowTest::setText(ss::IAgent* agent, const char* field, const char* text) {
    ref<Istring> v(new vesk::string(text));
    agent->SetAttribute(field, value(v.get()));
}

void listWindowTest::keepShot(HWND window, const char* name) {
    char folder[MAX_PATH];
    DWORD length = ::GetEnvironmentVariableA("UI_SCREENSHOTS", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    pump();
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    pump();
    vesk::testing::WritePngFile(std::string(folder) + "\\" + name + ".png", vesk::testing::CaptureWindow(window));
}

void listWindowTest::showDockWindow(IDockWnd* window, const RECT& place) {
    auto* dockWindow = dynamic_cast<VDockWnd*>(window);
    ASSERT_NE(dockWindow, nullptr);
    RECT size = {0, 0, place.right - place.left, place.bottom - place.top};
    dockWindow->Container()->SetDockRect(0, &size);
    dockWindow->Container()->SetDockRect(1, &size);
    frame->dockAt(dockWindow, side::top, POINT{0, 0});
    window->Show();
    pump();
}

std::string CellText(HWND list, int row, int column) {
    char text[260] = "";
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

}  // namespace vesk::ui::test
