// Skins: the built-in skin alone, skins a skin module registers, values by
// id, selection and what it tells every window, the drawing procedure's
// parts and answer, tab colours, and a skin whose module is gone.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "extern/skin/flatSkins.h"
#include "plugins/Dravik/dockSides.h"
#include "plugins/Dravik/dockTabBarWnd.h"
#include "plugins/Dravik/dockToolBarWnd.h"
#include "plugins/Dravik/frameClientWnd.h"
#include "plugins/Dravik/skinEngine.h"
#include "plugins/Dravik/tests/dravikTestSupport.h"
#include "plugins/Dravik/tests/heldObject.h"
#include "plugins/Dravik/wndProc.h"
#include "testing/testPaths.h"

namespace vesk::ui::test {
namespace {

namespace standIn = vesk::skinStandIn;
using vesk::testing::tempDir;

// A current directory with a "Skins" folder holding the stand-ins (or no
// folder at all) for as long as the object lives.
class skinsFolder {
public:
    explicit skinsFolder(bool withModules) {
        if (withModules) {
            std::string skins = dir_.file("Skins");
            ::CreateDirectoryA(skins.c_str(), nullptr);
            for (const char* module : {"flatSkins.dll", "notASkin.dll"})
                vesk::testing::copyFile(vesk::testing::fixturesDir() + "\\" + module, skins + "\\" + module);
        }
        ::GetCurrentDirectoryA(MAX_PATH, previous_);
        ::SetCurrentDirectoryA(dir_.path().c_str());
    }
    ~skinsFolder() { ::SetCurrentDirectoryA(previous_); }
    std::string module() const { return dir_.file("Skins\\flatSkins.dll"); }

private:
    tempDir dir_;
    char previous_[MAX_PATH] = "";
};

// An engine of the test's own over a frame, scanned in a skins folder.
struct skinnedFrame {
    frameFixture frame;
    skinsFolder folder;
    held<VSkinEngine> engine;
    explicit skinnedFrame(bool withModules = true, int width = 600, int height = 400)
        : frame(width, height), folder(withModules) {
        engine->SetFrame(frame.window(), &frame.frame());
        engine->ScanSkinModules();
    }
    ~skinnedFrame() { engine->SelectSkin(0); }

