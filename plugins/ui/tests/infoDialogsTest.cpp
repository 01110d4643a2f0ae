// The credits and about boxes, closed every way twenty times each: the
// frame is enabled again each time and every GDI object they made is gone.
// The module's own handle wrappers count them (Wine's GDI count reads 0).
#include <functional>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/gdiObject.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/tests/optionsTestSupport.h"

namespace vesk::ui::test {
namespace {

// What the timer does to the modal dialog once it is up; it runs inside the
// dialog's own message loop, on this thread.
struct pendingAction {
    HWND owner = nullptr;
    std::function<void(HWND)> act;
    UINT_PTR timer = 0;
    HWND seen = nullptr;
};

pendingAction& Pending() {
    static pendingAction pending;
    return pending;
}

BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM found) {
    char type[16] = "";
    ::GetClassNameA(window, type, sizeof type);
    if (std::string(type) == "#32770" && ::GetWindow(window, GW_OWNER) == Pending().owner &&
        ::IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindOwnedDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog)
        return;
    ::KillTimer(nullptr, id);
    Pending().seen = dialog;
    Pending().act(dialog);
}

// Runs the dialog with the action armed; the dialog's result.
INT_PTR RunWith(HWND owner, const std::function<void(HWND)>& act, const std::function<INT_PTR()>& run) {
    Pending() = pendingAction();
    Pending().owner = owner;
    Pending().act = act;
    Pending().timer = ::SetTimer(nullptr, 0, 10, &OnTimer);
    INT_PTR result = run();
    ::KillTimer(nullptr, Pending().timer);
    return result;
}

struct closeWay {
    const char* name;
    std::function<void(HWND)> close;
    INT_PTR result;
};

const closeWay closeWays[] = {
    {"OK", [](HWND d) { ::PostMessageA(d, WM_COMMAND, IDOK, 0); }, 1},
    {"Cancel", [](HWND d) { ::PostMessageA(d, WM_COMMAND, IDCANCEL, 0); }, 0},
    {"close message", [](HWND d) { ::PostMessageA(d, WM_CLOSE, 0, 0); }, 0},
    {"close box", [](HWND d) { ::PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, 0},
    {"Escape", [](HWND d) { ::PostMessageA(d, WM_KEYDOWN, VK_ESCAPE, 0); }, 0},
    {"Enter", [](HWND d) { ::PostMessageA(d, WM_KEYDOWN, VK_RETURN, 0); }, 1},
};

constexpr int rounds = 20;

class infoDialogs : public listWindowTest {};

TEST_F(infoDialogs, TheCreditsBoxEndsEveryWayAndFreesItsPicture) {
    long start = gdiObject::Live();
    for (const closeWay& way : closeWays) {
        for (int round = 0; round < rounds; ++round) {
            long during = -1;
            INT_PTR result = RunWith(
                frame->window(),
                [&](HWND dialog) {
                    ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                    during = gdiObject::Live();
                    way.close(dialog);
                },
                [&] { return RunCreditsDialog(frame->window()); });
            ASSERT_EQ(result, way.result) << way.name << " round " << round;
            EXPECT_EQ(during, start + 1) << way.name << ": the picture's bitmap, once";
            ASSERT_TRUE(::IsWindowEnabled(frame->window())) << way.name << " round " << round;
            ASSERT_EQ(gdiObject::Live(), start) << way.name << " round " << round;
            ASSERT_FALSE(::IsWindow(Pending().seen));
        }
    }
}

TEST_F(infoDialogs, TheAboutBoxEndsEveryWayAndFreesItsFonts) {
    long start = gdiObject::Live();
    for (const closeWay& way : closeWays) {
        for (int round = 0; round < rounds; ++round) {
            long during = -1;
            INT_PTR result = RunWith(
                frame->window(),
                [&](HWND dialog) {
                    for (int paint = 0; paint < 3; ++paint)
                        ::RedrawWindow(dialog, nullptr, nullptr,
                                       RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                    during = gdiObject::Live();
                    way.close(dialog);
                },
                [&] { return RunAboutDialog(frame->window(), "Pelloran 1.0"); });
            ASSERT_EQ(result, way.result) << way.name << " round " << round;
            EXPECT_EQ(during, start + 2) << way.name << ": two fonts, made once";
            ASSERT_TRUE(::IsWindowEnabled(frame->window())) << way.name << " round " << round;
            ASSERT_EQ(gdiObject::Live(), start) << way.name << " round " << round;
        }
    }
}

TEST_F(infoDialogs, BothBoxesOpenCentredOverTheMainWindow) {
    HWND main = frame->window();
    RECT place;
    ::GetWindowRect(main, &place);
    ::SetWindowPos(main, nullptr, 330, 210, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const std::pair<const char*, std::function<INT_PTR()>> boxes[] = {
        {"credits", [&] { return RunCreditsDialog(main); }},
        {"about", [&] { return RunAboutDialog(main, "Pelloran 1.0"); }},
    };
    for (const auto& [name, run] : boxes) {
        bool centred = false;
        std::string why;
        RunWith(
            main,
            [&](HWND dialog) {
                centred = CentredOver(dialog, main, why);
                ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            },
            run);
        EXPECT_TRUE(centred) << name << ": " << why;
    }
    ::SetWindowPos(main, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TEST_F(infoDialogs, TheAboutBoxShowsTheTitleCutToItsField) {
    std::string title(100, 'T');
    std::string caption, shown;
    RunWith(
        frame->window(),
        [&](HWND dialog) {
            char text[200] = "";
            ::GetWindowTextA(dialog, text, sizeof text);
            caption = text;
            ::GetDlgItemTextA(dialog, IDC_UIO_ABOUT_TITLE, text, sizeof text);
            shown = text;
            ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        },
        [&] { return RunAboutDialog(frame->window(), title.c_str()); });
    EXPECT_EQ(caption, std::string(63, 'T'));
    EXPECT_EQ(shown, std::string(63, 'T'));
}

LOGFONTA FontOf(HWND control) {
    LOGFONTA look = {};
    auto font = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
    if (font)
        ::GetObjectA(font, sizeof look, &look);
    return look;
}

TEST_F(infoDialogs, TheAboutBoxPaintsTheTitleBoldAndTheLinksUnderlined) {
    LOGFONTA title = {}, site = {}, mail = {};
    COLORREF siteColour = CLR_INVALID, mailColour = CLR_INVALID;
    RunWith(
        frame->window(),
        [&](HWND dialog) {
            title = FontOf(::GetDlgItem(dialog, IDC_UIO_ABOUT_TITLE));
            site = FontOf(::GetDlgItem(dialog, IDC_UIO_ABOUT_SITE));
            mail = FontOf(::GetDlgItem(dialog, IDC_UIO_ABOUT_MAIL));
            HDC dc = ::CreateCompatibleDC(nullptr);
            ::SetTextColor(dc, 0x123456);
            ::SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDC_UIO_ABOUT_SITE)));
            siteColour = ::GetTextColor(dc);
            ::SetTextColor(dc, 0x123456);
            ::SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDC_UIO_ABOUT_MAIL)));
            mailColour = ::GetTextColor(dc);
            ::DeleteDC(dc);
            keepShot(dialog, "about");
            ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        },
        [&] { return RunAboutDialog(frame->window(), "Pelloran"); });
    EXPECT_EQ(title.lfWeight, FW_BOLD);
    EXPECT_FALSE(title.lfUnderline);
    EXPECT_TRUE(site.lfUnderline);
    EXPECT_TRUE(mail.lfUnderline);
    EXPECT_EQ(siteColour, siteTextColour);
    EXPECT_NE(mailColour, siteTextColour) << "only the site has a colour of its own";
}

