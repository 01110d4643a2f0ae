// The shared-folders page over a folder tree of the test's own: state
// images and clicks, the recursion box, OK, Cancel and the share engine's
// reload, a rename through the shell, and the folder's menu.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/coreDirectory.h"
#include "plugins/Ombrel/driveSpace.h"
#include "plugins/Ombrel/shellFolderTree.h"
#include "plugins/Ombrel/tests/pageFixture.h"
#include "vesk/share2.h"

namespace vesk::ss::test {

namespace {

const char* const sharesPage = "Shared Folders";
constexpr int sharedIcon = 1;  // icon 143 is the second image of the page's list

// A share engine that keeps only the windows registered with it.
class windowsEngine : public objectBase, public share2::IShareEngine, public IcoreObject {
public:
    windowsEngine() {
        registerInterfaceOf<share2::IShareEngine>(this);
        registerInterfaceOf<IcoreObject>(static_cast<share2::IShareEngine*>(this));
        registerInterfaceOf<Igeneric>(static_cast<share2::IShareEngine*>(this));
    }
    std::vector<HWND> windows() {
        std::lock_guard<std::mutex> hold(lock_);
        return windows_;
    }

    int reloadConfig(const char*) override { return 0; }
    int reserved1() override { return 0; }
    Ivector* search(const char*) override { return nullptr; }
    share2::IShareObj* objectById(unsigned) override { return nullptr; }
    share2::IShareObj* fileByHash(const char*) override { return nullptr; }
    unsigned objectCount() override { return 0; }
    unsigned totalSize() override { return 0; }
    int addWindow(HWND window) override {
        std::lock_guard<std::mutex> hold(lock_);
        windows_.push_back(window);
        return 0;
    }
    int addShare(share2::shareSpec*) override { return 0; }
    int isShared(const char*) override { return 0; }
    int isRecursive(const char*) override { return 0; }
    int setState(int state) override { return state; }
    int removeWindow(HWND window) override {
        std::lock_guard<std::mutex> hold(lock_);
        auto kept = std::remove(windows_.begin(), windows_.end(), window);
        int found = kept != windows_.end() ? 1 : 0;
        windows_.erase(kept, windows_.end());
        return found;
    }

private:
    std::mutex lock_;
    std::vector<HWND> windows_;
};

class SharesPageTest : public pageFixture {
protected:
    void SetUp() override {
        pageFixture::SetUp();
        services().shareList = work.path() + "\\pelloran.ini";
        ASSERT_NE(directory->registerObject(nameOf<share2::IShareEngine>(),
                                            static_cast<share2::IShareEngine*>(engine)),
                  0u);
        services().core = directory;
        for (const char* folder : {"\\tree", "\\tree\\a", "\\tree\\a\\b", "\\tree\\a\\b\\c", "\\tree\\x"})
            ASSERT_TRUE(CreateDirectoryA((work.path() + folder).c_str(), nullptr)) << folder;
        ASSERT_TRUE(shareObject->AddShare(folder("\\tree\\a\\b\\c").c_str(), false));
        shareObject->SaveShares(nullptr);
        ASSERT_TRUE(shareObject->RemoveShare(folder("\\tree\\a\\b\\c").c_str()));  // the page reads the file
        AddSharesPage();
        page = select(sharesPage);
        ASSERT_NE(page, nullptr);
        tree = GetDlgItem(page, IDC_SS_FOLDER_TREE);
    }
    void TearDown() override {
        pageFixture::TearDown();  // the services cleared: pages still open reach no engine
        static_cast<IcoreObject*>(directory)->releaseCore();  // the engine with it
    }

