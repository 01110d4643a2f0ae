// The audio toolbar driven through a fake media player: playing playlist
// rows, wrapping, moving on when a track ends, the buttons, the video
// window, the event sink's answers and its end, the play action and the
// main window's volume commands; and the real control hosted.
#include <ole2.h>

#include <algorithm>
#include <memory>

#include "core/capsule.h"
#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/audioPlayerTB.h"
#include "plugins/ui/dockTransferWnd.h"
#include "plugins/ui/dropTarget.h"
#include "plugins/ui/layoutWindows.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/playlistActions.h"
#include "plugins/ui/tests/fakePlayer.h"
#include "plugins/ui/tests/uiTestSupport.h"

namespace vesk::ui::test {
namespace {

class audioPlayer : public listWindowTest {
protected:
    void SetUp() override {
        listWindowTest::SetUp();
        oleStarted = SUCCEEDED(::OleInitialize(nullptr));
        declareField("File Name", "Playlist");
        transfer = new capsule_core<VDockTransferWnd>();
        RECT place = {0, 0, 600, 300};
        ASSERT_EQ(transfer->Create("Transfers", &place), 1);
        ListServices().transferWnd = transfer;
        fake = std::make_unique<fakePlayer>();
        UseFakePlayer(fake.get());
    }
    void TearDown() override {
        EndPlayer();
        frame.reset();
        for (ss::IAgent* agent : agents)
            agent->release();
        if (transfer)
            transfer->releaseCore();
        UseFakePlayer(nullptr);
        fake.reset();
        listWindowTest::TearDown();
        if (oleStarted)
            ::OleUninitialize();
    }

    int MakePlayer() {
        player = new capsule<VTBAudioPlayer>();
        player->addRef();
        ListServices().audioPlayer = player;
        RECT place = {20, 20, 300, 200};
        return player->Create("Audio Player", &place);
    }
    void EndPlayer() {
        if (!player)
            return;
        ListServices().audioPlayer = nullptr;
        player->release();
        player = nullptr;
    }

    // A row with a name, the download's path and, when given, the
    // finished file's path.
    ss::IAgent* Row(const char* name, const char* download, const char* finished = nullptr) {
        ss::IAgent* agent = newAgent();
        agents.push_back(agent);
        setText(agent, "File Name", name);
        if (download)
            setText(agent, "Download", download);
        if (finished)
            setText(agent, "Temporary File", finished);
        return agent;
    }
    void ThreeRows() {
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
            ASSERT_TRUE(AddToPlaylist(Row(name, (std::string("C:\\in\\") + name).c_str())));
    }
    // The path of a row added by ThreeRows.
    static std::wstring PathOf(int row) { return L"C:\\in\\" + std::wstring(1, static_cast<wchar_t>(L'a' + row)) + L".mp3"; }

    void Command(int id) {
        ::SendMessageA(player->ToolBar() ? interfaceCast<IDockWnd>(player->ToolBar())->GetContainerHandle() : nullptr,
                       WM_COMMAND, static_cast<WPARAM>(id), 0);
    }
    int ButtonImage(int id) {
        TBBUTTONINFOA info = {};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_IMAGE;
        ::SendMessageA(player->Buttons(), TB_GETBUTTONINFOA, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&info));
        return info.iImage;
    }
    bool Pressed(int id) { return ::SendMessageA(player->Buttons(), TB_ISBUTTONPRESSED, static_cast<WPARAM>(id), 0) != 0; }
    int SelectionMark() {
        return static_cast<int>(::SendMessageA(transfer->Playlist().GetHandle(), LVM_GETSELECTIONMARK, 0, 0));
    }

