// The controller's way to the list windows: objects made once, then each
// window made in the frame with its caption through one call.
#include "plugins/ui/layoutWindows.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/tests/uiTestSupport.h"

namespace vesk::ui::test {
namespace {

class layoutWindows : public listWindowTest {};

std::string CaptionOf(IDockWnd* window) {
    char text[100] = "";
    ::GetWindowTextA(window->GetContainerHandle(), text, sizeof text);
    return text;
}

TEST_F(layoutWindows, ObjectsAreMadeOnceAndEachWindowComesWithItsCaption) {
    listWindowObjects first, second;
    ASSERT_TRUE(MakeListWindowObjects(first));
    ASSERT_TRUE(MakeListWindowObjects(second));
    EXPECT_EQ(first.transfer, second.transfer);
    EXPECT_EQ(first.history, second.history);
    EXPECT_NE(first.explorer, nullptr);

    // No player control here: the audio toolbar is laid out all the same.
    ListServices().makePlayer = nullptr;
    using maker = IDockWnd* (*)(IUIControl*, const char*, RECT*);
    const std::pair<maker, const char*> windows[] = {
        {&MakeVDockTransferWnd, "Transfers"},       {&MakeZUdoradurHostDockWnd, "Hosts"},
        {&MakeZUdoradurStatDockWnd, "Statistics"},  {&MakeVSearchHistoryDockWnd, "Search History"},
        {&MakeVDockSearchBar, "Search Bar"},        {&MakeVTBAudioPlayer, "Audio Player"},
    };
    for (const auto& [make, caption] : windows) {
        RECT place = {100, 100, 400, 300};
        IDockWnd* window = make(control, caption, &place);
        ASSERT_NE(window, nullptr) << caption;
        EXPECT_EQ(CaptionOf(window), caption);
    }
    EXPECT_NE(ListServices().audioPlayer, nullptr);
    EndAudioPlayer();
    EXPECT_EQ(ListServices().audioPlayer, nullptr);
    frame.reset();
}

}  // namespace
}  // namespace vesk::ui::test
