// The debug window alone (it is not part of the main window's layout):
// panes named before and after the tab bar exists, appending with the
// printed text's bound, a full pane keeping its newer half, and calls from
// another thread.
#include <atomic>
#include <cstdio>
#include <thread>

#include "plugins/ui/listServices.h"
#include "plugins/ui/tests/optionsTestSupport.h"

namespace vesk::ui::test {
namespace {

std::string TextOf(HWND pane) {
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(pane)) + 1, '\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextA(pane, &text[0], static_cast<int>(text.size()))));
    return text;
}

class debugWindow : public listWindowTest {
protected:
    void SetUp() override {
        listWindowTest::SetUp();
        debug = CreateDockDebugWnd();
        ASSERT_NE(debug, nullptr);
    }
    void TearDown() override {
        if (debug)
            static_cast<IcoreObject*>(debug)->releaseCore();
        listWindowTest::TearDown();
    }
    void Make() {
        RECT place = {50, 50, 450, 300};
        ASSERT_EQ(debug->Create("Debug", &place), 1);
    }
    HWND Pane(int tab) { return debug->Bar() ? debug->Bar()->GetTabWindow(tab) : nullptr; }

    VDockDebugWnd* debug = nullptr;
};

TEST_F(debugWindow, NamesGivenBeforeCreateBecomeTabs) {
    EXPECT_EQ(debug->Forward("Gnutella"), -1);
    EXPECT_EQ(debug->CreateEdit("Gnutella"), 0);
    EXPECT_EQ(debug->CreateEdit("Manager"), 1);
    debug->Print(0, "lost: there is no pane yet");
    Make();
    EXPECT_EQ(debug->Forward("Gnutella"), 0);
    EXPECT_EQ(debug->Forward("Manager"), 1);
    EXPECT_EQ(debug->Forward("Other"), -1);
    EXPECT_EQ(debug->CreateEdit("Other"), 2);
    EXPECT_EQ(debug->CreateEdit("Gnutella"), 0) << "one pane per name";
    for (int tab = 0; tab < 3; ++tab) {
        HWND pane = Pane(tab);
        ASSERT_NE(pane, nullptr) << tab;
        char type[16] = "";
        ::GetClassNameA(pane, type, sizeof type);
        EXPECT_STREQ(type, "Edit");
        EXPECT_EQ(::GetDlgCtrlID(pane), VDockDebugWnd::paneId);
        EXPECT_TRUE(::GetWindowLongA(pane, GWL_STYLE) & ES_MULTILINE);
        EXPECT_EQ(TextOf(pane), "");
    }
    EXPECT_EQ(Pane(3), nullptr);
}

struct appendCase {
    const char* name;
    bool print;
    std::string text;
    bool null;
    std::string shown;
};

const appendCase appendCases[] = {
    {"write appends as is", false, "abc", false, "abc"},
    {"print ends the line", true, "abc", false, "abc\r\n"},
    {"print of nothing is a line end", true, "", true, "\r\n"},
    {"write of nothing changes nothing", false, "", true, ""},
    {"print keeps 4997 characters whole", true, std::string(4997, 'p'), false,
     std::string(4997, 'p') + "\r\n"},
    {"print cuts longer texts at 4997", true, std::string(6000, 'q'), false, std::string(4997, 'q') + "\r\n"},
};

class debugAppend : public debugWindow, public ::testing::WithParamInterface<appendCase> {};

TEST_P(debugAppend, TextGoesAtTheEndOfThePane) {
    const appendCase& c = GetParam();
    Make();
    ASSERT_EQ(debug->CreateEdit("Pane"), 0);
    debug->Write(0, "first ");
    const char* text = c.null ? nullptr : c.text.c_str();
    if (c.print)
        debug->Print(0, text);
    else
        debug->Write(0, text);
    EXPECT_EQ(TextOf(Pane(0)), "first " + c.shown);
}

INSTANTIATE_TEST_SUITE_P(cases, debugAppend, ::testing::ValuesIn(appendCases), NamedCase());

TEST_F(debugWindow, TabsWithoutAPaneActOnNoWindow) {
    Make();
    ASSERT_EQ(debug->CreateEdit("Pane"), 0);
    for (int tab : {-1, 1, 25}) {
        debug->Print(tab, "nowhere");
        debug->Write(tab, "nowhere");
    }
    EXPECT_EQ(TextOf(Pane(0)), "");
}

TEST_F(debugWindow, AFullPaneKeepsItsNewerHalf) {
    Make();
    ASSERT_EQ(debug->CreateEdit("Busy"), 0);
    ASSERT_EQ(debug->CreateEdit("Shown"), 1);  // the busy pane is not the one shown
    HWND pane = Pane(0);
    auto limit = static_cast<std::size_t>(::SendMessageA(pane, EM_GETLIMITTEXT, 0, 0));
    ASSERT_GT(limit, 1000u);
    ASSERT_LT(limit, 1u << 20);
    std::string everything;
    int lines = 0;
    while (everything.size() < limit * 2) {
        char line[32];
        std::snprintf(line, sizeof line, "line %06d", lines++);
        debug->Print(0, line);
        everything += std::string(line) + "\r\n";
    }
    std::string shown = TextOf(pane);
    EXPECT_LE(shown.size(), limit);
    EXPECT_GE(shown.size(), limit / 4);
    ASSERT_LE(shown.size(), everything.size());
    EXPECT_EQ(everything.compare(everything.size() - shown.size(), shown.size(), shown), 0)
        << "the pane holds the newest text, in order";
}

TEST_F(debugWindow, APaneThatTellsItIsFullDropsItsOlderHalf) {
    Make();
    ASSERT_EQ(debug->CreateEdit("Pane"), 0);
    HWND pane = Pane(0);
    ::SetWindowTextA(pane, "0123456789");
    HWND container = interfaceCast<IDockWnd>(debug->Bar())->GetContainerHandle();
    ::SendMessageA(container, WM_COMMAND, MAKEWPARAM(VDockDebugWnd::paneId, EN_MAXTEXT),
                   reinterpret_cast<LPARAM>(pane));
    EXPECT_EQ(TextOf(pane), "56789");
}

TEST_F(debugWindow, CallsFromAnotherThreadAreCarriedOutOnTheWindowsThread) {
    Make();
    std::atomic<bool> finished{false};
    int index = -2, found = -2;
    std::thread worker([&] {
        index = debug->CreateEdit("Worker");
        debug->Print(index, "from the worker");
        debug->Write(index, "more");
        found = debug->Forward("Worker");
        finished = true;
    });
    bool done = pumpUntil([&] { return finished.load(); }, 20000);
    if (!done) {
        ADD_FAILURE() << "the worker's calls hung";
        ::ExitProcess(3);
    }
    worker.join();
    EXPECT_EQ(index, 0);
    EXPECT_EQ(found, 0);
    HWND pane = Pane(0);
    ASSERT_NE(pane, nullptr);
    EXPECT_TRUE(OnWindowThread(pane));
    EXPECT_EQ(TextOf(pane), "from the worker\r\nmore");
}

}  // namespace
}  // namespace vesk::ui::test
