// The General page inside the options dialog: the four flags over OK,
// Apply and Cancel with the tray following ShowInTray, the language list,
// and the default settings written over the settings file.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/tests/optionsTestSupport.h"
#include "testing/testPaths.h"

namespace vesk::ui::test {
namespace {

class recordingTray : public objectBase, public ITrayCtrl {
public:
    int Add() override {
        ++adds;
        return 1;
    }
    int Remove() override {
        ++removes;
        return 1;
    }
    int SetIcon(HICON) override { return 1; }
    int SetTip(const char*) override { return 1; }
    int adds = 0;
    int removes = 0;
};

std::vector<bool>& SaveOnExitMarks() {
    static std::vector<bool> marks;
    return marks;
}

void RecordMark(bool saveOnExit) {
    SaveOnExitMarks().push_back(saveOnExit);
}

constexpr int flagBoxes[] = {IDC_UIO_MINIMIZE_TO_TRAY, IDC_UIO_MINIMIZE_ON_START, IDC_UIO_SHOW_IN_TRAY,
                             IDC_UIO_SAVE_ON_EXIT};

std::vector<int> FlagsOf(const windowFlags& f) {
    return {f.minimizeToTray, f.minimizeOnStart, f.showInTray, f.saveOnExit};
}

class generalPage : public optionsTest {
protected:
    void SetUp() override {
        optionsTest::SetUp();
        SaveOnExitMarks().clear();
        tray = new capsule<recordingTray>();
        tray->addRef();
        TestFlags() = windowFlags();
        generalPageServices& s = GeneralPageServices();
        s = generalPageServices();
        s.readFlags = &ReadTestFlags;
        s.writeFlags = &WriteTestFlags;
        s.tray = tray;
        s.markSaveOnExit = &RecordMark;
        s.moduleFolder = folder.path() + "\\";
        s.defaultsFile = folder.file("vesk.egg");
    }
    void TearDown() override {
        optionsTest::TearDown();
        GeneralPageServices() = generalPageServices();
        tray->release();
    }

    // The dialog shown with the General page selected; the page window.
    HWND ShowGeneralPage() {
        if (options->Create() != 1)
            return nullptr;
        options->Show();
        if (!AddGeneralPage(*options))
            return nullptr;
        return options->CurrentPage();
    }

    std::vector<int> Boxes(HWND page) {
        std::vector<int> checked;
        for (int id : flagBoxes)
            checked.push_back(::IsDlgButtonChecked(page, id) == BST_CHECKED ? 1 : 0);
        return checked;
    }

    vesk::testing::tempDir folder;
    windowFlags& flags = TestFlags();
    recordingTray* tray = nullptr;
};

struct flagsCase {
    const char* name;
    WPARAM command;
    std::vector<int> before;  // minimize to tray, minimize on start, show in tray, save on exit
    std::vector<int> boxes;   // as the user leaves them
    std::vector<int> after;
    int adds;
    int removes;
    std::vector<bool> marks;
};

const flagsCase flagsCases[] = {
    {"OK takes every box", IDOK, {0, 0, 1, 0}, {1, 1, 1, 1}, {1, 1, 1, 1}, 0, 0, {true}},
    {"Apply takes every box", IDC_UIO_APPLY, {1, 1, 1, 1}, {0, 0, 1, 0}, {0, 0, 1, 0}, 0, 0, {false}},
    {"tray off removes the icon", IDC_UIO_APPLY, {0, 0, 1, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, 0, 1, {false}},
    {"tray on adds the icon", IDOK, {0, 0, 0, 1}, {0, 0, 1, 1}, {0, 0, 1, 1}, 1, 0, {true}},
    {"Cancel puts the boxes back", IDCANCEL, {1, 0, 1, 0}, {0, 1, 0, 1}, {1, 0, 1, 0}, 0, 0, {}},
};

class generalPageFlags : public generalPage, public ::testing::WithParamInterface<flagsCase> {};

TEST_P(generalPageFlags, BoxesAndFlagsFollowTheCommand) {
    const flagsCase& c = GetParam();
    flags.minimizeToTray = c.before[0];
    flags.minimizeOnStart = c.before[1];
    flags.showInTray = c.before[2];
    flags.saveOnExit = c.before[3];
    HWND page = ShowGeneralPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Boxes(page), c.before);
    for (int i = 0; i < 4; ++i)
        ::CheckDlgButton(page, flagBoxes[i],
                         c.boxes[static_cast<std::size_t>(i)] ? BST_CHECKED : BST_UNCHECKED);

    ::SendMessageA(options->Dialog(), WM_COMMAND, c.command, 0);

    EXPECT_EQ(FlagsOf(flags), c.after);
    EXPECT_EQ(Boxes(page), c.after);
    EXPECT_EQ(tray->adds, c.adds);
    EXPECT_EQ(tray->removes, c.removes);
    EXPECT_EQ(SaveOnExitMarks(), c.marks);
}

INSTANTIATE_TEST_SUITE_P(cases, generalPageFlags, ::testing::ValuesIn(flagsCases), NamedCase());

std::string LanguageName(DWORD id) {
    char name[80] = "";
    ::VerLanguageNameA(id, name, sizeof name);
    return name;
}

std::vector<std::string> ComboTexts(HWND combo) {
    std::vector<std::string> texts;
    auto count = ::SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[100] = "";
        if (::SendMessageA(combo, CB_GETLBTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof text))
            ::SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        texts.push_back(text);
    }
    return texts;
}

class generalPageLanguages : public generalPage {
protected:
    void SetUp() override {
        generalPage::SetUp();
        ASSERT_TRUE(vesk::testing::copyFile(vesk::testing::stageDir() + "\\plugins\\rsrc.vkm",
                                            folder.file("rsrc.vkm")));
        ASSERT_TRUE(
            vesk::testing::copyFile(vesk::testing::fixturesDir() + "\\rsrc7.vkm", folder.file("rsrc7.vkm")));
        ::LoadStringA(resources, IDS_UIO_SYSTEM_LANGUAGE, systemDefault, sizeof systemDefault);
        english = LanguageName(0x409);
        german = LanguageName(0x407);
    }
    // The names in the map's order: by name.
    std::vector<std::string> Expected() {
        return english < german ? std::vector<std::string>{systemDefault, english, german}
                                : std::vector<std::string>{systemDefault, german, english};
    }
    int PositionOf(const std::string& name) {
        std::vector<std::string> all = Expected();
        return static_cast<int>(std::find(all.begin(), all.end(), name) - all.begin());
    }