    std::vector<int> drawnParts() {
        HMODULE module = ::GetModuleHandleA(folder.module().c_str());
        auto read = reinterpret_cast<standIn::drawnPartsEntry>(
            reinterpret_cast<void*>(::GetProcAddress(module, "DrawnParts")));
        std::vector<int> parts(4096);
        parts.resize(read ? static_cast<std::size_t>(read(parts.data(), static_cast<int>(parts.size()))) : 0);
        return parts;
    }
    void redrawAll() {
        ::RedrawWindow(frame.window(), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        pump();
    }
};

TEST(Skins, WithoutASkinsFolderOnlyTheBuiltInSkinIsThere) {
    skinnedFrame s(false);
    EXPECT_EQ(s.engine->GetSkinCount(), 1);
    ISkin* builtIn = s.engine->GetCurrentSkin();
    EXPECT_EQ(builtIn, s.engine->GetSkin(0));
    for (unsigned listColour : {24u, 26u, 27u})
        EXPECT_EQ(builtIn->GetValue(listColour), 0u) << "lists keep their own colours: " << listColour;
    EXPECT_EQ(builtIn->GetValue(6), 15u + 256u * 15u);
    EXPECT_EQ(builtIn->GetValue(7), 4u);
    EXPECT_EQ(static_cast<int>(builtIn->GetValue(9)), -10);
    EXPECT_EQ(builtIn->GetValue(15), 3u);
    EXPECT_EQ(builtIn->GetUserData(), reinterpret_cast<LONG_PTR>(s.frame.window()));
}

TEST(Skins, TheStandInRegistersTwoSkinsAndAModuleWithoutLoadIsPassedOver) {
    skinnedFrame s;
    ASSERT_EQ(s.engine->GetSkinCount(), 3);
    for (int i = 0; i < 2; ++i) {
        const standIn::flatSkin& spec = standIn::skins[i];
        ISkin* skin = s.engine->GetSkin(i + 1);
        ASSERT_NE(skin, nullptr);
        EXPECT_STREQ(skin->GetName(), spec.name);
        EXPECT_STREQ(skin->GetDescription(), spec.description);
        EXPECT_EQ(skin->GetValue(20), spec.background);
        EXPECT_EQ(skin->GetValue(24), spec.content);
        EXPECT_EQ(skin->GetValue(27), spec.text);
        EXPECT_EQ(skin->GetValue(1), static_cast<unsigned>(standIn::captionHeight));
        auto* own = dynamic_cast<VSkin*>(skin);
        EXPECT_EQ(own->Path(), s.folder.module());
        EXPECT_EQ(own->Index(), i + 1);
        EXPECT_EQ(own->Values().draw, nullptr) << "no drawing procedure before Init";
    }
    EXPECT_EQ(s.engine->GetSkin(3), nullptr);
    EXPECT_EQ(s.engine->GetSkin(-1), nullptr);
    EXPECT_EQ(::GetModuleHandleA(s.folder.module().c_str()), nullptr) << "scanned modules are freed";
}

TEST(Skins, SizesReadBackPackedModulo256) {
    held<VSkin> skin;
    struct row {
        unsigned cx, cy;
    } rows[] = {{15, 15}, {300, 2}, {256, 511}, {0, 255}};
    for (unsigned id : {6u, 8u, 10u, 12u})
        for (const row& r : rows) {
            skin->SetValue(id, r.cx + 65536 * r.cy);
            EXPECT_EQ(skin->GetValue(id), (r.cx % 256) + 256 * (r.cy % 256)) << id << ": " << r.cx << " x " << r.cy;
        }
}

TEST(Skins, ValuesWithoutAMeaningAreIgnoredAndEdgeColoursAreTheLibrarys) {
    skinnedFrame s;
    ISkin* teal = s.engine->GetSkin(1);
    for (unsigned id : {0u, 5u, 18u, 19u, 28u, 1000u}) {
        teal->SetValue(id, 77);
        EXPECT_EQ(teal->GetValue(id), 0u) << id;
    }
    const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0), blue = RGB(0, 0, 255);
    teal->SetValue(21, red);
    s.engine->GetSkin(2)->SetValue(22, green);
    s.engine->GetSkin(0)->SetValue(23, blue);
    const libraryColours& colours = LibraryColours();
    EXPECT_EQ(colours.highlight, red);
    EXPECT_EQ(colours.shadow, green);
    EXPECT_EQ(colours.darkShadow, blue);
    for (int i = 0; i < 3; ++i)
        for (unsigned id : {21u, 22u, 23u})
            EXPECT_EQ(s.engine->GetSkin(i)->GetValue(id), 0u);
    s.engine->SelectSkin(1);
    EXPECT_EQ(colours.highlight, ::GetSysColor(COLOR_BTNHIGHLIGHT)) << "a selection takes the skin's edges";
    EXPECT_EQ(colours.darkShadow, ::GetSysColor(COLOR_3DDKSHADOW));
}

TEST(Skins, TheBuiltInSkinGivesTheFrameItsPlatformStyle) {
    skinnedFrame s;
    HWND frame = s.frame.window();
    for (unsigned index : {0u, 3u, 99u}) {
        s.engine->SelectSkin(1);
        ::SetWindowLongA(frame, GWL_STYLE, 0x04CF0000);
        EXPECT_EQ(s.engine->SelectSkin(index), 0);
        EXPECT_EQ(s.engine->GetCurrentSkin(), s.engine->GetSkin(0)) << index;
        EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(frame, GWL_STYLE)) & ~WS_CLIPSIBLINGS, 0x12CF0000u) << index;
        EXPECT_FALSE(Skinned());
    }
}

