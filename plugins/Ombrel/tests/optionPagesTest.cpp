// The manager's folders, search and filters pages made from their templates
// and driven by message; what OK, Apply and Cancel leave in the manager.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "core/string.h"
#include "plugins/Ombrel/driveSpace.h"
#include "plugins/Ombrel/tests/pageFixture.h"

namespace vesk::ss::test {

namespace {

using vesk::testing::fileExists;
using vesk::testing::tempDir;
using vesk::testing::writeFile;

const char* const foldersPage = "Downloads";  // titles from the resource module
const char* const searchPage = "Protocols";
const char* const filtersPage = "Filters";

class ManagerPagesTest : public pageFixture {
protected:
    void SetUp() override {
        pageFixture::SetUp();
        AddManagerPages();
    }

    std::vector<std::string> listed(HWND page, int list) {
        std::vector<std::string> entries;
        LRESULT count = SendDlgItemMessageA(page, list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char text[300] = {};
            SendDlgItemMessageA(page, list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            entries.push_back(text);
        }
        return entries;
    }
    // Key -> friendly name, operator, field and operand of every filter.
    std::vector<std::string> filters() {
        std::vector<std::string> all;
        for (const auto& f : managerObject->Filters())
            all.push_back(f->key + "|" + f->friendlyName + "|" + f->operatorName + "|" + f->fieldName + "|" +
                          vesk::ss::test::textOf(f->Operand()));
        return all;
    }
    std::string folderOf(bool download) {
        char folder[260] = {};
        if (download)
            manager->GetDownloadDir(0, folder);
        else
            manager->GetTempDir(0, folder);
        return folder;
    }
};

TEST(SizeTextTest, CountsAreShownInTheLargestUnitAbove1024) {
    struct row {
        double bytes;
        const char* text;
    };
    const row rows[] = {
        {0, "0.00 Bytes"},
        {1024, "1024.00 Bytes"},
        {1025, "1.00 KB"},
        {1048576, "1024.00 KB"},
        {1048577, "1.00 MB"},
        {1536.0 * 1024 * 1024, "1.50 GB"},
        {2.0 * 1024 * 1024 * 1024 * 1024, "2048.00 GB"},
    };
    for (const row& r : rows)
        EXPECT_EQ(SizeText(r.bytes), r.text) << r.bytes;
}

TEST_F(ManagerPagesTest, FreeSpaceOfAMissingFolderIsOneBlank) {
    tempDir folder;
    EXPECT_EQ(FreeSpaceText(folder.path() + "\\missing"), " ");
    EXPECT_EQ(DriveSizeText(folder.path() + "\\missing"), " ");
    std::string free = FreeSpaceText(folder.path());
    EXPECT_NE(free, " ");
    EXPECT_NE(free.find_first_of("0123456789"), std::string::npos) << free;
}

TEST_F(ManagerPagesTest, ThreePagesAreAddedAtTheTopLevel) {
    struct row {
        const char* title;
        int icon;
        int dialog;
        DLGPROC procedure;
    };
    const row rows[] = {
        {foldersPage, 150, 124, &FoldersPageProc},
        {searchPage, 321, 121, &SearchPageProc},
        {filtersPage, 142, 113, &FiltersPageProc},
    };
    std::vector<vesk::testing::optionsPage> pages = ui.optionsDialog().pages();
    ASSERT_EQ(pages.size(), std::size(rows));
    for (std::size_t i = 0; i < pages.size(); ++i) {
        EXPECT_EQ(pages[i].title, rows[i].title);
        EXPECT_EQ(pages[i].parent, "");
        EXPECT_EQ(pages[i].image, ui.control()->AddIcon(ui.defaultModule(), rows[i].icon)) << rows[i].title;
        EXPECT_EQ(pages[i].dialog, rows[i].dialog);
        EXPECT_EQ(pages[i].module, ui.languageModule());
        EXPECT_EQ(pages[i].procedure, rows[i].procedure);
    }
}

TEST_F(ManagerPagesTest, TheSearchPageStoresOnOkAndApplyAndShowsTheManagerOnCancel) {
    managerObject->SetMaxSearchResults(200);
    managerObject->SetAutoConnectOnStart(true);
    managerObject->SetAutoConnectOnSearch(false);
    HWND page = select(searchPage);
    EXPECT_EQ(textOf(page, IDC_SS_MAX_RESULTS), "200");
    EXPECT_TRUE(checked(page, IDC_SS_AUTO_CONNECT_START));
    EXPECT_FALSE(checked(page, IDC_SS_AUTO_CONNECT_SEARCH));
    keepShot("manager page search");

    struct step {
        const char* typed;
        bool clickStart, clickSearch;
        WPARAM command;
        unsigned results;  // in the manager afterwards
        bool start, search;
        const char* shown;
    };
    const step steps[] = {
        {"350", true, true, 2, 200, true, false, "200"},   // cancelled
        {"350", true, true, 1, 350, false, true, "350"},   // OK
        {"4294967295", false, true, 101, 4294967295u, false, false, "4294967295"},  // applied
        {"12", true, false, 2, 4294967295u, false, false, "4294967295"},
    };
    for (const step& s : steps) {
        type(page, IDC_SS_MAX_RESULTS, s.typed);
        if (s.clickStart)
            click(page, IDC_SS_AUTO_CONNECT_START);
        if (s.clickSearch)
            click(page, IDC_SS_AUTO_CONNECT_SEARCH);
        press(s.command);
        EXPECT_EQ(managerObject->GetMaxSearchResults(), s.results) << s.typed << " " << s.command;
        EXPECT_EQ(manager->GetAutoConnectOnStart(), s.start) << s.typed << " " << s.command;
        EXPECT_EQ(manager->GetAutoConnectOnSearch(), s.search) << s.typed << " " << s.command;
        EXPECT_EQ(textOf(page, IDC_SS_MAX_RESULTS), s.shown);
        EXPECT_EQ(checked(page, IDC_SS_AUTO_CONNECT_START), s.start);
    }
}

TEST_F(ManagerPagesTest, TheFiltersPageListsTwoOperatorsAndReplacesEveryFilterOnOk) {
    ref<Istring> three(new vesk::string("3"));
    ASSERT_TRUE(manager->AddFilterByName("live", "File Name", "TEXTORDER", value("live")));
    ASSERT_TRUE(manager->AddFilterByName("mp3", "File Name", "IN", value("mp3")));
    ASSERT_TRUE(manager->AddFilterByName("big", "Size", ">", value(three.get())));
    HWND page = select(filtersPage);
    EXPECT_EQ(listed(page, IDC_SS_IN_ORDER_LIST), std::vector<std::string>{"live"});
    EXPECT_EQ(listed(page, IDC_SS_CONTAINS_LIST), std::vector<std::string>{"mp3"}) << "no other operator";

    struct word {
        int edit, add;
        const char* typed;
    };
    const word words[] = {
        {IDC_SS_CONTAINS_WORD, IDC_SS_ADD_CONTAINS, "demo"},
        {IDC_SS_CONTAINS_WORD, IDC_SS_ADD_CONTAINS, ""},  // hides nothing: not added
        {IDC_SS_CONTAINS_WORD, IDC_SS_ADD_CONTAINS, "mp3"},  // twice: one filter
        {IDC_SS_IN_ORDER_WORD, IDC_SS_ADD_IN_ORDER, "a b"},
    };
    for (const word& w : words) {
        type(page, w.edit, w.typed);
        click(page, w.add);
    }
    EXPECT_EQ(listed(page, IDC_SS_CONTAINS_LIST).size(), 3u);
    SendDlgItemMessageA(page, IDC_SS_IN_ORDER_LIST, LB_SELECTSTRING, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>("live"));
    click(page, IDC_SS_REMOVE_IN_ORDER);
    EXPECT_EQ(listed(page, IDC_SS_IN_ORDER_LIST), std::vector<std::string>{"a b"});
    keepShot("manager page filters");
    EXPECT_EQ(filters().size(), 3u) << "nothing changes before OK";

    press(1);
    EXPECT_EQ(filters(), (std::vector<std::string>{"a b9|a b|TEXTORDER|File Name|a b", "demo8|demo|IN|File Name|demo",
                                                   "mp38|mp3|IN|File Name|mp3"}));

    // Cancel shows the manager's filters again.
    type(page, IDC_SS_CONTAINS_WORD, "extra");
    click(page, IDC_SS_ADD_CONTAINS);
    press(2);
    std::vector<std::string> contains = listed(page, IDC_SS_CONTAINS_LIST);
    EXPECT_EQ(std::set<std::string>(contains.begin(), contains.end()), (std::set<std::string>{"demo", "mp3"}));
}

TEST_F(ManagerPagesTest, AWordIsCutTo254Characters) {
    HWND page = select(filtersPage);
    std::string longWord(300, 'w');
    SendDlgItemMessageA(page, IDC_SS_CONTAINS_WORD, EM_LIMITTEXT, 0, 0);
    type(page, IDC_SS_CONTAINS_WORD, longWord);
    click(page, IDC_SS_ADD_CONTAINS);
    ASSERT_EQ(listed(page, IDC_SS_CONTAINS_LIST).size(), 1u);
    EXPECT_EQ(listed(page, IDC_SS_CONTAINS_LIST)[0], std::string(254, 'w'));
    press(101);
    ASSERT_EQ(filters().size(), 1u);
    EXPECT_EQ(managerObject->Filters()[0]->key, std::string(254, 'w') + "8");
}

TEST_F(ManagerPagesTest, TheFoldersPageShowsStoresAndRestoresBothFolders) {
    tempDir download, temp, other;
    ASSERT_TRUE(manager->SetDownloadDir(download.path().c_str()));
    ASSERT_TRUE(manager->SetTempDir((temp.path() + "\\missing").c_str()));
    HWND page = select(foldersPage);
    EXPECT_EQ(textOf(page, IDC_SS_DOWNLOAD_DIR), download.path());
    expectFreeSpaceShown(textOf(page, IDC_SS_DOWNLOAD_FREE), download.path());
    EXPECT_NE(textOf(page, IDC_SS_DOWNLOAD_FREE), " ");
    EXPECT_EQ(textOf(page, IDC_SS_TEMP_DIR), temp.path() + "\\missing");
    EXPECT_EQ(textOf(page, IDC_SS_TEMP_FREE), " ") << "a folder that does not exist";
    EXPECT_EQ(recorded("IUIControl::AutoComplete"),
              (std::vector<std::string>{"IUIControl::AutoComplete|1", "IUIControl::AutoComplete|1"}));
    keepShot("manager page folders");

    type(page, IDC_SS_DOWNLOAD_DIR, other.path());
    type(page, IDC_SS_TEMP_DIR, temp.path());
    press(2);
    EXPECT_EQ(textOf(page, IDC_SS_DOWNLOAD_DIR), download.path()) << "Cancel shows the manager's folders";
    EXPECT_EQ(textOf(page, IDC_SS_TEMP_DIR), temp.path() + "\\missing");
    EXPECT_EQ(folderOf(true), download.path());

    type(page, IDC_SS_DOWNLOAD_DIR, other.path());
    type(page, IDC_SS_TEMP_DIR, temp.path());
    press(1);
    EXPECT_EQ(folderOf(true), other.path());
    EXPECT_EQ(folderOf(false), temp.path());
}

std::string browserStart;
std::string browserAnswer;
std::string recordBrowser(HWND, const std::string& start) {
    browserStart = start;
    return browserAnswer;
}

TEST_F(ManagerPagesTest, BrowsingPutsTheChosenFolderIntoItsBox) {
    tempDir download, chosen;
    manager->SetDownloadDir(download.path().c_str());
    manager->SetTempDir("");
    PageShell().browseForFolder = &recordBrowser;
    HWND page = select(foldersPage);
    struct row {
        int browse, combo, space;
        const char* started;
    };
    const row rows[] = {{IDC_SS_BROWSE_DOWNLOAD, IDC_SS_DOWNLOAD_DIR, IDC_SS_DOWNLOAD_FREE, ""},
                        {IDC_SS_BROWSE_TEMP, IDC_SS_TEMP_DIR, IDC_SS_TEMP_FREE, ""}};
    for (const row& r : rows) {
        browserAnswer = "";  // the user cancels
        type(page, r.combo, "typed");
        click(page, r.browse);
        EXPECT_EQ(textOf(page, r.combo), "typed");
        browserAnswer = chosen.path();
        click(page, r.browse);
        EXPECT_EQ(textOf(page, r.combo), chosen.path());
        expectFreeSpaceShown(textOf(page, r.space), chosen.path());
        EXPECT_EQ(SendDlgItemMessageA(page, r.combo, CB_GETCOUNT, 0, 0), 1);
    }
    click(page, IDC_SS_BROWSE_DOWNLOAD);
    EXPECT_EQ(browserStart, download.path()) << "the browser starts at the manager's folder";
    EXPECT_EQ(folderOf(true), download.path()) << "stored only on OK";
}

std::vector<std::string> toldUser;
void recordTold(HWND, const char* text) { toldUser.push_back(text ? text : ""); }

TEST_F(ManagerPagesTest, EmptyingTheTemporaryFolderDeletesItsFilesAsStoredAndRefusesWhatItMustNot) {
    tempDir root;
    std::string temp = root.path() + "\\temp";
    ASSERT_TRUE(CreateDirectoryA(temp.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((temp + "\\sub").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((root.path() + "\\keep").c_str(), nullptr));
    const std::string files[] = {temp + "\\a.part", temp + "\\sub\\b.part"};
    const std::string kept = root.path() + "\\keep\\c.mp3";
    auto fill = [&] {
        for (const std::string& f : files)
            ASSERT_TRUE(writeFile(f, "partial"));
        ASSERT_TRUE(writeFile(kept, "mine"));
    };
    fill();
    toldUser.clear();
    PageShell().tellUser = &recordTold;
    manager->SetDownloadDir((root.path() + "\\keep").c_str());
    manager->SetTempDir(temp.c_str());
    HWND page = select(foldersPage);

    type(page, IDC_SS_TEMP_DIR, root.path() + "\\keep");  // typed, not stored
    click(page, IDC_SS_EMPTY_TEMP);
    for (const std::string& f : files)
        EXPECT_FALSE(fileExists(f)) << f;
    EXPECT_TRUE(fileExists(kept)) << "the stored folder is emptied, not the typed one";
    EXPECT_TRUE(fileExists(temp + "\\sub\\")) << "folders stay";
    EXPECT_TRUE(toldUser.empty());

    struct refusal {
        const char* why;
        std::string temp;
        std::string download;
        std::string share;
    };
    const refusal refusals[] = {
        {"not set", "", root.path() + "\\keep", ""},
        {"a drive's root", "C:\\", root.path() + "\\keep", ""},
        {"holds the download folder", root.path(), temp + "\\sub", ""},
        {"holds a share", root.path(), "", root.path() + "\\keep"},
    };
    for (const refusal& r : refusals) {
        fill();
        shareObject->LoadShareFile((root.path() + "\\none.ini").c_str());  // no shares
        if (!r.share.empty())
            shareObject->AddShare(r.share.c_str(), false);
        manager->SetTempDir(r.temp.c_str());
        manager->SetDownloadDir(r.download.c_str());
        toldUser.clear();
        click(page, IDC_SS_EMPTY_TEMP);
        EXPECT_EQ(toldUser.size(), 1u) << r.why;
        for (const std::string& f : files)
            EXPECT_TRUE(fileExists(f)) << r.why << ": " << f;
        EXPECT_TRUE(fileExists(kept)) << r.why;
    }
}

}  // namespace

}  // namespace vesk::ss::test
