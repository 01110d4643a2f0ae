// The toolbar dock window: buttons and images from resources, its docked
// size per side and form, its fixed size while a border is dragged, the hot
// button's tip in the status bar, and button texts.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "plugins/Dravik/dockSides.h"
#include "plugins/Dravik/dockToolBarWnd.h"
#include "plugins/Dravik/paint.h"
#include "plugins/Dravik/tests/dravikTestIds.h"
#include "plugins/Dravik/tests/dravikTestSupport.h"
#include "plugins/Dravik/wndProc.h"

namespace vesk::ui::test {
namespace {

HINSTANCE testProgram() { return ::GetModuleHandleA(nullptr); }
LPCSTR resource(int id) { return MAKEINTRESOURCEA(id); }

VDockToolBarWnd* makeToolBar(frameFixture& f, const char* caption = "Tools") {
    RECT floating = {700, 300, 900, 340};
    auto* made = dynamic_cast<VDockToolBarWnd*>(f.dock().CreateDockToolBarWindow(caption, &floating));
    if (!made)
        throw std::runtime_error("no toolbar");
    return made;
}

TBBUTTON buttonAt(HWND toolBar, int index) {
    TBBUTTON button = {};
    ::SendMessageA(toolBar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button));
    return button;
}

int buttonCount(HWND toolBar) { return static_cast<int>(::SendMessageA(toolBar, TB_BUTTONCOUNT, 0, 0)); }

SIZE extentOf(HWND toolBar) {
    SIZE extent = {0, 0};
    ::SendMessageA(toolBar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&extent));
    return extent;
}

// The buttons' extent grown by the dock window's borders.
SIZE fixedSizeOf(VDockToolBarWnd* bar) {
    SIZE extent = extentOf(bar->GetToolBarHandle());
    RECT r = {0, 0, extent.cx, extent.cy};
    HWND window = bar->GetHandle();
    ::AdjustWindowRectEx(&r, ::GetWindowLongA(window, GWL_STYLE), FALSE, ::GetWindowLongA(window, GWL_EXSTYLE));
    return SIZE{r.right - r.left, r.bottom - r.top};
}

TEST(ToolBar, MakesAFlatToolbarInItsContainer) {
    frameFixture f;
    VDockToolBarWnd* bar = makeToolBar(f);
    HWND toolBar = bar->GetToolBarHandle();
    ASSERT_NE(toolBar, nullptr);
    char className[64] = "";
    ::GetClassNameA(toolBar, className, sizeof(className));
    EXPECT_STREQ(className, TOOLBARCLASSNAMEA);
    EXPECT_EQ(::GetParent(toolBar), bar->GetContainerHandle());
    DWORD style = static_cast<DWORD>(::GetWindowLongA(toolBar, GWL_STYLE));
    EXPECT_EQ(style & 0x42008F6Cu, 0x42008F6Cu);
    EXPECT_TRUE(::IsWindowVisible(toolBar) || !::IsWindowVisible(bar->GetHandle()));
    EXPECT_EQ(bar->GetToolBarWnd()->GetHandle(), toolBar);
    EXPECT_EQ(bar->GetContainer()->IsResizable(), 0);
    EXPECT_EQ(f.dock().DockWindows().front(), static_cast<IDockWnd*>(bar)) << "kept by the dock";
}