struct skinChanges {
    int count = 0;
};

LRESULT countSkinChanges(void* user, HWND, UINT message, WPARAM, LPARAM) {
    if (message == WM_SKINCHANGED)
        ++static_cast<skinChanges*>(user)->count;
    return -1;
}

TEST(Skins, ASkinChangeReachesEveryChildAndFloatingDockWindow) {
    skinnedFrame s;
    VDockWnd* docked = s.frame.dockWindow("docked", SIZE{120, 40});
    s.frame.dockAt(docked, side::top, POINT{0, 0});
    VDockWnd* floating = s.frame.dockWindow("floating", SIZE{120, 40});
    ::ShowWindow(floating->GetHandle(), SW_SHOWNOACTIVATE);
    RECT place = {700, 500, 800, 540};
    auto* toolBar = dynamic_cast<VDockToolBarWnd*>(s.frame.dock().CreateDockToolBarWindow("tools", &place));
    ASSERT_NE(toolBar, nullptr);
    struct watchedWindow {
        const char* what;
        IWndEvents* events;
        skinChanges heard;
        IWndProc* hook = nullptr;
    } windows[] = {
        {"a docked container", docked->Container(), {}},
        {"a floating dock window", floating, {}},
        {"a floating window's container", floating->Container(), {}},
        {"a floating toolbar", static_cast<VDockWnd*>(toolBar), {}},
        {"the MDI client", interfaceCast<IWndEvents>(s.frame.frame().GetClientWnd()), {}},
        {"the status bar", s.frame.statusBar(), {}},
    };
    for (watchedWindow& w : windows) {
        ASSERT_NE(w.events, nullptr) << w.what;
        w.hook = new capsule<VWndProc>(reinterpret_cast<pointerInt>(&countSkinChanges),
                                       reinterpret_cast<pointerInt>(&w.heard));
        w.hook->addRef();
        w.events->AddMessageHook(w.hook);
    }
    s.engine->SelectSkin(1);
    for (watchedWindow& w : windows) {
        EXPECT_EQ(w.heard.count, 1) << w.what;
        w.events->RemoveMessageHook(w.hook);
        w.hook->release();
    }
}

TEST(Skins, TheDrawingProcedureIsAskedForEveryPartAndItsAnswerCounts) {
    skinnedFrame s(true, 600, 400);
    VDockWnd* across = s.frame.dockWindow("across", SIZE{200, 60});
    s.frame.dockAt(across, side::top, POINT{0, 0});
    VDockWnd* upright = s.frame.dockWindow("upright", SIZE{80, 150});
    s.frame.dockAt(upright, side::left, POINT{0, 120});
    s.engine->SelectSkin(1);
    s.redrawAll();
    HWND container = across->GetContainerHandle();
    ::SendMessageA(container, WM_NCMOUSEMOVE, HTCLOSE, 0);
    ::SendMessageA(container, WM_NCLBUTTONDOWN, HTCLOSE, 0);
    ::ReleaseCapture();
    std::vector<int> parts = s.drawnParts();
    std::set<int> seen(parts.begin(), parts.end());
    for (int part : {1, 5, 4, 3, 0, 101, 102, 103, 104, 105})
        EXPECT_TRUE(seen.count(part)) << "part " << part;

    // Where the top area shows between windows: the skin's fill when it
    // answers that it drew, the library's edge when it does not.
    HWND area = s.frame.area(side::top).GetHandle();
    RECT areaRect;
    ::GetWindowRect(area, &areaRect);
    POINT free = {areaRect.right - 5, areaRect.top};
    EXPECT_EQ(screenPixel(free), standIn::skins[0].background);
    screenShot(RECT{areaRect.left - 10, areaRect.top - 40, areaRect.right + 10, areaRect.bottom + 200})
        .saveIfAsked("skin-teal");
    s.engine->SelectSkin(2);
    s.redrawAll();
    EXPECT_EQ(screenPixel(free), LibraryColours().shadow);
}

