#include "plugins/ui/aboutDialog.h"

#include <cstring>
#include <string>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/centreOver.h"
#include "plugins/ui/gdiObject.h"
#include "plugins/ui/listServices.h"

namespace vesk::ui {

namespace {

constexpr std::size_t titleLimit = 63;

struct aboutState {
    std::string title;
    gdiObject bold;       // the title
    gdiObject underline;  // the two links
};

HFONT FontLike(HFONT base, bool bold, bool underline) {
    LOGFONTA look = {};
    if (!base || ::GetObjectA(base, sizeof look, &look) != sizeof look)
        ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof look, &look);
    if (bold)
        look.lfWeight = FW_BOLD;
    look.lfUnderline = underline ? TRUE : FALSE;
    return ::CreateFontIndirectA(&look);
}

void MakeFonts(HWND dialog, aboutState& state) {
    auto base = reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0));
    state.bold.reset(FontLike(base, true, false));
    state.underline.reset(FontLike(base, false, true));
    const std::pair<int, const gdiObject*> fonts[] = {{IDC_UIO_ABOUT_TITLE, &state.bold},
                                                      {IDC_UIO_ABOUT_MAIL, &state.underline},
                                                      {IDC_UIO_ABOUT_SITE, &state.underline}};
    for (const auto& [id, font] : fonts)
        if (*font)
            ::SendDlgItemMessageA(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(font->get()), FALSE);
}

bool ClickedIn(HWND dialog, int id, LPARAM point) {
    HWND control = ::GetDlgItem(dialog, id);
    RECT place;
    if (!control || !::GetWindowRect(control, &place))
        return false;
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    POINT at = {static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
    return ::PtInRect(&place, at) != 0;
}

void Open(HWND dialog, const char* target) {
    if (shellExecuteFn open = ListServices().shellExecute)
        open(dialog, "open", target, nullptr, nullptr, SW_SHOWNORMAL);
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
        auto& state = *reinterpret_cast<aboutState*>(lParam);
        ::SetWindowTextA(dialog, state.title.c_str());
        ::SetDlgItemTextA(dialog, IDC_UIO_ABOUT_TITLE, state.title.c_str());
        MakeFonts(dialog, state);
        CentreOver(dialog, ::GetWindow(dialog, GW_OWNER));
        return TRUE;
    }
    auto* state = reinterpret_cast<aboutState*>(::GetWindowLongPtrA(dialog, GWLP_USERDATA));
    if (!state)
        return FALSE;
    switch (message) {
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) != ::GetDlgItem(dialog, IDC_UIO_ABOUT_SITE))
                return FALSE;
            ::SetTextColor(reinterpret_cast<HDC>(wParam), siteTextColour);
            ::SetBkColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE));
        case WM_LBUTTONDOWN:
            if (ClickedIn(dialog, IDC_UIO_ABOUT_SITE, lParam))
                Open(dialog, productSite);
            else if (ClickedIn(dialog, IDC_UIO_ABOUT_MAIL, lParam))
                Open(dialog, supportMail);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
                ::EndDialog(dialog, LOWORD(wParam) == IDOK ? 1 : 0);
            return TRUE;
        case WM_CLOSE:
            ::EndDialog(dialog, 0);
            return TRUE;
        case WM_DESTROY:
            // The controls go after the dialog: they must not keep fonts that
            // are deleted now.
            for (int id : {IDC_UIO_ABOUT_TITLE, IDC_UIO_ABOUT_MAIL, IDC_UIO_ABOUT_SITE})
                ::SendDlgItemMessageA(dialog, id, WM_SETFONT, 0, FALSE);
            state->bold.reset();
            state->underline.reset();
            ::SetWindowLongPtrA(dialog, GWLP_USERDATA, 0);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

INT_PTR RunAboutDialog(HWND owner, const char* title) {
    IUIControl* control = ListServices().control;
    if (!control)
        return -1;
    aboutState state;
    state.title = title ? std::string(title, ::strnlen(title, titleLimit)) : std::string();
    return ::DialogBoxParamA(control->GetDefaultResourceInstance(), MAKEINTRESOURCEA(IDD_UIO_ABOUT), owner,
                             &AboutProc, reinterpret_cast<LPARAM>(&state));
}

}  // namespace vesk::ui
