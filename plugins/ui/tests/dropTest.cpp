// Files dropped on the playlist, and the shell's file lists the drops and
// drags carry.
#include "core/capsule.h"
#include "plugins/ui/dockTransferWnd.h"
#include "plugins/ui/dropFiles.h"
#include "plugins/ui/dropTarget.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/oleDrag.h"
#include "plugins/ui/tests/uiTestSupport.h"

namespace vesk::ui::test {
namespace {

TEST(DropFiles, AFileListReadsBackAsItWasBuilt) {
    std::vector<std::string> paths = {"C:\\music\\song.mp3", "D:\\films\\a b.avi"};
    HGLOBAL block = BuildDropFiles(paths);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(ReadDropFiles(block), paths);
    ::GlobalFree(block);
}

TEST(DropFiles, APathTooLongForAnyFileIsLeftOut) {
    std::vector<std::string> paths = {"C:\\" + std::string(MAX_PATH, 'x') + ".mp3", "C:\\short.mp3"};
    HGLOBAL block = BuildDropFiles(paths);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(ReadDropFiles(block), std::vector<std::string>{"C:\\short.mp3"});
    ::GlobalFree(block);
}

TEST(DropFiles, TheKeysHeldChooseTheEffectAmongThoseAllowed) {
    const DWORD all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    struct {
        DWORD keys, allowed, effect;
    } cases[] = {
        {0, all, DROPEFFECT_COPY},
        {0, DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_MOVE},
        {MK_CONTROL, all, DROPEFFECT_COPY},
        {MK_SHIFT, all, DROPEFFECT_MOVE},
        {MK_CONTROL | MK_SHIFT, all, DROPEFFECT_LINK},
        {MK_SHIFT, DROPEFFECT_COPY, DROPEFFECT_NONE},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DropEffectFor(c.keys, c.allowed), c.effect) << c.keys << " " << c.allowed;
}

class playlistDrop : public listWindowTest {};

TEST_F(playlistDrop, DroppedFilesBecomePlaylistRowsNamedAfterTheirFile) {
    declareField("File Name", "Playlist");
    auto* window = new capsule_core<VDockTransferWnd>();
    RECT place = {0, 0, 600, 300};
    ASSERT_EQ(window->Create("Transfers", &place), 1);
    ListServices().transferWnd = window;
    showDockWindow(interfaceCast<IDockWnd>(window->GetDockWnd()), place);
    window->GetDockWnd()->SelectTab(2);

    auto* data = new CDataObject();
    FORMATETC format = FileListFormat();
    STGMEDIUM medium = {};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = BuildDropFiles({"C:\\music\\song.mp3", "C:\\music\\tune.ogg"});
    ASSERT_EQ(data->SetData(&format, &medium, TRUE), S_OK);
    auto* target = new CIDropTarget(window->Playlist().GetHandle());
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->Drop(data, 0, POINTL{10, 10}, &effect), S_OK);
    target->Release();
    data->Release();

    HWND playlist = window->Playlist().GetHandle();
    ASSERT_EQ(window->Playlist().RowCount(), 2);
    EXPECT_EQ(CellText(playlist, 0, 0), "song.mp3");
    EXPECT_EQ(CellText(playlist, 1, 0), "tune.ogg");
    keepShot(frame->window(), "playlist");
    frame.reset();
    window->releaseCore();
}

}  // namespace
}  // namespace vesk::ui::test