TEST(Skins, TabBarsTakeTheirColoursFromTheSkin) {
    skinnedFrame s;
    RECT floating = {700, 200, 1000, 400};
    auto* bar = dynamic_cast<VDockTabBarWnd*>(s.frame.dock().CreateDockTabBarWindow("Tabs", &floating));
    ASSERT_NE(bar, nullptr);
    static_cast<IDockTabBarWnd*>(bar)->addRef();
    RECT docked = {0, 0, 300, 90};
    bar->Container()->SetDockRect(0, &docked);
    bar->Container()->SetResizable(1);
    std::vector<HWND> pages;
    for (const char* name : {"Hosts", "Log"}) {
        pages.push_back(::CreateWindowExA(0, "STATIC", name, WS_CHILD, 0, 0, 10, 10, bar->GetContainerHandle(),
                                          nullptr, nullptr, nullptr));
        bar->AddTab(name, pages.back(), -1);
    }
    s.frame.dockAt(bar, side::bottom, POINT{0, 300});
    s.engine->SelectSkin(1);
    s.redrawAll();
    const standIn::flatSkin& teal = standIn::skins[0];
    HWND strip = bar->GetTabBarHandle();
    auto backgroundOf = [&](int tab) {
        RECT r = bar->Tabs().GetItemRect(tab);
        POINT inside = {r.left + 10, r.top + 8};
        ::ClientToScreen(strip, &inside);
        return screenPixel(inside);
    };
    RECT frameRect;
    ::GetWindowRect(s.frame.window(), &frameRect);
    screenShot(frameRect).saveIfAsked("skin-tabs");

    EXPECT_EQ(backgroundOf(0), teal.content) << "the selected tab: value 24";
    EXPECT_EQ(backgroundOf(1), teal.background) << "the others: value 20";
    RECT first = bar->Tabs().GetItemRect(0);
    ::MapWindowPoints(strip, nullptr, reinterpret_cast<POINT*>(&first), 2);
    screenShot shot(first);
    bool textColoured = false;
    for (int y = first.top; y < first.bottom && !textColoured; ++y)
        for (int x = first.left; x < first.right && !textColoured; ++x)
            textColoured = shot.at(POINT{x, y}) == teal.text;
    EXPECT_TRUE(textColoured) << "the selected tab's text: value 27";
    s.engine->SelectSkin(0);
    for (HWND page : pages)
        ::DestroyWindow(page);
    ::DestroyWindow(bar->GetHandle());
    static_cast<IDockTabBarWnd*>(bar)->release();
}

TEST(Skins, ADrawingProcedureGoesWithItsModuleAndAMissingModuleSelectsWithoutOne) {
    skinnedFrame s;
    auto* teal = dynamic_cast<VSkin*>(s.engine->GetSkin(1));
    s.engine->SelectSkin(1);
    EXPECT_NE(teal->Values().draw, nullptr) << "Init gave one";
    EXPECT_TRUE(Skinned());
    s.engine->SelectSkin(0);
    EXPECT_EQ(teal->Values().draw, nullptr) << "its module was freed";
    ASSERT_TRUE(::DeleteFileA(s.folder.module().c_str()));
    EXPECT_EQ(s.engine->SelectSkin(1), 0);
    EXPECT_EQ(s.engine->GetCurrentSkin(), s.engine->GetSkin(1));
    EXPECT_EQ(teal->Values().draw, nullptr);
    EXPECT_FALSE(Skinned());
    s.redrawAll();  // draws with system colours, calls nothing
}

TEST(Skins, TheLibraryHasOneEngineThatTheFrameHandsOut) {
    frameFixture f;
    EXPECT_EQ(f.frame().GetSkinEngine(), static_cast<ISkinEngine*>(&VSkinEngine::Instance()));
    EXPECT_GE(VSkinEngine::Instance().GetSkinCount(), 1);
}

}  // namespace
}  // namespace vesk::ui::test
