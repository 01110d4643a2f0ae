// The row actions the lists offer: open and explore through the shell,
// file-type icons, and moving rows into and out of the playlist.
#include "core/capsule.h"
#include "plugins/ui/agentExplorerCtrl.h"
#include "plugins/ui/cellText.h"
#include "plugins/ui/dockTransferWnd.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/playlistActions.h"
#include "plugins/ui/tests/uiTestSupport.h"

namespace vesk::ui::test {
namespace {

struct shellCall {
    std::string verb, file;
};
std::vector<shellCall> shellCalls;
INT_PTR shellAnswer = 42;

HINSTANCE WINAPI RecordingShell(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, INT) {
    shellCalls.push_back({verb ? verb : "", file ? file : ""});
    return reinterpret_cast<HINSTANCE>(shellAnswer);
}

class rowActions : public listWindowTest {
protected:
    void SetUp() override {
        listWindowTest::SetUp();
        shellCalls.clear();
        shellAnswer = 42;
        ListServices().shellExecute = &RecordingShell;
        agent = newAgent();
    }
    void TearDown() override {
        frame.reset();
        agent->release();
        listWindowTest::TearDown();
    }
    ss::IAgent* agent = nullptr;
};

TEST_F(rowActions, OpenTakesTheFinishedFileAndExploreItsFolder) {
    setText(agent, "Temporary File", "C:\\done\\song.mp3");
    setText(agent, "Download", "C:\\part\\song.mp3");
    EXPECT_EQ(OpenAction(agent), 1);
    EXPECT_EQ(ExploreAction(agent), 1);
    ASSERT_EQ(shellCalls.size(), 2u);
    EXPECT_EQ(shellCalls[0].verb, "open");
    EXPECT_EQ(shellCalls[0].file, "C:\\done\\song.mp3");
    EXPECT_EQ(shellCalls[1].verb, "explore");
    EXPECT_EQ(shellCalls[1].file, "C:\\done");
}

TEST_F(rowActions, AFileTheShellCannotFindIsOpenedFromTheDownloadPath) {
    setText(agent, "Temporary File", "C:\\gone\\song.mp3");
    setText(agent, "Download", "C:\\part\\song.mp3");
    shellAnswer = ERROR_FILE_NOT_FOUND;
    OpenAction(agent);
    ASSERT_EQ(shellCalls.size(), 2u);
    EXPECT_EQ(shellCalls[1].file, "C:\\part\\song.mp3");
}

TEST_F(rowActions, TheTypeIsTheUpperCasedExtensionOfASensibleName) {
    struct {
        const char* name;
        const char* type;
    } cases[] = {
        {"song.mp3", "MP3"},
        {"archive.tar.Gz", "GZ"},
        {"readme", ""},
        {"x.aaaaaaaaaaaaaaaaaaaaaaaa", "AAAAAAAAAAAAAAAA"},
    };
    for (const auto& c : cases) {
        setText(agent, "File Name", c.name);
        GiveFileIcon(agent);
        EXPECT_EQ(AttributeText(agent, "Type"), c.type) << c.name;
        EXPECT_NE(agent->GetAttributeProperty("File Name", "II").code, 0u) << c.name;
    }
}

TEST_F(rowActions, ARowMovedIntoThePlaylistOffersToLeaveItAndBack) {
    declareField("File Name", "Playlist");
    auto* window = new capsule_core<VDockTransferWnd>();
    RECT place = {0, 0, 600, 300};
    ASSERT_EQ(window->Create("Transfers", &place), 1);
    ListServices().transferWnd = window;
    setText(agent, "File Name", "song.mp3");

    EXPECT_EQ(AddToPlaylistAction(agent), 1);
    EXPECT_EQ(window->Playlist().RowOf(agent), 0);
    EXPECT_TRUE(agent->HasAction("Remove from Playlist"));
    EXPECT_FALSE(agent->HasAction("Add to Playlist"));

    EXPECT_NE(RemoveFromPlaylistAction(agent), 0);
    EXPECT_EQ(window->Playlist().RowOf(agent), -1);
    EXPECT_TRUE(agent->HasAction("Add to Playlist"));
    EXPECT_FALSE(agent->HasAction("Remove from Playlist"));
    frame.reset();
    window->releaseCore();
}

}  // namespace
}  // namespace vesk::ui::test