    bool oleStarted = false;
    capsule_core<VDockTransferWnd>* transfer = nullptr;
    capsule<VTBAudioPlayer>* player = nullptr;
    std::unique_ptr<fakePlayer> fake;
    std::vector<ss::IAgent*> agents;
};

TEST_F(audioPlayer, PlayingARowMarksItAndHandsItsFileToThePlayer) {
    ASSERT_EQ(MakePlayer(), 1);
    EXPECT_EQ(fake->uiMode, L"none");
    struct {
        const char* download;
        const char* finished;
        int answer;
        const wchar_t* url;
    } cases[] = {
        {"C:\\part\\x.mp3", "C:\\done\\x.mp3", 0, L"C:\\done\\x.mp3"},
        {"C:\\part\\y.mp3", nullptr, 1, L"C:\\part\\y.mp3"},
        {nullptr, nullptr, -1, nullptr},
    };
    int row = 0;
    for (const auto& c : cases)
        ASSERT_TRUE(AddToPlaylist(Row("song.mp3", c.download, c.finished)));
    for (const auto& c : cases) {
        fake->url = L"untouched";
        int plays = fake->plays;
        EXPECT_EQ(player->PlayRow(row), c.answer) << row;
        EXPECT_TRUE(player->PlayRequested());
        if (c.url) {
            EXPECT_EQ(fake->url, c.url);
            EXPECT_EQ(fake->plays, plays + 1);
            EXPECT_EQ(SelectionMark(), row);
            EXPECT_EQ(player->CurrentIndex(), row);
        } else {
            EXPECT_EQ(fake->url, L"untouched") << "a row without a path played";
            EXPECT_EQ(fake->plays, plays);
            EXPECT_EQ(player->CurrentIndex(), row - 1);
        }
        ++row;
    }
    EXPECT_EQ(player->PlayRow(7), -1);
}

TEST_F(audioPlayer, NextAndPreviousWrapAroundAndLeaveTheNewRowPlaying) {
    ASSERT_EQ(MakePlayer(), 1);
    ThreeRows();
    struct {
        int from;
        int command;
        int to;
    } cases[] = {
        {0, IDCMD_UIL_PLAYER_NEXT, 1},     {2, IDCMD_UIL_PLAYER_NEXT, 0},
        {0, IDCMD_UIL_PLAYER_PREVIOUS, 2}, {2, IDCMD_UIL_PLAYER_PREVIOUS, 1},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(player->PlayRow(c.from), c.from);
        fake->FirePlayState(media::statePlaying);
        Command(c.command);
        EXPECT_EQ(player->CurrentIndex(), c.to) << c.from << " " << c.command;
        EXPECT_EQ(fake->url, PathOf(c.to));
        EXPECT_EQ(SelectionMark(), c.to);
        EXPECT_EQ(fake->playState, media::statePlaying) << "the new row was paused";
        EXPECT_EQ(fake->pauses, 0);
    }
}

TEST_F(audioPlayer, ATrackEndingWhilePlayingStartsTheNextRowButNotAfterStop) {
    ASSERT_EQ(MakePlayer(), 1);
    ThreeRows();
    ASSERT_EQ(player->PlayRow(1), 1);
    fake->FirePlayState(media::statePlaying);
    fake->FirePlayState(media::stateMediaEnded);
    fake->FirePlayState(media::stateStopped);
    EXPECT_EQ(player->CurrentIndex(), 2);
    EXPECT_EQ(fake->url, PathOf(2));

    // A stop later does not move on again by itself.
    fake->FirePlayState(media::stateStopped);
    EXPECT_EQ(player->CurrentIndex(), 2);

    Command(IDCMD_UIL_PLAYER_STOP);
    EXPECT_EQ(fake->stops, 1);
    EXPECT_FALSE(player->PlayRequested());
    fake->FirePlayState(media::stateMediaEnded);
    fake->FirePlayState(media::stateStopped);
    EXPECT_EQ(player->CurrentIndex(), 2) << "a stopped player moved on";
}

TEST_F(audioPlayer, ThePlayButtonShowsThePlayState) {
    ASSERT_EQ(MakePlayer(), 1);
    // Seven pictures: the six buttons' and the stop button's own.
    auto images = reinterpret_cast<HIMAGELIST>(::SendMessageA(player->Buttons(), TB_GETIMAGELIST, 0, 0));
    ASSERT_NE(images, nullptr) << "the toolbar has no pictures";
    EXPECT_EQ(::ImageList_GetImageCount(images), 7);
    EXPECT_EQ(ButtonImage(IDCMD_UIL_PLAYER_STOP), 6);
    struct {
        long state;
        int image;
        bool pressed;
    } cases[] = {
        {media::statePlaying, 1, true},
        {media::statePaused, 2, false},
        {media::statePlaying, 1, true},
        {media::stateReady, 2, false},
        {media::statePlaying, 1, true},
        {media::stateStopped, 2, false},
    };
    for (const auto& c : cases) {
        fake->FirePlayState(c.state);
        EXPECT_EQ(ButtonImage(IDCMD_UIL_PLAYER_PLAY), c.image) << c.state;
        EXPECT_EQ(Pressed(IDCMD_UIL_PLAYER_PLAY), c.pressed) << c.state;
    }
}

TEST_F(audioPlayer, ThePlayButtonPausesAPlayingPlayerResumesAPausedOneAndElsePlaysTheCurrentRow) {
    ASSERT_EQ(MakePlayer(), 1);
    ThreeRows();
    ASSERT_EQ(player->PlayRow(1), 1);
    Command(IDCMD_UIL_PLAYER_STOP);
    fake->playState = media::statePlaying;
    Command(IDCMD_UIL_PLAYER_PLAY);
    EXPECT_EQ(fake->pauses, 1);
    EXPECT_FALSE(player->PlayRequested());

    fake->url = L"kept";
    int plays = fake->plays;
    Command(IDCMD_UIL_PLAYER_PLAY);  // paused now: resumed where it was
    EXPECT_EQ(fake->url, L"kept");
    EXPECT_EQ(fake->plays, plays + 1);
    EXPECT_TRUE(player->PlayRequested());

    fake->playState = media::stateStopped;
    Command(IDCMD_UIL_PLAYER_PLAY);
    EXPECT_EQ(fake->url, PathOf(1));
}

TEST_F(audioPlayer, TheModeButtonTogglesBetweenFullAndNone) {
    ASSERT_EQ(MakePlayer(), 1);
    const std::pair<const wchar_t*, bool> steps[] = {{L"full", true}, {L"none", false}, {L"full", true}};
    for (const auto& [mode, pressed] : steps) {
        Command(IDCMD_UIL_PLAYER_MODE);
        EXPECT_EQ(fake->uiMode, mode);
        EXPECT_EQ(Pressed(IDCMD_UIL_PLAYER_MODE), pressed);
    }
}

TEST_F(audioPlayer, TheVideoButtonShowsAndHidesTheVideoWindowWhichCarriesTheHost) {
    ASSERT_EQ(MakePlayer(), 1);
    HWND video = player->VideoWindow();
    ASSERT_NE(video, nullptr);
    EXPECT_FALSE(::IsWindowVisible(video));
    HWND host = player->HostWindow();
    ASSERT_NE(host, nullptr) << "the hosting library's window class is missing";
    EXPECT_EQ(::GetParent(host), video);
    char title[32] = "";
    ::GetWindowTextA(host, title, sizeof title);
    EXPECT_STREQ(title, "WMP Host");

    for (bool shown : {true, false, true}) {
        Command(IDCMD_UIL_PLAYER_VIDEO);
        EXPECT_EQ(::IsWindowVisible(video) != 0, shown);
        EXPECT_EQ(player->VideoShown(), shown);
        EXPECT_EQ(Pressed(IDCMD_UIL_PLAYER_VIDEO), shown);
    }
    ::SetWindowPos(video, nullptr, 0, 0, 333, 222, SWP_NOMOVE | SWP_NOZORDER);
    RECT client = {}, hostRect = {};
    ::GetClientRect(video, &client);
    ::GetWindowRect(host, &hostRect);
    EXPECT_EQ(hostRect.right - hostRect.left, client.right);
    EXPECT_EQ(hostRect.bottom - hostRect.top, client.bottom);

    // Another child window activated hides it again.
    IFrameChildWnd* other = control->CreateChildWnd("Other", nullptr);
    ASSERT_NE(other, nullptr);
    other->addRef();
    other->Activate();
    EXPECT_FALSE(player->VideoShown());
    EXPECT_FALSE(::IsWindowVisible(video));
    EXPECT_FALSE(Pressed(IDCMD_UIL_PLAYER_VIDEO));
    other->release();

    // So does its own activation message.
    Command(IDCMD_UIL_PLAYER_VIDEO);
    ASSERT_TRUE(player->VideoShown());
    ::SendMessageA(video, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_FALSE(player->VideoShown());
    EXPECT_FALSE(::IsWindowVisible(video));
    EXPECT_FALSE(Pressed(IDCMD_UIL_PLAYER_VIDEO));
}

TEST_F(audioPlayer, TheResultWindowIsMaximizedAgainAndTakesTheActivationBackFromTheVideoWindow) {
    RECT place = {0, 0, 400, 300};
    ISearchResultWnd* results = MakeVSearchResultWnd(control, "query", &place);
    ASSERT_NE(results, nullptr);
    manager->SetCurrentResultWindow(results);
    HWND resultChild = interfaceCast<IWnd>(results->GetChildWnd())->GetHandle();
    HWND client = ::GetParent(resultChild);
    ::SendMessageA(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(resultChild), 0);
    ASSERT_FALSE(::IsZoomed(resultChild));

    ASSERT_EQ(MakePlayer(), 1);
    EXPECT_TRUE(::IsZoomed(resultChild));
    HWND video = player->VideoWindow();
    Command(IDCMD_UIL_PLAYER_VIDEO);
    EXPECT_EQ(reinterpret_cast<HWND>(::SendMessageA(client, WM_MDIGETACTIVE, 0, 0)), video);
    Command(IDCMD_UIL_PLAYER_VIDEO);
    EXPECT_EQ(reinterpret_cast<HWND>(::SendMessageA(client, WM_MDIGETACTIVE, 0, 0)), resultChild);
    EXPECT_FALSE(::IsWindowVisible(video));
    EXPECT_FALSE(player->VideoShown());

    // Files dropped on the video window become playlist rows.
    auto* target = new CIDropTarget(video);
    EXPECT_EQ(::RegisterDragDrop(video, target), DRAGDROP_E_ALREADYREGISTERED);
    target->Release();
    manager->SetCurrentResultWindow(nullptr);
    EndPlayer();
    results->release();
}

TEST_F(audioPlayer, TheSinkAnswersEveryEventAsTheEventInterfaceWants) {
    ASSERT_EQ(MakePlayer(), 1);
    VARIANT state;
    ::VariantInit(&state);
    state.vt = VT_I4;
    state.lVal = media::statePlaying;
    struct {
        const char* what;
        HRESULT answer;
        HRESULT expected;
    } cases[] = {
        {"a followed event", fake->Fire(media::playStateChangeEvent, &state, 1), DISP_E_MEMBERNOTFOUND},
        {"an unknown event", fake->Fire(1234), DISP_E_MEMBERNOTFOUND},
        {"no parameter block", fake->FireWithoutParameters(media::playStateChangeEvent), E_POINTER},
        {"named arguments", fake->Fire(media::playStateChangeEvent, &state, 1, 1), DISP_E_NONAMEDARGS},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.answer, c.expected) << c.what;
}

TEST_F(audioPlayer, TheCurrentItemNamesTheVideoWindowAndAnErrorShowsTheHelp) {
    ASSERT_EQ(MakePlayer(), 1);
    fake->FireItemChange(L"Second Song");
    char caption[64] = "";
    ::GetWindowTextA(player->VideoWindow(), caption, sizeof caption);
    EXPECT_STREQ(caption, "Second Song");
    fake->Fire(media::errorEvent);
    EXPECT_EQ(fake->helps, 1);
}

TEST_F(audioPlayer, TheSinkIsUnadvisedBeforeAnythingIsLetGo) {
    ASSERT_EQ(MakePlayer(), 1);
    ASSERT_NE(fake->sink, nullptr);
    fake->calls.clear();
    EndPlayer();
    ASSERT_FALSE(fake->calls.empty());
    EXPECT_EQ(fake->calls.front(), "unadvise");
    EXPECT_EQ(fake->sink, nullptr);
    EXPECT_EQ(fake->references, 0) << "a player object was kept";
}

TEST_F(audioPlayer, APlayerWithoutEventsIsNotUsedAndItsButtonsDoNothing) {
    fake->refusesEvents = true;
    EXPECT_EQ(MakePlayer(), 0);
    EXPECT_FALSE(player->HasPlayer());
    EXPECT_EQ(fake->references, 0);
    ThreeRows();
    EXPECT_EQ(player->PlayRow(0), -1);
    Command(IDCMD_UIL_PLAYER_PLAY);
    Command(IDCMD_UIL_PLAYER_NEXT);
    EXPECT_EQ(fake->plays, 0);
    EXPECT_TRUE(fake->url.empty());
}

TEST_F(audioPlayer, PlayOnADownloadAddsItOnceAndPlaysItsRow) {
    ASSERT_EQ(MakePlayer(), 1);
    ASSERT_TRUE(AddToPlaylist(Row("first.mp3", "C:\\in\\first.mp3")));
    ss::IAgent* download = Row("second.mp3", "C:\\in\\second.mp3");
    for (int time = 0; time < 2; ++time) {
        EXPECT_EQ(PlayAction(download), 1);
        EXPECT_EQ(transfer->Playlist().RowCount(), 2) << time;
        EXPECT_EQ(transfer->Playlist().RowOf(download), 1);
        EXPECT_EQ(player->CurrentIndex(), 1);
        EXPECT_EQ(fake->url, L"C:\\in\\second.mp3");
    }
    EXPECT_EQ(fake->plays, 2);
}

TEST_F(audioPlayer, TheMainWindowsVolumeAndMuteCommandsReachThePlayer) {
    ASSERT_EQ(MakePlayer(), 1);
    struct {
        long before;
        int change;
        long after;
    } cases[] = {{50, 10, 60}, {50, -10, 40}, {95, 10, 100}, {5, -10, 0}};
    for (const auto& c : cases) {
        fake->volume = c.before;
        ChangePlayerVolume(c.change);
        EXPECT_EQ(fake->volume, c.after) << c.before << " " << c.change;
    }
    for (bool muted : {true, false}) {
        TogglePlayerMute();
        EXPECT_EQ(fake->muted, muted);
    }
}

TEST_F(audioPlayer, TheViewMenusItemFollowsTheToolbar) {
    HMENU view = ::CreatePopupMenu();
    ASSERT_NE(view, nullptr);
    ::AppendMenuA(view, MF_STRING, IDCMD_UIM_AUDIO_TB, "Audio Player");
    ListServices().viewMenu = view;
    ASSERT_EQ(MakePlayer(), 1);
    IDockWnd* dock = interfaceCast<IDockWnd>(player->ToolBar());
    ASSERT_NE(dock, nullptr);
    for (bool shown : {false, true, false}) {
        if (shown)
            dock->Show();
        else
            dock->Hide();
        EXPECT_EQ((::GetMenuState(view, IDCMD_UIM_AUDIO_TB, MF_BYCOMMAND) & MF_CHECKED) != 0, shown);
    }
    ListServices().viewMenu = nullptr;
    ::DestroyMenu(view);
}

TEST_F(audioPlayer, ThePlaylistsNameColumnTakesTheListsWidthWhileItsTabIsShown) {
    ASSERT_EQ(MakePlayer(), 1);
    HWND list = transfer->Playlist().GetHandle();
    IDockTabBarWnd* tabs = transfer->GetDockWnd();
    auto nameWidth = [list] { return static_cast<int>(::SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0)); };
    tabs->SelectTab(0);
    int before = nameWidth();
    ::SendMessageA(list, WM_SIZE, SIZE_RESTORED, MAKELPARAM(before + 123, 100));
    EXPECT_EQ(nameWidth(), before) << "a hidden playlist was laid out";
    tabs->SelectTab(2);
    ASSERT_EQ(tabs->GetSelectedWindow(), list);
    for (int width : {before + 123, before + 45}) {
        ::SendMessageA(list, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, 100));
        EXPECT_EQ(nameWidth(), width);
    }
}

bool PlayerControlRegistered() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, "CLSID\\{6BF52A52-394A-11d3-B153-00C04F79FAA6}", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

TEST_F(audioPlayer, TheRealControlIsHostedWhenThePlatformHasIt) {
    UseFakePlayer(nullptr);
    bool registered = PlayerControlRegistered();
    int made = MakePlayer();
    std::printf("media player control %s: Create answered %d\n", registered ? "registered" : "missing", made);
    EXPECT_EQ(made, registered ? 1 : 0);
    EXPECT_EQ(player->HasPlayer(), registered);
    char className[32] = "";
    ::GetClassNameA(player->HostWindow(), className, sizeof className);
    EXPECT_STREQ(className, "AtlAxWin");
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(player->HostWindow(), GWL_EXSTYLE)) & WS_EX_CLIENTEDGE,
              static_cast<DWORD>(WS_EX_CLIENTEDGE));
}

}  // namespace
}  // namespace vesk::ui::test