TEST(ToolBar, ButtonsComeFromAToolbarResourceAndImagesFromItsBitmap) {
    frameFixture f;
    VDockToolBarWnd* bar = makeToolBar(f);
    HWND toolBar = bar->GetToolBarHandle();
    ASSERT_EQ(bar->LoadToolBar(testProgram(), resource(IDR_TEST_TOOLBAR), resource(IDR_TEST_TOOLBAR)), 1);
    ASSERT_EQ(buttonCount(toolBar), 3);
    struct expected {
        int command;
        BYTE style;
        int bitmap;  // image, or a separator's width
    } rows[] = {{101, 0x10, 0}, {0, BTNS_SEP, 6}, {102, 0x10, 1}};
    for (int i = 0; i < 3; ++i) {
        TBBUTTON button = buttonAt(toolBar, i);
        EXPECT_EQ(button.idCommand, rows[i].command) << i;
        EXPECT_EQ(button.fsStyle, rows[i].style) << i;
        EXPECT_EQ(button.iBitmap, rows[i].bitmap) << i;
        EXPECT_TRUE(button.fsState & TBSTATE_ENABLED) << i;
    }
    auto images = reinterpret_cast<HIMAGELIST>(::SendMessageA(toolBar, TB_GETIMAGELIST, 0, 0));
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(::ImageList_GetImageCount(images), 2);
    RECT window;
    ::GetWindowRect(bar->GetHandle(), &window);
    // The buttons' size, unless the platform's least size for a window
    // with a caption is larger.
    SIZE fixed = fixedSizeOf(bar);
    EXPECT_EQ(window.right - window.left, std::max<LONG>(fixed.cx, ::GetSystemMetrics(SM_CXMINTRACK)));
    EXPECT_EQ(window.bottom - window.top, std::max<LONG>(fixed.cy, ::GetSystemMetrics(SM_CYMINTRACK)));
    EXPECT_EQ(window.left, 700) << "and keeps its corner";
}

TEST(ToolBar, ASeparatorIsNarrowerOnAFlatToolbar) {
    frameFixture f;
    const UINT ids[] = {101, 0, 102};
    for (bool flat : {true, false}) {
        VDockToolBarWnd* bar = makeToolBar(f);
        HWND toolBar = bar->GetToolBarHandle();
        if (!flat)
            ::SetWindowLongA(toolBar, GWL_STYLE, ::GetWindowLongA(toolBar, GWL_STYLE) & ~TBSTYLE_FLAT);
        ASSERT_EQ(bar->SetButtons(ids, 3), 1);
        EXPECT_EQ(buttonAt(toolBar, 1).iBitmap, flat ? 6 : 8) << (flat ? "flat" : "raised");
    }
}

TEST(ToolBar, MissingOrBrokenResourcesLoadNothing) {
    frameFixture f;
    struct {
        int toolBar, bitmap;
        const char* what;
    } cases[] = {{999, IDR_TEST_TOOLBAR, "no toolbar resource"},
                 {IDR_TEST_BROKEN_TOOLBAR, IDR_TEST_TOOLBAR, "a count past the resource's end"}};
    for (const auto& c : cases) {
        VDockToolBarWnd* bar = makeToolBar(f);
        EXPECT_EQ(bar->LoadToolBar(testProgram(), resource(c.toolBar), resource(c.bitmap)), 0) << c.what;
        EXPECT_EQ(buttonCount(bar->GetToolBarHandle()), 0) << c.what;
    }
    VDockToolBarWnd* bar = makeToolBar(f);
    EXPECT_EQ(bar->SetButtons(nullptr, 0), 0);
    EXPECT_EQ(bar->LoadBitmapA(testProgram(), resource(998), nullptr), 0);
}

TEST(ToolBar, ItsDockedRectangleFollowsTheSideAndTheForm) {
    frameFixture f(700, 400);
    VDockToolBarWnd* bar = makeToolBar(f);
    bar->LoadToolBar(testProgram(), resource(IDR_TEST_TOOLBAR), resource(IDR_TEST_TOOLBAR));
    // The toolbar wraps its buttons to its width: the extent is read anew
    // for every case.
    struct expected {
        int side;
        bool menu;
        bool docked;
        LONG SIZE::*across;  // which extent gives the width
        LONG widthExtra;
        LONG SIZE::*along;
        LONG heightExtra;
    } rows[] = {
        {side::top, false, false, &SIZE::cx, 20, &SIZE::cy, 8},
        {side::bottom, false, false, &SIZE::cx, 20, &SIZE::cy, 8},
        {side::right, false, false, &SIZE::cy, 10, &SIZE::cx, 18},
        {side::left, false, false, &SIZE::cy, 10, &SIZE::cx, 18},
        {side::top, true, false, &SIZE::cx, 0, &SIZE::cy, 4},
        {side::bottom, true, false, &SIZE::cx, 0, &SIZE::cy, 4},
        {side::left, true, false, &SIZE::cx, 10, &SIZE::cx, 18},
        {side::top, true, true, &SIZE::cx, 10, &SIZE::cy, 4},
    };
    for (const expected& row : rows) {
        bar->SetIsMenu(row.menu ? 1 : 0);
        if (row.docked && !bar->GetDockedToDockArea())
            f.dockAt(bar, side::top, POINT{0, 0});
        ASSERT_EQ(bar->GetDockedToDockArea() != nullptr, row.docked);
        SIZE e = extentOf(bar->GetToolBarHandle());
        RECT r;
        EXPECT_EQ(bar->GetRect(row.side, &r), 1);
        EXPECT_EQ(r.right - r.left, e.*row.across + row.widthExtra) << "side " << row.side << " menu " << row.menu;
        EXPECT_EQ(r.bottom - r.top, e.*row.along + row.heightExtra) << "side " << row.side << " menu " << row.menu;
    }
    RECT window, other;
    ::GetWindowRect(bar->GetHandle(), &window);
    bar->GetRect(7, &other);
    EXPECT_TRUE(::EqualRect(&window, &other)) << "another side: the window's rectangle";
}

