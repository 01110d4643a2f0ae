// vskdrive <verb> [--wait SECONDS] --in CLASS [--caption TEXT] [--id N]
//          [--in CLASS ...] [arguments]
//
// Acts on another program's window as a user's input would arrive there:
// the window is named by a path of steps (see windowPath.h; "*" for any
// class) and only gets posted messages or messages without pointers.
//   find              prints the window's handle
//   caption           prints the window's caption
//   command ID        posts WM_COMMAND with the id
//   type TEXT         selects the box's text and posts the characters that
//                     replace it
//   key NAME...       posts key presses: Enter, Home, End, Up, Down, Tab,
//                     Escape, Space or a virtual-key number
//   click X Y         posts a left click at the client point
//   await-focus       waits (up to --wait) for the window to have its
//                     thread's keyboard focus
//   raise             brings the window to the top without activating it
//                     (a screenshot copies what the screen shows)
//   maximize, restore posts what the caption's boxes send (WM_SYSCOMMAND)
//   resize W H        gives the window that size, as a drag of its border
//                     ends
//   drag X Y X2 Y2    presses the left button at (X, Y) from the window's
//                     top left corner (on its frame or gripper when its
//                     hit test answers so), moves to (X2, Y2) in steps and
//                     releases there
//   count             prints the items of a list, tree or combo box
//   await-count N     waits (up to --wait) for at least N items
//   windows           prints "class|id|caption" of each visible window
//                     inside (to find how to name one)
//   docks CLASS       prints "caption|l,t,r,b" for each visible window of
//                     that class inside the frame (floating ones are top
//                     windows of their own), relative to the frame's top
//                     left; fails when one lies outside or has no size
// --wait gives the window (and await-count) that long to appear. Exit
// codes: 0 done, 1 no such window or the condition failed, 2 bad
// arguments, 3 a message could not be posted.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "testing/screen/userInput.h"
#include "testing/screen/windowPath.h"

namespace {

using vesk::testing::windowStep;

struct request {
    std::string verb;
    std::vector<windowStep> path;
    std::vector<std::string> arguments;
    DWORD waitMs = 0;
};

bool ParseNumber(const char* text, long& number) {
    char* end = nullptr;
    number = std::strtol(text, &end, 0);
    return end && end != text && !*end;
}

bool ParseArguments(int argc, char** argv, request& r) {
    if (argc < 2)
        return false;
    r.verb = argv[1];
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        long number = 0;
        if (arg == "--in" && hasValue) {
            windowStep step;
            step.windowClass = argv[++i];
            if (step.windowClass == "*")
                step.windowClass.clear();
            r.path.push_back(step);
        } else if (arg == "--caption" && hasValue && !r.path.empty()) {
            r.path.back().caption = argv[++i];
            r.path.back().byCaption = true;
        } else if (arg == "--id" && hasValue && !r.path.empty() && ParseNumber(argv[++i], number)) {
            r.path.back().id = static_cast<int>(number);
            r.path.back().byId = true;
        } else if (arg == "--wait" && hasValue && ParseNumber(argv[++i], number) && number >= 0 &&
                   number <= 3600) {
            r.waitMs = static_cast<DWORD>(number) * 1000;
        } else if (arg.rfind("--", 0) == 0) {
            return false;
        } else {
            r.arguments.push_back(arg);
        }
    }
    return !r.path.empty();
}

HWND WaitForWindow(const request& r) {
    DWORD start = ::GetTickCount();
    for (;;) {
        HWND window = vesk::testing::FindWindowByPath(r.path);
        if (window || ::GetTickCount() - start >= r.waitMs)
            return window;
        ::Sleep(100);
    }
}

bool Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (::PostMessageA(window, message, wParam, lParam))
        return true;
    std::fprintf(stderr, "vskdrive: cannot post message %u (error %lu)\n", message, ::GetLastError());
    return false;
}

