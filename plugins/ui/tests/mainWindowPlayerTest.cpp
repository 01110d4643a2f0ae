// The audio toolbar in the main window: laid out with the others, shown
// and hidden by its view command with the menu item following, its tips,
// and the main window's volume and mute commands reaching the player.
#include <windows.h>
#include <commctrl.h>

#include "core/capsule.h"
#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/audioPlayerTB.h"
#include "plugins/ui/dockMenu.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/tests/fakePlayer.h"
#include "plugins/ui/tests/mainWindowTestSupport.h"
#include "plugins/ui/uiControl.h"

namespace vesk::ui::test {
namespace {


TEST_F(mainWindow, TheAudioToolbarsViewCommandHidesAndShowsItWithItsCheckMark) {
    IDockWnd* bar = control().LayoutWindow(layoutSlot::audioToolBar);
    ASSERT_NE(bar, nullptr) << "the audio toolbar is not laid out";
    HMENU view = menu().PopupOf(258);
    bool before = bar->GetVisible() != 0;
    for (bool shown : {!before, before, !before, before}) {
        ::SendMessageA(frameWindow(), WM_COMMAND, IDCMD_UIM_AUDIO_TB, 0);
        EXPECT_EQ(bar->GetVisible() != 0, shown);
        EXPECT_EQ(::IsWindowVisible(bar->GetContainerHandle()) != 0, shown);
        EXPECT_EQ(Checked(view, IDCMD_UIM_AUDIO_TB), shown);
    }
    // Hidden by its own close box, the item follows as well.
    bar->Show();
    bar->Hide();
    EXPECT_FALSE(Checked(view, IDCMD_UIM_AUDIO_TB));
    bar->Show();
    EXPECT_TRUE(Checked(view, IDCMD_UIM_AUDIO_TB));
}

TEST_F(mainWindow, EveryAudioToolbarButtonHasItsTip) {
    IDockWnd* bar = control().LayoutWindow(layoutSlot::audioToolBar);
    ASSERT_NE(bar, nullptr);
    const std::pair<int, unsigned> tips[] = {
        {IDCMD_UIL_PLAYER_STOP, 248},     {IDCMD_UIL_PLAYER_PLAY, 249}, {IDCMD_UIL_PLAYER_VIDEO, 252},
        {IDCMD_UIL_PLAYER_PREVIOUS, 250}, {IDCMD_UIL_PLAYER_NEXT, 247},
    };
    for (const auto& [command, text] : tips) {
        std::string expected = LanguageText(text, 80);
        EXPECT_FALSE(expected.empty()) << text;
        EXPECT_EQ(ToolTipOf(bar, command), expected) << command;
    }
}

TEST_F(mainWindow, VolumeAndMuteCommandsReachThePlayer) {
    fakePlayer fake;
    UseFakePlayer(&fake);
    auto* player = new capsule<VTBAudioPlayer>();
    player->addRef();
    RECT place = {10, 10, 200, 60};
    EXPECT_EQ(player->Create("Test Player", &place), 1);
    VTBAudioPlayer* laidOut = ListServices().audioPlayer;
    ListServices().audioPlayer = player;

    const struct {
        int command;
        long volume;
        bool muted;
    } steps[] = {
        {IDCMD_UIM_VOLUME_UP, 60, false},   {IDCMD_UIM_VOLUME_UP, 70, false}, {IDCMD_UIM_VOLUME_DOWN, 60, false},
        {IDCMD_UIM_MUTE, 60, true},         {IDCMD_UIM_MUTE, 60, false},
    };
    fake.volume = 50;
    for (const auto& step : steps) {
        ::SendMessageA(frameWindow(), WM_COMMAND, static_cast<WPARAM>(step.command), 0);
        EXPECT_EQ(fake.volume, step.volume) << step.command;
        EXPECT_EQ(fake.muted, step.muted) << step.command;
    }

    ListServices().audioPlayer = laidOut;
    UseFakePlayer(nullptr);
    player->release();
    EXPECT_EQ(fake.references, 0);
}

}  // namespace
}  // namespace vesk::ui::test