TEST(ToolBar, ABorderDraggedKeepsTheButtonsSizeOnTheFixedSides) {
    frameFixture f;
    VDockToolBarWnd* bar = makeToolBar(f);
    bar->LoadToolBar(testProgram(), resource(IDR_TEST_TOOLBAR), resource(IDR_TEST_TOOLBAR));
    SIZE fixed = fixedSizeOf(bar);
    const RECT dragged = {100, 100, 400, 300};
    struct row {
        WPARAM edge;
        int sizeableVertical, sizeableHorizontal;
        RECT expected;
    } rows[] = {
        {WMSZ_RIGHT, 0, 0, {100, 100, 100 + fixed.cx, 100 + fixed.cy}},
        {WMSZ_TOP, 0, 0, {100, 100, 100 + fixed.cx, 100 + fixed.cy}},
        {WMSZ_BOTTOM, 0, 0, {100, 300 - fixed.cy, 100 + fixed.cx, 300}},
        {WMSZ_BOTTOMLEFT, 0, 0, {100, 300 - fixed.cy, 100 + fixed.cx, 300}},
        {WMSZ_BOTTOMRIGHT, 0, 1, {100, 300 - fixed.cy, 400, 300}},
        {WMSZ_RIGHT, 1, 0, {100, 100, 100 + fixed.cx, 300}},
        {WMSZ_RIGHT, 1, 1, dragged},
    };
    for (const row& r : rows) {
        bar->SetSizeableVertical(r.sizeableVertical);
        bar->SetSizeableHorizontal(r.sizeableHorizontal);
        RECT rect = dragged;
        ::SendMessageA(bar->GetHandle(), WM_SIZING, r.edge, reinterpret_cast<LPARAM>(&rect));
        EXPECT_TRUE(::EqualRect(&rect, &r.expected))
            << "edge " << r.edge << " sizeable " << r.sizeableVertical << r.sizeableHorizontal << ": "
            << describe(rect) << " instead of " << describe(r.expected);
    }
}

// Answers the toolbar's questions for a button's tip.
LRESULT answerTips(HWND, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY)
        return -1;
    auto* header = reinterpret_cast<NMHDR*>(lParam);

    if (header->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
        std::strcpy(info->szText, "Open a file");
        info->lpszText = info->szText;
        return 0;
    }
    if (header->code == TBN_GETINFOTIPA) {
        auto* info = reinterpret_cast<NMTBGETINFOTIPA*>(lParam);
        lstrcpynA(info->pszText, "Open a file", info->cchTextMax);
        return 0;
    }
    return -1;
}

