// The list windows in the test's own process: the window library's frame
// and dock on the test's thread, a controller that makes dock windows
// through that dock, the real manager with its field table, the core
// factory and the staged resource module.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <memory>
#include <string>

#include "core/capsule.h"
#include "core/entityTable.h"
#include "core/factory.h"
#include "plugins/Dravik/tests/dravikTestSupport.h"
#include "plugins/Ombrel/manager.h"
#include "vesk/persist.h"
#include "vesk/ss.h"
#include "vesk/ui.h"

namespace vesk::ui::test {

// The controller's services that the list windows use, carried out by the
// frame's dock and client area.
class dockControl : public objectBase, public IUIControl {
public:
    dockControl(IFrameWnd& frame, VDock& dock, HINSTANCE resources);
    ~dockControl();

    int Create() override { return 1; }
    int Run() override { return 0; }
    int Shutdown() override { return 1; }
    HINSTANCE GetResourceInstance() override { return resources_; }
    void SetResourceInstance(HINSTANCE module) override { resources_ = module; }
    HINSTANCE GetDefaultResourceInstance() override { return resources_; }
    HIMAGELIST GetSmallImageList() override { return small_; }
    HIMAGELIST GetLargeImageList() override { return large_; }
    IDockWnd* CreateDockWindow(const char* caption, RECT* rect) override;
    IDockToolBarWnd* CreateDockToolBarWindow(const char* caption, RECT* rect) override;
    IDockTabBarWnd* CreateDockTabBarWindow(const char* caption, RECT* rect) override;
    ISearchResultWnd* CreateSearchResultWnd(const char* name, RECT* rect) override;
    IFrameChildWnd* CreateChildWnd(const char* title, RECT* rect) override;
    bool IsClosed() override { return false; }
    int AddIcon(HINSTANCE module, int iconId) override;
    bool AutoComplete(HWND, DWORD) override { return false; }

private:
    IFrameWnd& frame_;
    VDock& dock_;
    HINSTANCE resources_;
    HIMAGELIST small_;
    HIMAGELIST large_;
    std::map<std::pair<HINSTANCE, int>, int> icons_;
};

// Whole-number settings kept in memory, as the lists read and write them.
class memorySettings : public objectBase, public persist::Isettings {
public:
    value setValue(const char* key, value v, IentityToken*) override;
    value getValue(const char* key, value defaultValue, IentityToken*) override;
    bool removeValue(const char* key, IentityToken*) override { return values.erase(key ? key : "") > 0; }
    persist::IpersistTarget* setTarget(persist::IpersistTarget*) override { return nullptr; }
    bool save() override { return false; }
    bool addCallback(persist::listener) override { return false; }
    bool removeCallback(persist::listener) override { return false; }
    bool notify() override { return false; }

    std::map<std::string, long> values;
};

class listWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new agent with one reference held by the caller.
    ss::IAgent* newAgent();
    // Declares a field of a list type, shown at the manager's display mode.
    void declareField(const char* field, const char* list);
    // Sets a text attribute.
    static void setText(ss::IAgent* agent, const char* field, const char* text);
    // Keeps what the window shows as <name>.png in the folder the
    // environment names in UI_SCREENSHOTS, when it names one.
    void keepShot(HWND window, const char* name);
    // Puts a dock window in the frame's client area at the given size,
    // floating over it, so that it is seen.
    void showDockWindow(IDockWnd* window, const RECT& place);

    capsule_core<vesk::factory>* factoryObject = nullptr;
    capsule_core<entityTable>* entityObject = nullptr;
    Ifactory* factory = nullptr;
    IentityToken* token = nullptr;
    HMODULE resources = nullptr;
    ss::CSSManager* managerObject = nullptr;
    ss::ISSManager* manager = nullptr;
    std::unique_ptr<frameFixture> frame;
    capsule<dockControl>* control = nullptr;
    capsule<memorySettings>* settings = nullptr;
};

// The text of a list view cell.
std::string CellText(HWND list, int row, int column);

}  // namespace vesk::ui::test