int KeyCode(const std::string& name) {
    static const struct {
        const char* name;
        int code;
    } keys[] = {{"Enter", VK_RETURN}, {"Home", VK_HOME}, {"End", VK_END},       {"Up", VK_UP},
                {"Down", VK_DOWN},    {"Tab", VK_TAB},   {"Escape", VK_ESCAPE}, {"Space", VK_SPACE}};
    for (const auto& key : keys)
        if (name == key.name)
            return key.code;
    long number = 0;
    return ParseNumber(name.c_str(), number) && number > 0 && number < 256 ? static_cast<int>(number) : 0;
}

bool PressKey(HWND window, int code) {
    LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyA(static_cast<UINT>(code), MAPVK_VK_TO_VSC)) << 16;
    return Post(window, WM_KEYDOWN, static_cast<WPARAM>(code), 1 | scan) &&
           Post(window, WM_KEYUP, static_cast<WPARAM>(code), static_cast<LPARAM>(1 | scan | 0xC0000000u));
}

// Items of the common list controls; -1 for another kind of window or no
// answer.
long ItemCount(HWND window) {
    std::string windowClass = vesk::testing::WindowClassOf(window);
    UINT message = 0;
    if (windowClass == WC_LISTVIEWA)
        message = LVM_GETITEMCOUNT;
    else if (windowClass == WC_TREEVIEWA)
        message = TVM_GETCOUNT;
    else if (windowClass == WC_COMBOBOXA || windowClass == WC_COMBOBOXEXA)
        message = CB_GETCOUNT;
    else
        return -1;
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutA(window, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer))
        return -1;
    return static_cast<long>(answer);
}

int Docks(HWND frame, const std::string& dockClass) {
    RECT frameRect = {};
    if (!::GetWindowRect(frame, &frameRect))
        return 1;
    int result = 0, docked = 0;
    for (HWND dock : vesk::testing::VisibleDescendants(frame, dockClass)) {
        RECT place = {};
        if (!::GetWindowRect(dock, &place))
            continue;
        ++docked;
        std::printf("%s|%ld,%ld,%ld,%ld\n", vesk::testing::WindowCaptionOf(dock).c_str(),
                    place.left - frameRect.left, place.top - frameRect.top, place.right - frameRect.left,
                    place.bottom - frameRect.top);
        bool sized = place.right > place.left && place.bottom > place.top;
        bool inside = place.left >= frameRect.left && place.top >= frameRect.top &&
                      place.right <= frameRect.right && place.bottom <= frameRect.bottom;
        if (!sized || !inside) {
            std::fprintf(stderr, "vskdrive: %s lies outside the frame or has no size\n",
                         vesk::testing::WindowCaptionOf(dock).c_str());
            result = 1;
        }
    }
    if (docked == 0) {
        std::fprintf(stderr, "vskdrive: no window docked\n");
        result = 1;
    }
    return result;
}

int AwaitCount(HWND window, const request& r, long wanted) {
    DWORD start = ::GetTickCount();
    long count = ItemCount(window);
    while (count < wanted && ::GetTickCount() - start < r.waitMs) {
        ::Sleep(100);
        count = ItemCount(window);
    }
    std::printf("%ld\n", count);
    return count >= wanted ? 0 : 1;
}

bool HasFocus(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus == window;
}

int AwaitFocus(HWND window, const request& r) {
    DWORD start = ::GetTickCount();
    while (!HasFocus(window)) {
        if (::GetTickCount() - start >= r.waitMs) {
            std::fprintf(stderr, "vskdrive: the window did not get the focus\n");
            return 1;
        }
        ::Sleep(50);
    }
    return 0;
}

