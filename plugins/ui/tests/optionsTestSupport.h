// The options dialog in a test frame: made through the controller's
// creation function, ended before the frame.
#pragma once

#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "plugins/ui/aboutDialog.h"
#include "plugins/ui/creditsDialog.h"
#include "plugins/ui/dockDebugWnd.h"
#include "plugins/ui/generalPage.h"
#include "plugins/ui/options.h"
#include "plugins/ui/trayCtrl.h"
#include "plugins/ui/tests/uiTestSupport.h"

namespace vesk::ui::test {

class optionsTest : public listWindowTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Every item of the tree depth first, each as its path of titles
    // ("Parent/Child").
    std::vector<std::string> Outline();
    // The item of a path, or null.
    HTREEITEM ItemAt(const std::string& path);

    VOptions* options = nullptr;
};

std::string ItemText(HWND tree, HTREEITEM item);

// Whether the window's centre is the owner's (to the pixel of rounding);
// why not in `why`.
bool CentredOver(HWND window, HWND owner, std::string& why);
// Whether the window lies whole on the screen.
bool OnTheScreen(HWND window);

// Names a table's test after its case's name field.
struct NamedCase {
    template <class T>
    std::string operator()(const ::testing::TestParamInfo<T>& param) const {
        std::string name;
        for (const char* c = param.param.name; *c; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    }
};

// The controller's flags as the tests keep them, and the page's way to
// them.
windowFlags& TestFlags();
windowFlags ReadTestFlags();
void WriteTestFlags(const windowFlags& flags);

// A page procedure that records the commands its page gets, and the
// show notices with both parameters 0 (the dialog's own, not the
// platform's).
INT_PTR CALLBACK RecordingPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
std::vector<std::pair<HWND, WPARAM>>& RecordedPageCommands();
std::vector<HWND>& RecordedBareShowNotices();

}  // namespace vesk::ui::test