    // A folder of the test as the share list writes it.
    std::string folder(const std::string& below) const {
        std::string normal;
        CShareManager::Normalise((work.path() + below).c_str(), normal);
        return normal;
    }
    // The item of the folder among the items shown (expanded ones' children
    // included); null when not shown.
    HTREEITEM itemOf(const std::string& path) {
        HTREEITEM found = nullptr;
        ui.gui().run([&] {
            std::function<void(HTREEITEM)> walk = [&](HTREEITEM item) {
                for (; item && !found; item = TreeView_GetNextSibling(tree, item)) {
                    if (shellFolderTree::PathOfItem(tree, item) == path)
                        found = item;
                    else
                        walk(TreeView_GetChild(tree, item));
                }
            };
            walk(TreeView_GetRoot(tree));
        });
        return found;
    }
    int stateOf(HTREEITEM item) {
        return static_cast<int>(TreeView_GetItemState(tree, item, TVIS_STATEIMAGEMASK) >> 12);
    }
    bool expanded(HTREEITEM item) { return (TreeView_GetItemState(tree, item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0; }
    TVITEMA itemInfo(HTREEITEM item) {
        static char text[MAX_PATH];
        TVITEMA tv = {};
        tv.mask = TVIF_IMAGE | TVIF_TEXT | TVIF_HANDLE;
        tv.hItem = item;
        tv.pszText = text;
        tv.cchTextMax = MAX_PATH;
        TreeView_GetItem(tree, &tv);
        return tv;
    }
    bool enabled(int id) { return IsWindowEnabled(GetDlgItem(page, id)) != 0; }

    // A mouse click as the user makes it, at the item's state image (or
    // label), the cursor there too: the page reads the cursor.
    void clickItem(HTREEITEM item, bool stateImage, bool right = false) {
        TreeView_EnsureVisible(tree, item);
        RECT label = {};
        ASSERT_TRUE(TreeView_GetItemRect(tree, item, &label, TRUE));
        POINT at = {label.left + 2, (label.top + label.bottom) / 2};
        if (stateImage) {
            bool found = false;
            for (int x = 0; x < label.left && !found; ++x) {
                TVHITTESTINFO hit = {};
                hit.pt = {x, at.y};
                if (TreeView_HitTest(tree, &hit) == item && (hit.flags & TVHT_ONITEMSTATEICON)) {
                    at.x = x + 2;
                    found = true;
                }
            }
            ASSERT_TRUE(found) << "the item has a state image";
        }
        POINT screen = at;
        ClientToScreen(tree, &screen);
        ASSERT_TRUE(SetCursorPos(screen.x, screen.y));
        LPARAM where = MAKELPARAM(at.x, at.y);
        PostMessageA(tree, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, where);
        PostMessageA(tree, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, where);
        settle();
    }
    // The GUI thread has handled what was posted to it.
    void settle() {
        HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        ui.gui().post([done] { SetEvent(done); });
        WaitForSingleObject(done, 10000);
        CloseHandle(done);
        ui.gui().run([] {});
    }
    std::string fileKey(const char* section, const char* key) {
        char text[600] = {};
        GetPrivateProfileStringA(section, key, "", text, sizeof text, (work.path() + "\\pelloran.ini").c_str());
        return text;
    }

    vesk::testing::tempDir work;
    capsule_core<vesk::core>* directory = new capsule_core<vesk::core>();
    capsule_core<windowsEngine>* engine = new capsule_core<windowsEngine>();
    HWND page = nullptr;
    HWND tree = nullptr;
};

TEST_F(SharesPageTest, ADeepShareShowsItsAncestorsExpandedAndHoldingAShare) {
    HTREEITEM shared = itemOf(folder("\\tree\\a\\b\\c"));
    ASSERT_NE(shared, nullptr) << "shown without the user opening anything";
    EXPECT_EQ(stateOf(shared), stateShared);
    EXPECT_EQ(itemInfo(shared).iImage, sharedIcon);
    EXPECT_STREQ(itemInfo(shared).pszText, "c");
    for (const char* above : {"\\tree\\a\\b", "\\tree\\a", "\\tree", ""}) {
        HTREEITEM item = itemOf(folder(above));
        ASSERT_NE(item, nullptr) << above;
        EXPECT_EQ(stateOf(item), stateHoldsShare) << above;
        EXPECT_TRUE(expanded(item)) << above;
        EXPECT_NE(itemInfo(item).iImage, sharedIcon) << above;
    }
    HTREEITEM other = itemOf(folder("\\tree\\x"));
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(stateOf(other), stateNotShared);
    EXPECT_EQ(textOf(page, IDC_SS_SHARE_COUNT), "1");
    EXPECT_EQ(shareObject->Count(), 1) << "the list was read from the file";
    keepShot("manager page shares");
}

TEST_F(SharesPageTest, StateClicksShareAndUnshareAtOnceAndOkWritesTheSections) {
    const std::string x = folder("\\tree\\x"), c = folder("\\tree\\a\\b\\c");
    clickItem(itemOf(x), true);
    EXPECT_EQ(stateOf(itemOf(x)), stateShared);
    EXPECT_TRUE(shareObject->IsShared(x.c_str())) << "at once";
    EXPECT_TRUE(enabled(IDC_SS_SHARE_RECURSIVE));
    EXPECT_EQ(fileKey("SHARE1", "PATH"), "") << "the file waits for OK";

    TreeView_SelectItem(tree, itemOf(x));
    EXPECT_TRUE(enabled(IDC_SS_SHARE_RECURSIVE));
    expectFreeSpaceShown(textOf(page, IDC_SS_DRIVE_FREE), x);
    EXPECT_EQ(textOf(page, IDC_SS_DRIVE_SIZE), DriveSizeText(x));
    EXPECT_NE(textOf(page, IDC_SS_DRIVE_SIZE), " ");
    click(page, IDC_SS_SHARE_RECURSIVE);
    EXPECT_TRUE(shareObject->IsRecursive(x.c_str()));

    press(1);
    EXPECT_EQ(fileKey("SHARE0", "PATH"), c);
    EXPECT_EQ(fileKey("SHARE0", "RECURSIVE"), "0");
    EXPECT_EQ(fileKey("SHARE1", "PATH"), x);
    EXPECT_EQ(fileKey("SHARE1", "RECURSIVE"), "1");
    EXPECT_EQ(textOf(page, IDC_SS_SHARE_COUNT), "2");

    // A shared folder clicked stops being shared.
    clickItem(itemOf(c), true);
    EXPECT_EQ(stateOf(itemOf(c)), stateNotShared);
    EXPECT_NE(itemInfo(itemOf(c)).iImage, sharedIcon);
    EXPECT_FALSE(shareObject->IsShared(c.c_str()));
    press(101);
    EXPECT_EQ(fileKey("SHARE0", "PATH"), x);
    EXPECT_EQ(fileKey("SHARE1", "PATH"), "");
    EXPECT_EQ(textOf(page, IDC_SS_SHARE_COUNT), "1");
}

TEST_F(SharesPageTest, AReloadBeforeOkAndCancelDropAnAddition) {
    const std::string x = folder("\\tree\\x");
    for (UINT reload : {UINT(share2::shareListChangedMessage), UINT(WM_COMMAND)}) {
        clickItem(itemOf(x), true);
        ASSERT_TRUE(shareObject->IsShared(x.c_str()));
        if (reload == WM_COMMAND)
            press(2);
        else
            SendMessageA(page, reload, 0, 0);  // the share engine read the file again
        EXPECT_FALSE(shareObject->IsShared(x.c_str())) << reload;
        ASSERT_NE(itemOf(x), nullptr) << reload;
        EXPECT_EQ(stateOf(itemOf(x)), stateNotShared) << reload << ": the tree was built again";
        EXPECT_EQ(stateOf(itemOf(folder("\\tree\\a\\b\\c"))), stateShared) << reload;
        press(1);  // another page's OK saves no cancelled folder
        EXPECT_EQ(fileKey("SHARE1", "PATH"), "") << reload;
    }
}

TEST_F(SharesPageTest, TheRecursionBoxFollowsTheSelectedFolder) {
    const std::string c = folder("\\tree\\a\\b\\c");
    struct row {
        const char* folder;
        bool enabled;
    };
    const row rows[] = {{"\\tree\\x", false}, {"\\tree\\a\\b\\c", true}, {"\\tree\\a", true}};
    for (const row& r : rows) {
        TreeView_SelectItem(tree, itemOf(folder(r.folder)));
        EXPECT_EQ(enabled(IDC_SS_SHARE_RECURSIVE), r.enabled) << r.folder;
        EXPECT_FALSE(checked(page, IDC_SS_SHARE_RECURSIVE)) << r.folder;
    }
    TreeView_SelectItem(tree, itemOf(c));
    click(page, IDC_SS_SHARE_RECURSIVE);
    EXPECT_TRUE(shareObject->IsRecursive(c.c_str()));
    TreeView_SelectItem(tree, itemOf(folder("\\tree\\x")));
    TreeView_SelectItem(tree, itemOf(c));
    EXPECT_TRUE(checked(page, IDC_SS_SHARE_RECURSIVE)) << "shown again when selected";
}

TEST_F(SharesPageTest, CollapsingRemovesTheChildrenAndExpandingFillsThemAgain) {
    // By the keyboard, as the user does (a program's expand tells nobody).
    HTREEITEM a = itemOf(folder("\\tree\\a"));
    ASSERT_NE(TreeView_GetChild(tree, a), nullptr);
    TreeView_SelectItem(tree, a);
    SendMessageA(tree, WM_KEYDOWN, VK_LEFT, 0);
    settle();
    EXPECT_EQ(TreeView_GetChild(tree, a), nullptr);
    EXPECT_EQ(itemOf(folder("\\tree\\a\\b\\c")), nullptr);
    SendMessageA(tree, WM_KEYDOWN, VK_RIGHT, 0);
    settle();
    ASSERT_NE(itemOf(folder("\\tree\\a\\b")), nullptr);
    EXPECT_EQ(stateOf(itemOf(folder("\\tree\\a\\b"))), stateHoldsShare);
}

TEST_F(SharesPageTest, ALabelEditRenamesTheFolderOnDisk) {
    HTREEITEM x = itemOf(folder("\\tree\\x"));
    HWND edit = TreeView_EditLabel(tree, x);
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "renamed");
    TreeView_EndEditLabelNow(tree, FALSE);
    settle();
    EXPECT_TRUE(vesk::testing::fileExists(work.path() + "\\tree\\renamed\\"));
    EXPECT_FALSE(vesk::testing::fileExists(work.path() + "\\tree\\x\\"));
    HTREEITEM renamed = itemOf(folder("\\tree\\renamed"));
    ASSERT_EQ(renamed, x) << "the item takes the folder's new identity";
    EXPECT_STREQ(itemInfo(renamed).pszText, "renamed");
    clickItem(renamed, true);
    EXPECT_TRUE(shareObject->IsShared(folder("\\tree\\renamed").c_str()));
}

// The engine sends its message to every window it holds: a page that is
// gone must not be among them, or a later window given the same handle
// would get the message.
TEST_F(SharesPageTest, ThePageHoldsItsPlaceWithTheShareEngineWhileItLives) {
    EXPECT_EQ(engine->windows(), std::vector<HWND>{page});
    ui.gui().run([&] { DestroyWindow(page); });
    EXPECT_FALSE(IsWindow(page));
    EXPECT_TRUE(engine->windows().empty());
}

int menuItems = -1;
int countMenu(HWND, HMENU menu, POINT) {
    menuItems = GetMenuItemCount(menu);
    return 0;  // nothing chosen: Wine's explorer would outlive the test
}

TEST_F(SharesPageTest, ARightClickShowsTheFoldersShellMenu) {
    menuItems = -1;
    PageShell().chooseFromMenu = &countMenu;
    clickItem(itemOf(folder("\\tree\\x")), false, true);
    EXPECT_GT(menuItems, 0);
}

}  // namespace

}  // namespace vesk::ss::test