    char systemDefault[80] = "";
    std::string english;
    std::string german;
};

TEST_F(generalPageLanguages, BothModulesAreListedAfterTheSystemDefault) {
    flags.languageId = 0x407;
    HWND page = ShowGeneralPage();
    ASSERT_NE(page, nullptr);
    HWND combo = ::GetDlgItem(page, IDC_UIO_LANGUAGE);
    EXPECT_GT(std::strlen(systemDefault), 0u);
    EXPECT_NE(english, german);
    EXPECT_EQ(ComboTexts(combo), Expected());
    EXPECT_EQ(::SendMessageA(combo, CB_GETCURSEL, 0, 0), PositionOf(german));
}

TEST_F(generalPageLanguages, AnUnknownLanguageSelectsTheSystemDefault) {
    flags.languageId = 0x40C;
    HWND page = ShowGeneralPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(::SendDlgItemMessageA(page, IDC_UIO_LANGUAGE, CB_GETCURSEL, 0, 0), 0);
}

TEST_F(generalPageLanguages, TheChoiceIsStoredByIdAndTheSystemDefaultAsZero) {
    flags.languageId = 0x409;
    HWND page = ShowGeneralPage();
    ASSERT_NE(page, nullptr);
    const std::pair<std::string, DWORD> choices[] = {{german, 0x407}, {systemDefault, 0}, {english, 0x409}};
    for (const auto& [name, id] : choices) {
        ::SendDlgItemMessageA(page, IDC_UIO_LANGUAGE, CB_SETCURSEL, PositionOf(name), 0);
        ::SendMessageA(options->Dialog(), WM_COMMAND, IDC_UIO_APPLY, 0);
        EXPECT_EQ(flags.languageId, id) << name;
    }
}

TEST_F(generalPage, DefaultSettingsReplaceALongerFileAndStopTheSaveOnExit) {
    ASSERT_TRUE(vesk::testing::writeFile(folder.file("vesk.egg"), std::string(20000, 'x')));
    flags.saveOnExit = 1;
    HWND page = ShowGeneralPage();
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(page, IDC_UIO_DEFAULT_SETTINGS)));

    ::SendMessageA(page, WM_COMMAND, IDC_UIO_DEFAULT_SETTINGS, 0);

    HRSRC found = ::FindResourceA(resources, MAKEINTRESOURCEA(IDR_DEFAULT_SETTINGS), "txt");
    ASSERT_NE(found, nullptr);
    const char* bytes = static_cast<const char*>(::LockResource(::LoadResource(resources, found)));
    std::string text(bytes, ::SizeofResource(resources, found));
    EXPECT_EQ(vesk::testing::readFile(folder.file("vesk.egg")), text);
    EXPECT_EQ(flags.saveOnExit, 0);
    EXPECT_TRUE(SaveOnExitMarks().empty()) << "the menu's mark waits for the page to be applied";
    EXPECT_EQ(::IsDlgButtonChecked(page, IDC_UIO_SAVE_ON_EXIT), BST_CHECKED);
}

TEST_F(generalPage, TheDialogShowsTheGeneralPageBesideTheTree) {
    HWND page = ShowGeneralPage();
    ASSERT_NE(page, nullptr);
    HWND dialog = options->Dialog();
    RECT client;
    ::GetClientRect(dialog, &client);
    RECT tree = rectIn(options->Tree(), dialog);
    RECT placed = rectIn(page, dialog);
    EXPECT_GE(placed.left, tree.right);
    EXPECT_LE(placed.right, client.right);
    EXPECT_LE(placed.bottom, rectIn(::GetDlgItem(dialog, IDOK), dialog).top);
    RECT box = rectIn(::GetDlgItem(page, IDC_UIO_SHOW_IN_TRAY), dialog);
    EXPECT_TRUE(box.left >= placed.left && box.right <= placed.right && box.bottom <= placed.bottom);
    keepShot(dialog, "options-general");
}

}  // namespace
}  // namespace vesk::ui::test