TEST(ToolBar, TheHotButtonsTipShowsInTheStatusBar) {
    frameFixture f;
    VDockToolBarWnd* bar = makeToolBar(f);
    bar->LoadToolBar(testProgram(), resource(IDR_TEST_TOOLBAR), resource(IDR_TEST_TOOLBAR));
    IWndProc* hook = new capsule<VWndProc>(reinterpret_cast<pointerInt>(&answerTips), 0);
    bar->Container()->AddMessageHook(hook);
    HWND status = f.statusBar()->GetHandle();
    auto hotChange = [&](int idNew, DWORD flags) {
        NMTBHOTITEM hot = {};
        hot.hdr = NMHDR{bar->GetToolBarHandle(), 0, static_cast<UINT>(TBN_HOTITEMCHANGE)};
        hot.idNew = idNew;
        hot.dwFlags = flags;
        return ::SendMessageA(bar->GetContainerHandle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&hot));
    };
    EXPECT_EQ(hotChange(101, HICF_MOUSE | HICF_ENTERING), 0);
    EXPECT_EQ(paneText(status, 0), "Open a file");
    EXPECT_EQ(paneFlags(status, 0), 0x100u);
    hotChange(0, HICF_MOUSE | HICF_LEAVING);
    EXPECT_EQ(paneText(status, 0), "") << "no hot button, no tip";
    bar->Container()->RemoveMessageHook(hook);

    struct {
        UINT code;
        LRESULT answer;
    } customizing[] = {{static_cast<UINT>(TBN_INITCUSTOMIZE), 1}, {static_cast<UINT>(TBN_QUERYDELETE), 1},
                       {static_cast<UINT>(TBN_QUERYINSERT), 1},    {static_cast<UINT>(TBN_BEGINADJUST), 1},
                       {static_cast<UINT>(TBN_ENDADJUST), 0},      {static_cast<UINT>(TBN_DROPDOWN), -1}};
    for (const auto& c : customizing) {
        NMHDR header = {bar->GetToolBarHandle(), 0, c.code};
        EXPECT_EQ(bar->OnNotify(0, reinterpret_cast<LONG_PTR>(&header)), c.answer) << c.code;
    }
}

TEST(ToolBar, EqualTextsShareOneStringAndMissingButtonsChangeNothing) {
    frameFixture f;
    VDockToolBarWnd* bar = makeToolBar(f);
    bar->LoadToolBar(testProgram(), resource(IDR_TEST_TOOLBAR), resource(IDR_TEST_TOOLBAR));
    HWND toolBar = bar->GetToolBarHandle();
    EXPECT_EQ(bar->SetButtonText(0, "Open"), 1);
    EXPECT_EQ(bar->SetButtonText(2, "Open"), 1);
    EXPECT_EQ(buttonAt(toolBar, 0).iString, buttonAt(toolBar, 2).iString);
    bar->SetButtonText(2, "Save");
    EXPECT_NE(buttonAt(toolBar, 0).iString, buttonAt(toolBar, 2).iString);
    std::string text;
    ASSERT_TRUE(bar->GetButtonText(0, text));
    EXPECT_EQ(text, "Open");
    ASSERT_TRUE(bar->GetButtonText(2, text));
    EXPECT_EQ(text, "Save");

    EXPECT_EQ(bar->SetButtonText(7, "Nowhere"), 0);
    EXPECT_EQ(buttonCount(toolBar), 3) << "no button written back";
    TBBUTTON none = {};
    EXPECT_EQ(bar->SetButton(-1, &none), FALSE);
    EXPECT_FALSE(bar->GetButtonText(9, text));
}

TEST(ToolBar, ButtonStatesReadAndWrittenWithTheEnabledBitInverted) {
    frameFixture f;
    VDockToolBarWnd* bar = makeToolBar(f);
    bar->LoadToolBar(testProgram(), resource(IDR_TEST_TOOLBAR), resource(IDR_TEST_TOOLBAR));
    HWND toolBar = bar->GetToolBarHandle();
    TBBUTTON button;
    ASSERT_TRUE(bar->GetButton(0, &button));
    EXPECT_FALSE(button.fsState & TBSTATE_ENABLED) << "enabled reads as the bit cleared";
    button.fsState |= TBSTATE_ENABLED;  // disabled in this form
    ASSERT_TRUE(bar->SetButton(0, &button));
    EXPECT_FALSE(::SendMessageA(toolBar, TB_ISBUTTONENABLED, 101, 0));
    EXPECT_EQ(buttonAt(toolBar, 0).idCommand, 101) << "the same button, in place";
    EXPECT_EQ(buttonCount(toolBar), 3);
    EXPECT_EQ(bar->GetButtonIdFromCommand(102), 2);
}