int Act(HWND window, const request& r) {
    const std::vector<std::string>& a = r.arguments;
    long first = 0, second = 0;
    if (r.verb == "find" && a.empty()) {
        std::printf("%p\n", static_cast<void*>(window));
        return 0;
    }
    if (r.verb == "caption" && a.empty()) {
        std::printf("%s\n", vesk::testing::WindowCaptionOf(window).c_str());
        return 0;
    }
    if (r.verb == "command" && a.size() == 1 && ParseNumber(a[0].c_str(), first))
        return Post(window, WM_COMMAND, static_cast<WPARAM>(first), 0) ? 0 : 3;
    if (r.verb == "type" && a.size() == 1) {
        if (!Post(window, EM_SETSEL, 0, -1))
            return 3;
        for (unsigned char c : a[0])
            if (!Post(window, WM_CHAR, c, 1))
                return 3;
        return 0;
    }
    if (r.verb == "key" && !a.empty()) {
        for (const std::string& name : a)
            if (!KeyCode(name))
                return 2;
        for (const std::string& name : a)
            if (!PressKey(window, KeyCode(name)))
                return 3;
        return 0;
    }
    if (r.verb == "click" && a.size() == 2 && ParseNumber(a[0].c_str(), first) &&
        ParseNumber(a[1].c_str(), second)) {
        LPARAM point = MAKELPARAM(first, second);
        return Post(window, WM_LBUTTONDOWN, MK_LBUTTON, point) && Post(window, WM_LBUTTONUP, 0, point) ? 0
                                                                                                       : 3;
    }
    if (r.verb == "await-focus" && a.empty())
        return AwaitFocus(window, r);
    if (r.verb == "raise" && a.empty()) {
        if (::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE))
            return 0;
        std::fprintf(stderr, "vskdrive: cannot raise the window (error %lu)\n", ::GetLastError());
        return 3;
    }
    if ((r.verb == "maximize" || r.verb == "restore") && a.empty())
        return Post(window, WM_SYSCOMMAND, r.verb == "maximize" ? SC_MAXIMIZE : SC_RESTORE, 0) ? 0 : 3;
    if (r.verb == "resize" && a.size() == 2 && ParseNumber(a[0].c_str(), first) &&
        ParseNumber(a[1].c_str(), second) && first > 0 && second > 0) {
        if (::SetWindowPos(window, nullptr, 0, 0, static_cast<int>(first), static_cast<int>(second),
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE))
            return 0;
        std::fprintf(stderr, "vskdrive: cannot resize the window (error %lu)\n", ::GetLastError());
        return 3;
    }
    if (r.verb == "drag" && a.size() == 4) {
        long numbers[4];
        for (int i = 0; i < 4; ++i)
            if (!ParseNumber(a[i].c_str(), numbers[i]))
                return 2;
        return vesk::testing::PostDrag(window, POINT{numbers[0], numbers[1]}, POINT{numbers[2], numbers[3]}) ? 0 : 3;
    }
    if (r.verb == "count" && a.empty()) {
        long count = ItemCount(window);
        std::printf("%ld\n", count);
        return count >= 0 ? 0 : 1;
    }
    if (r.verb == "await-count" && a.size() == 1 && ParseNumber(a[0].c_str(), first))
        return AwaitCount(window, r, first);
    if (r.verb == "windows" && a.empty()) {
        for (HWND inner : vesk::testing::VisibleDescendants(window, ""))
            std::printf("%s|%d|%s\n", vesk::testing::WindowClassOf(inner).c_str(), ::GetDlgCtrlID(inner),
                        vesk::testing::WindowCaptionOf(inner).c_str());
        return 0;
    }
    if (r.verb == "docks" && a.size() == 1)
        return Docks(window, a[0]);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    request r;
    if (!ParseArguments(argc, argv, r)) {
        std::fprintf(stderr,
                     "usage: vskdrive "
                     "<find|caption|command|type|key|click|await-focus|raise|maximize|restore|resize|drag|count|"
                     "await-count|windows|docks>"
                     " [--wait S] "
                     "--in CLASS [--caption TEXT] [--id N] [--in ...] [arguments]\n");
        return 2;
    }
    HWND window = WaitForWindow(r);
    if (!window) {
        std::fprintf(stderr, "vskdrive: no such window\n");
        return 1;
    }
    int result = Act(window, r);
    if (result == 2)
        std::fprintf(stderr, "vskdrive: bad arguments for %s\n", r.verb.c_str());
    std::fflush(stdout);
    return result;
}
