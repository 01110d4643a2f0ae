// The options dialog: the page tree and its queue, page windows made on
// first selection, the three commands every page gets, and pages added
// from other threads while the GUI thread lays out.
#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/tests/optionsTestSupport.h"

namespace vesk::ui::test {
namespace {

struct pageStep {
    bool beforeCreate;
    const char* title;
    const char* parent;
    bool inserted;  // a tree item comes back
};

struct treeCase {
    const char* name;
    std::vector<pageStep> steps;
    std::vector<std::string> outline;
    std::size_t waiting;
    std::vector<std::string> expanded;
};

// One case to a few lines.
// clang-format off
const treeCase treeCases[] = {
    {"pages added before the dialog are inserted by title",
     {{true, "Zeta", nullptr, false}, {true, "Alpha", nullptr, false}, {true, "Mid", nullptr, false}},
     {"Alpha", "Mid", "Zeta"}, 0, {}},
    {"a child added before its parent goes under it and opens it",
     {{false, "Child", "Parent", false}, {false, "Parent", nullptr, true}},
     {"Parent", "Parent/Child"}, 0, {"Parent"}},
    {"a child queued before the dialog waits for its parent too",
     {{true, "Child", "Parent", false}, {false, "Other", nullptr, true}, {false, "Parent", nullptr, true}},
     {"Other", "Parent", "Parent/Child"}, 0, {"Parent"}},
    {"the same root title twice gives one item",
     {{false, "Network", nullptr, true}, {false, "Network", nullptr, false}}, {"Network"}, 0, {}},
    {"the same root title queued twice still gives one item",
     {{true, "Network", nullptr, false}, {true, "Network", nullptr, false}}, {"Network"}, 0, {}},
    {"the same child twice under the same parent is refused",
     {{false, "P", nullptr, true}, {false, "C", "P", true}, {false, "C", "P", false}},
     {"P", "P/C"}, 0, {"P"}},
    {"a child title under a second parent is a second item, and the newer one parents later pages",
     {{false, "P1", nullptr, true},
      {false, "P2", nullptr, true},
      {false, "C", "P1", true},
      {false, "C", "P2", true},
      {false, "X", "C", true}},
     {"P1", "P1/C", "P2", "P2/C", "P2/C/X"}, 0, {"P1", "P2", "P2/C"}},
    {"a request equal to a waiting one is dropped",
     {{true, "C", "P", false}, {true, "C", "P", false}, {true, "D", "P", false}}, {}, 2, {}},
    {"a child whose parent never comes stays waiting and unseen",
     {{true, "Orphan", "Nobody", false}, {false, "Root", nullptr, true}, {false, "Orphan2", "Nobody", false}},
     {"Root"}, 2, {}},
    {"an empty or missing title is refused at once",
     {{true, "", nullptr, false}, {true, nullptr, nullptr, false},
      {false, "", "P", false}, {false, nullptr, "P", false}},
     {}, 0, {}},
};
// clang-format on

class optionsTree : public optionsTest, public ::testing::WithParamInterface<treeCase> {};

TEST_P(optionsTree, TreeHoldsThePagesAsAdded) {
    const treeCase& c = GetParam();
    for (const pageStep& step : c.steps) {
        if (!step.beforeCreate)
            continue;
        EXPECT_EQ(options->AddPage(step.title, step.parent, 0, 0, nullptr, nullptr), nullptr)
            << (step.title ? step.title : "(null)");
    }
    ASSERT_EQ(options->Create(), 1);
    for (const pageStep& step : c.steps) {
        if (step.beforeCreate)
            continue;
        EXPECT_EQ(options->AddPage(step.title, step.parent, 0, 0, nullptr, nullptr) != nullptr, step.inserted)
            << (step.title ? step.title : "(null)");
    }
    EXPECT_EQ(Outline(), c.outline);
    EXPECT_EQ(options->WaitingCount(), c.waiting);
    for (const std::string& path : c.expanded) {
        HTREEITEM item = ItemAt(path);
        ASSERT_NE(item, nullptr) << path;
        UINT state = static_cast<UINT>(
            ::SendMessageA(options->Tree(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED));
        EXPECT_TRUE(state & TVIS_EXPANDED) << path;
    }
}

INSTANTIATE_TEST_SUITE_P(cases, optionsTree, ::testing::ValuesIn(treeCases), NamedCase());

TEST_F(optionsTest, TitlesAreCopiedSoCallersMayReuseTheirBuffers) {
    char title[64];
    char parent[64];
    std::strcpy(parent, "Gnutella");
    std::strcpy(title, "Network");
    options->AddPage(title, parent, 0, 0, nullptr, nullptr);
    std::strcpy(title, "Transfers");
    options->AddPage(title, parent, 0, 0, nullptr, nullptr);
    std::strcpy(title, "Gnutella");
    options->AddPage(title, nullptr, 0, 0, nullptr, nullptr);
    std::strcpy(parent, "scribbled");
    std::strcpy(title, "scribbled");
    ASSERT_EQ(options->Create(), 1);
    std::strcpy(title, "Shares");
    ASSERT_NE(options->AddPage(title, nullptr, 0, 0, nullptr, nullptr), nullptr);
    std::strcpy(title, "scribbled again");
    EXPECT_EQ(Outline(),
              (std::vector<std::string>{"Gnutella", "Gnutella/Network", "Gnutella/Transfers", "Shares"}));
}

TEST_F(optionsTest, LongTitlesAreCutToTheTitleField) {
    std::string longTitle(200, 'T');
    std::string longParent(200, 'P');
    ASSERT_EQ(options->Create(), 1);
    ASSERT_NE(options->AddPage(longParent.c_str(), nullptr, 0, 0, nullptr, nullptr), nullptr);
    ASSERT_NE(options->AddPage(longTitle.c_str(), longParent.c_str(), 0, 0, nullptr, nullptr), nullptr);
    std::string cutParent(VOptions::titleSize - 1, 'P');
    std::string cutTitle(VOptions::titleSize - 1, 'T');
    EXPECT_EQ(Outline(), (std::vector<std::string>{cutParent, cutParent + "/" + cutTitle}));
}

TEST_F(optionsTest, TheDialogTakesItsLookAndTheGeneralTitle) {
    ASSERT_EQ(options->Create(), 1);
    HWND dialog = options->Dialog();
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), frame->window());
    EXPECT_EQ(frame->frame().GetDialogHandle(), dialog);
    EXPECT_EQ(::GetWindowLongA(dialog, GWL_STYLE) & DS_SYSMODAL, 0);
    EXPECT_NE(::SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_EQ(::SendMessageA(options->Tree(), TVM_GETBKCOLOR, 0, 0), 0xFFFFFF);
    EXPECT_EQ(::SendMessageA(options->Tree(), TVM_GETLINECOLOR, 0, 0), 0x646464);
    EXPECT_EQ(::SendMessageA(options->Tree(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0),
              reinterpret_cast<LRESULT>(control->GetSmallImageList()));
    char general[64] = "";
    ::LoadStringA(resources, IDS_UIO_GENERAL, general, sizeof general);
    EXPECT_STREQ(options->GeneralTitle(), general);
    EXPECT_GT(std::strlen(general), 0u);
    EXPECT_EQ(options->Create(), 1) << "a second Create keeps the one dialog";
    EXPECT_EQ(options->Dialog(), dialog);
}

TEST_F(optionsTest, ShowMakesTheDialogAndHideHidesIt) {
    EXPECT_EQ(options->Hide(), 0);
    options->Show();
    ASSERT_NE(options->Dialog(), nullptr);
    EXPECT_TRUE(::IsWindowVisible(options->Dialog()));
    options->Hide();
    EXPECT_FALSE(::IsWindowVisible(options->Dialog()));
}

TEST_F(optionsTest, TheDialogOpensCentredOverTheMainWindowAndOnTheScreen) {
    HWND main = frame->window();
    RECT place;
    ::GetWindowRect(main, &place);
    for (POINT at : {POINT{300, 200}, POINT{60, 380}}) {
        ::SetWindowPos(main, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        options->Show();
        std::string why;
        EXPECT_TRUE(CentredOver(options->Dialog(), main, why)) << why;
        options->Hide();
    }
    // Over a main window mostly past the screen's corner it stays on the
    // screen.
    ::SetWindowPos(main, nullptr, ::GetSystemMetrics(SM_CXSCREEN) - 80, ::GetSystemMetrics(SM_CYSCREEN) - 60, 0,
                   0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    options->Show();
    EXPECT_TRUE(OnTheScreen(options->Dialog()));
    options->Hide();
    ::SetWindowPos(main, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TEST_F(optionsTest, APageIsMadeOnItsFirstSelectionAndPlacedBelowTheTitle) {
    ASSERT_EQ(options->Create(), 1);
    HTREEITEM first = options->AddPage("First", nullptr, 0, IDD_UIO_GENERAL, nullptr, &RecordingPageProc);
    HTREEITEM second = options->AddPage("Second", nullptr, 0, IDD_UIO_GENERAL, resources, &RecordingPageProc);
    HTREEITEM bare = options->AddPage("Bare", nullptr, 0, 0, nullptr, nullptr);
    ASSERT_TRUE(first && second && bare);
    options->Show();
    EXPECT_EQ(options->CurrentPage(), nullptr);

    ASSERT_TRUE(options->Select(first));
    HWND firstPage = options->CurrentPage();
    ASSERT_NE(firstPage, nullptr);
    EXPECT_TRUE(::IsWindowVisible(firstPage));
    EXPECT_EQ(::GetParent(firstPage), options->Dialog());
    RECT area = rectIn(::GetDlgItem(options->Dialog(), IDC_UIO_PAGE_AREA), options->Dialog());
    RECT placed = rectIn(firstPage, options->Dialog());
    EXPECT_EQ(placed.left, area.left + 5);
    EXPECT_EQ(placed.top, area.top + 15);
    EXPECT_EQ(placed.right - placed.left, area.right - area.left);
    EXPECT_EQ(placed.bottom - placed.top, area.bottom - area.top - 20);
    char title[64] = "";
    ::GetDlgItemTextA(options->Dialog(), IDC_UIO_PAGE_AREA, title, sizeof title);
    EXPECT_STREQ(title, "First");

    ASSERT_TRUE(options->Select(bare));
    EXPECT_EQ(options->CurrentPage(), nullptr);
    EXPECT_FALSE(::IsWindowVisible(firstPage));
    ::GetDlgItemTextA(options->Dialog(), IDC_UIO_PAGE_AREA, title, sizeof title);
    EXPECT_STREQ(title, "Bare");

    ASSERT_TRUE(options->Select(first));
    EXPECT_EQ(options->CurrentPage(), firstPage) << "a page is made once";
    EXPECT_TRUE(::IsWindowVisible(firstPage));
}

INT_PTR CALLBACK QuietPageProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

BOOL CALLBACK CollectControl(HWND control, LPARAM out) {
    reinterpret_cast<std::vector<HWND>*>(out)->push_back(control);
    return TRUE;
}

struct pageTemplate {
    const char* name;
    int dialogId;
};

const pageTemplate pageTemplates[] = {
    {"general", IDD_UIO_GENERAL},         {"downloads", IDD_SS_FOLDERS},   {"shared folders", IDD_SS_SHARES},
    {"filters", IDD_SS_FILTERS},          {"search", IDD_SS_SEARCH},       {"connect", IDD_GNU_CONNECTIONS},
    {"network", IDD_GNU_NETWORK},         {"query", IDD_GNU_SEARCH},       {"transfers", IDD_GNU_TRANSFERS},
};

void PrintTo(const pageTemplate& page, std::ostream* out) { *out << page.name; }

class optionsPageFit : public optionsTest, public ::testing::WithParamInterface<pageTemplate> {};

// The modules' pages show whole: no control runs past the dialog's edge
// or under its buttons.
TEST_P(optionsPageFit, EveryControlOfThePageShowsWhole) {
    ASSERT_EQ(options->Create(), 1);
    HTREEITEM item = options->AddPage("Page", nullptr, 0, GetParam().dialogId, resources, &QuietPageProc);
    ASSERT_NE(item, nullptr);
    options->Show();
    ASSERT_TRUE(options->Select(item));
    HWND page = options->CurrentPage();
    ASSERT_NE(page, nullptr);
    HWND dialog = options->Dialog();
    RECT client = {};
    ASSERT_TRUE(::GetClientRect(dialog, &client));
    RECT buttons = rectIn(::GetDlgItem(dialog, IDOK), dialog);
    std::vector<HWND> controls;
    ::EnumChildWindows(page, &CollectControl, reinterpret_cast<LPARAM>(&controls));
    ASSERT_FALSE(controls.empty());
    for (HWND pageControl : controls) {
        RECT place = rectIn(pageControl, dialog);
        char text[64] = "";
        ::GetWindowTextA(pageControl, text, sizeof text);
        EXPECT_LE(place.right, client.right) << text;
        EXPECT_LE(place.bottom, buttons.top) << text;
    }
}

INSTANTIATE_TEST_SUITE_P(pages, optionsPageFit, ::testing::ValuesIn(pageTemplates), NamedCase());

struct commandCase {
    WPARAM command;
    bool hides;
};

class optionsCommands : public optionsTest, public ::testing::WithParamInterface<commandCase> {};

TEST_P(optionsCommands, EveryMadePageGetsTheCommandInTheOrderAdded) {
    ASSERT_EQ(options->Create(), 1);
    // Added in this order, shown sorted: the order of the commands is the
    // order added.
    HTREEITEM zulu = options->AddPage("Zulu", nullptr, 0, IDD_UIO_GENERAL, nullptr, &RecordingPageProc);
    HTREEITEM never =
        options->AddPage("Never shown", nullptr, 0, IDD_UIO_GENERAL, nullptr, &RecordingPageProc);
    HTREEITEM alpha = options->AddPage("Alpha", nullptr, 0, IDD_UIO_GENERAL, nullptr, &RecordingPageProc);
    ASSERT_TRUE(zulu && never && alpha);
    options->Show();
    options->Select(alpha);
    HWND alphaPage = options->CurrentPage();
    options->Select(zulu);
    HWND zuluPage = options->CurrentPage();
    ASSERT_TRUE(alphaPage && zuluPage);
    RecordedPageCommands().clear();

    ::SendMessageA(options->Dialog(), WM_COMMAND, GetParam().command, 0);
    using sent = std::pair<HWND, WPARAM>;
    EXPECT_EQ(RecordedPageCommands(),
              (std::vector<sent>{{zuluPage, GetParam().command}, {alphaPage, GetParam().command}}));
    EXPECT_EQ(::IsWindowVisible(options->Dialog()) != 0, !GetParam().hides);
}

INSTANTIATE_TEST_SUITE_P(okApplyCancel, optionsCommands,
                         ::testing::Values(commandCase{IDOK, true}, commandCase{IDC_UIO_APPLY, false},
                                           commandCase{IDCANCEL, true}));

TEST_F(optionsTest, ShowingTheDialogTellsTheCurrentPage) {
    ASSERT_EQ(options->Create(), 1);
    HTREEITEM first = options->AddPage("First", nullptr, 0, IDD_UIO_GENERAL, nullptr, &RecordingPageProc);
    HTREEITEM second = options->AddPage("Second", nullptr, 0, IDD_UIO_GENERAL, nullptr, &RecordingPageProc);
    options->Show();
    options->Select(first);
    options->Select(second);
    HWND current = options->CurrentPage();
    options->Hide();
    RecordedBareShowNotices().clear();
    options->Show();
    EXPECT_EQ(RecordedBareShowNotices(), std::vector<HWND>{current});
}

TEST_F(optionsTest, PageTitlesCannotBeEditedInTheTree) {
    ASSERT_EQ(options->Create(), 1);
    HTREEITEM page = options->AddPage("Page", nullptr, 0, 0, nullptr, nullptr);
    NMTVDISPINFOA edit = {};
    edit.hdr.hwndFrom = options->Tree();
    edit.hdr.idFrom = IDC_UIO_PAGE_TREE;
    edit.hdr.code = TVN_ENDLABELEDITA;
    edit.item.hItem = page;
    EXPECT_EQ(
        ::SendMessageA(options->Dialog(), WM_NOTIFY, IDC_UIO_PAGE_TREE, reinterpret_cast<LPARAM>(&edit)), 1);
}

TEST_F(optionsTest, OtherCommandsReachNoPage) {
    ASSERT_EQ(options->Create(), 1);
    HTREEITEM page = options->AddPage("Page", nullptr, 0, IDD_UIO_GENERAL, nullptr, &RecordingPageProc);
    options->Show();
    options->Select(page);
    RecordedPageCommands().clear();
    ::SendMessageA(options->Dialog(), WM_COMMAND, MAKEWPARAM(IDOK, BN_SETFOCUS), 0);
    ::SendMessageA(options->Dialog(), WM_COMMAND, 102, 0);
    EXPECT_TRUE(RecordedPageCommands().empty());
    EXPECT_TRUE(::IsWindowVisible(options->Dialog()));
}

TEST_F(optionsTest, PagesFromSeveralThreadsDuringTheLayoutAllArriveWithoutHanging) {
    constexpr int threads = 4;
    constexpr int pagesEach = 40;
    std::atomic<int> started{0};
    std::atomic<int> finished{0};
    std::atomic<bool> dialogMade{false};
    // A deadlock would stop this thread too, before it could see it.
    HANDLE allDone = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(allDone, nullptr);
    std::thread watchdog([allDone] {
        if (::WaitForSingleObject(allDone, 30000) == WAIT_TIMEOUT) {
            std::fprintf(stderr, "adding pages from other threads hung\n");
            ::ExitProcess(3);
        }
    });
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&, t] {
            ++started;
            while (started < threads)
                ::Sleep(0);
            // One buffer per thread, reused for every page it adds.
            char title[64];
            char parent[64];
            std::snprintf(parent, sizeof parent, "Module %d", t);
            for (int i = 0; i < pagesEach; ++i) {
                // The first half is queued before the dialog exists; the
                // second half comes while the GUI thread adds its own page.
                if (i == pagesEach / 2) {
                    while (!dialogMade)
                        ::Sleep(0);
                    options->AddPage(parent, nullptr, 0, 0, nullptr, nullptr);
                }
                std::snprintf(title, sizeof title, "Page %d.%02d", t, i);
                options->AddPage(title, parent, 0, 0, nullptr, nullptr);
                if (i < pagesEach / 2)
                    ::Sleep(i % 3);
            }
            ++finished;
        });
    }
    while (started < threads)
        ::Sleep(0);
    // No early return from here: the threads must be joined.
    EXPECT_EQ(options->Create(), 1);
    dialogMade = true;
    ::Sleep(1);
    EXPECT_NE(AddGeneralPage(*options), nullptr);
    pumpUntil([&] { return finished == threads; }, 60000);
    for (std::thread& worker : workers)
        worker.join();
    ::SetEvent(allDone);
    watchdog.join();
    ::CloseHandle(allDone);

    std::vector<std::string> expected;
    expected.push_back(options->GeneralTitle());
    for (int t = 0; t < threads; ++t) {
        char line[64];
        std::snprintf(line, sizeof line, "Module %d", t);
        expected.push_back(line);
        for (int i = 0; i < pagesEach; ++i) {
            std::snprintf(line, sizeof line, "Module %d/Page %d.%02d", t, t, i);
            expected.push_back(line);
        }
    }
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> outline = Outline();
    std::sort(outline.begin(), outline.end());
    EXPECT_EQ(outline, expected);
    EXPECT_EQ(options->WaitingCount(), 0u);
}

}  // namespace
}  // namespace vesk::ui::test