// The control reads a string list up to an empty string; a text that ends
// right before an unreadable page must be read no further than its end.
TEST(ToolBar, AButtonTextIsNotReadPastItsEnd) {
    frameFixture f;
    VDockToolBarWnd* bar = makeToolBar(f);
    bar->LoadToolBar(testProgram(), resource(IDR_TEST_TOOLBAR), resource(IDR_TEST_TOOLBAR));
    SYSTEM_INFO system;
    ::GetSystemInfo(&system);
    auto* pages = static_cast<char*>(
        ::VirtualAlloc(nullptr, 2 * system.dwPageSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(pages, nullptr);
    DWORD old;
    ASSERT_TRUE(::VirtualProtect(pages + system.dwPageSize, system.dwPageSize, PAGE_NOACCESS, &old));
    const char word[] = "Print";
    char* text = pages + system.dwPageSize - sizeof(word);
    std::memcpy(text, word, sizeof(word));
    EXPECT_EQ(bar->SetButtonText(0, text), 1);
    EXPECT_EQ(bar->AddButton(-1, 103, TBSTATE_ENABLED, 0, 0, text), 1);
    std::string read;
    ASSERT_TRUE(bar->GetButtonText(1, read));
    EXPECT_EQ(read, "Print");
    ::VirtualFree(pages, 0, MEM_RELEASE);
}

TEST(ToolBar, AReplacedImageListIsDestroyed) {
    frameFixture f;
    VDockToolBarWnd* bar = makeToolBar(f);
    HWND toolBar = bar->GetToolBarHandle();
    HBITMAP image = ::LoadBitmapA(testProgram(), resource(IDR_TEST_TOOLBAR));
    ASSERT_NE(image, nullptr);
    bar->AddReplaceBitmap(image, nullptr);
    auto first = reinterpret_cast<HIMAGELIST>(::SendMessageA(toolBar, TB_GETIMAGELIST, 0, 0));
    bar->AddReplaceBitmap(image, nullptr);
    auto second = reinterpret_cast<HIMAGELIST>(::SendMessageA(toolBar, TB_GETIMAGELIST, 0, 0));
    EXPECT_NE(first, second);
    EXPECT_EQ(::ImageList_GetImageCount(second), 2);
    EXPECT_EQ(::GetObjectType(image), static_cast<DWORD>(OBJ_BITMAP)) << "the caller's bitmap is kept";
    ::DeleteObject(image);
}

TEST(ToolBar, Screenshot) {
    frameFixture f(500, 300);
    VDockToolBarWnd* bar = makeToolBar(f);
    bar->LoadToolBar(testProgram(), resource(IDR_TEST_TOOLBAR), resource(IDR_TEST_TOOLBAR));
    f.dockAt(bar, side::top, POINT{0, 0});
    VDockToolBarWnd* floating = makeToolBar(f, "Floating tools");
    floating->LoadToolBar(testProgram(), resource(IDR_TEST_TOOLBAR), resource(IDR_TEST_TOOLBAR));
    ::ShowWindow(floating->GetHandle(), SW_SHOWNOACTIVATE);
    ::RedrawWindow(f.window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pump();
    RECT frame, tools;
    ::GetWindowRect(f.window(), &frame);
    ::GetWindowRect(floating->GetHandle(), &tools);
    RECT both;
    ::UnionRect(&both, &frame, &tools);
    screenShot shot(both);
    shot.saveIfAsked("toolbars");
    // Both buttons show their images in the docked toolbar: a red square
    // and a blue disc.
    RECT docked;
    ::GetWindowRect(bar->GetToolBarHandle(), &docked);
    bool red = false, blue = false;
    for (int y = docked.top; y < docked.bottom; ++y)
        for (int x = docked.left; x < docked.right; ++x) {
            COLORREF pixel = shot.at(POINT{x, y});
            red = red || pixel == RGB(200, 0, 0);
            blue = blue || pixel == RGB(0, 0, 200);
        }
    EXPECT_TRUE(red && blue) << "red " << red << ", blue " << blue;
}

}  // namespace
}  // namespace vesk::ui::test