TEST_F(infoDialogs, TheCreditsBoxShowsItsPictureAtItsPlace) {
    HBITMAP picture = static_cast<HBITMAP>(
        ::LoadImageA(resources, MAKEINTRESOURCEA(IDB_UIO_CREDITS), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(picture, nullptr);
    BITMAP size = {};
    ::GetObjectA(picture, sizeof size, &size);
    EXPECT_EQ(size.bmWidth, 75);
    EXPECT_EQ(size.bmHeight, 250);
    HDC memory = ::CreateCompatibleDC(nullptr);
    HGDIOBJ previous = ::SelectObject(memory, picture);
    const POINT samples[] = {{37, 45}, {37, 200}, {5, 240}};
    std::vector<COLORREF> expected, shown;
    for (POINT at : samples)
        expected.push_back(::GetPixel(memory, at.x, at.y));
    ::SelectObject(memory, previous);
    ::DeleteDC(memory);
    ::DeleteObject(picture);
    RunWith(
        frame->window(),
        [&](HWND dialog) {
            ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            for (POINT at : samples) {
                POINT screen = {20 + at.x, 40 + at.y};
                ::ClientToScreen(dialog, &screen);
                shown.push_back(screenPixel(screen));
            }
            keepShot(dialog, "credits");
            ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        },
        [&] { return RunCreditsDialog(frame->window()); });
    EXPECT_EQ(shown, expected);
}

std::vector<std::pair<std::string, std::string>>& Opened() {
    static std::vector<std::pair<std::string, std::string>> opened;
    return opened;
}

HINSTANCE WINAPI RecordOpen(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, INT) {
    Opened().emplace_back(verb ? verb : "", file ? file : "");
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33));
}

void ClickIn(HWND dialog, int id) {
    RECT place = rectIn(::GetDlgItem(dialog, id), dialog);
    LPARAM at = MAKELPARAM((place.left + place.right) / 2, (place.top + place.bottom) / 2);
    ::SendMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageA(dialog, WM_LBUTTONUP, 0, at);
}

TEST_F(infoDialogs, ClicksOnTheSiteAndTheMailOpenThemThroughTheShell) {
    ListServices().shellExecute = &RecordOpen;
    Opened().clear();
    RunWith(
        frame->window(),
        [&](HWND dialog) {
            ClickIn(dialog, IDC_UIO_ABOUT_SITE);
            ClickIn(dialog, IDC_UIO_ABOUT_MAIL);
            ClickIn(dialog, IDC_UIO_ABOUT_TITLE);
            ::SendMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
            ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        },
        [&] { return RunAboutDialog(frame->window(), "Pelloran"); });
    using opening = std::pair<std::string, std::string>;
    EXPECT_EQ(Opened(), (std::vector<opening>{{"open", productSite}, {"open", supportMail}}));
}

}  // namespace
}  // namespace vesk::ui::test
