#include "plugins/ui/tests/optionsTestSupport.h"

#include <functional>

namespace vesk::ui::test {

void optionsTest::SetUp() {
    listWindowTest::SetUp();
    RecordedPageCommands().clear();
    RecordedBareShowNotices().clear();
    options = CreateOptions();
    ASSERT_NE(options, nullptr);
}

void optionsTest::TearDown() {
    if (options)
        static_cast<IcoreObject*>(options)->releaseCore();
    options = nullptr;
    listWindowTest::TearDown();
}

bool CentredOver(HWND window, HWND owner, std::string& why) {
    RECT own = {}, around = {};
    if (!::GetWindowRect(window, &own) || !::GetWindowRect(owner, &around)) {
        why = "no window";
        return false;
    }
    auto twice = [](LONG a, LONG b) { return a + b; };  // the centre, doubled to stay whole
    LONG dx = twice(own.left, own.right) - twice(around.left, around.right);
    LONG dy = twice(own.top, own.bottom) - twice(around.top, around.bottom);
    why = "off the owner's centre by " + std::to_string(dx / 2) + "," + std::to_string(dy / 2);
    return dx >= -2 && dx <= 2 && dy >= -2 && dy <= 2;
}

bool OnTheScreen(HWND window) {
    RECT own = {};
    return ::GetWindowRect(window, &own) && own.left >= 0 && own.top >= 0 &&
           own.right <= ::GetSystemMetrics(SM_CXSCREEN) && own.bottom <= ::GetSystemMetrics(SM_CYSCREEN);
}

std::string ItemText(HWND tree, HTREEITEM item) {
    char text[260] = "";
    TVITEMA data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = sizeof text;
    ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    return text;
}

std::vector<std::string> optionsTest::Outline() {
    std::vector<std::string> lines;
    HWND tree = options->Tree();
    std::function<void(HTREEITEM, const std::string&)> walk = [&](HTREEITEM item, const std::string& prefix) {
        for (; item; item = TreeView_GetNextSibling(tree, item)) {
            lines.push_back(prefix + ItemText(tree, item));
            walk(TreeView_GetChild(tree, item), lines.back() + "/");
        }
    };
    if (tree)
        walk(TreeView_GetRoot(tree), "");
    return lines;
}

HTREEITEM optionsTest::ItemAt(const std::string& path) {
    HWND tree = options->Tree();
    HTREEITEM item = tree ? TreeView_GetRoot(tree) : nullptr;
    std::string rest = path;
    while (item) {
        std::size_t slash = rest.find('/');
        std::string name = rest.substr(0, slash);
        while (item && ItemText(tree, item) != name)
            item = TreeView_GetNextSibling(tree, item);
        if (!item || slash == std::string::npos)
            return item;
        rest = rest.substr(slash + 1);
        item = TreeView_GetChild(tree, item);
    }
    return nullptr;
}

std::vector<std::pair<HWND, WPARAM>>& RecordedPageCommands() {
    static std::vector<std::pair<HWND, WPARAM>> commands;
    return commands;
}

windowFlags& TestFlags() {
    static windowFlags flags;
    return flags;
}

windowFlags ReadTestFlags() {
    return TestFlags();
}

void WriteTestFlags(const windowFlags& flags) {
    TestFlags() = flags;
}

std::vector<HWND>& RecordedBareShowNotices() {
    static std::vector<HWND> notices;
    return notices;
}

INT_PTR CALLBACK RecordingPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND)
        RecordedPageCommands().emplace_back(page, wParam);
    else if (message == WM_SHOWWINDOW && wParam == 0 && lParam == 0)
        RecordedBareShowNotices().push_back(page);
    return 0;
}

}  // namespace vesk::ui::test
