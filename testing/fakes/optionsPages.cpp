#include "testing/fakes/optionsPages.h"

namespace vesk::testing {

namespace {

const char* const dialogClass = "vesk fake options dialog";
// Where the dialog places a page, as its page area does.
constexpr int pageLeft = 5, pageTop = 15, pageWidth = 520, pageHeight = 400;

}  // namespace

optionsPages::~optionsPages() {
    gui_.run([&] {
        if (dialog_)
            ::DestroyWindow(dialog_);  // the pages with it
    });
}

void optionsPages::add(const char* title, const char* parent, int image, int dialog, HINSTANCE module,
                       DLGPROC procedure) {
    gui_.run([&] {
        optionsPage page;
        page.title = title ? title : "";
        page.parent = parent ? parent : "";
        page.image = image;
        page.dialog = dialog;
        page.module = module;
        page.procedure = procedure;
        pages_.push_back(page);
    });
}

std::vector<optionsPage> optionsPages::pages() {
    std::vector<optionsPage> copy;
    gui_.run([&] { copy = pages_; });
    return copy;
}

void optionsPages::makeDialogWindow() {
    if (dialog_)
        return;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = dialogClass;
    RegisterClassA(&wc);  // a second fake registers it again, harmlessly
    dialog_ = CreateWindowExA(WS_EX_CONTROLPARENT, dialogClass, "Options", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0,
                              pageWidth + 2 * pageLeft + 8, pageHeight + pageTop + 40, nullptr, nullptr,
                              wc.hInstance, nullptr);
}

HWND optionsPages::select(const std::string& title) {
    HWND shown = nullptr;
    gui_.run([&] {
        for (optionsPage& page : pages_) {
            if (page.title != title)
                continue;
            makeDialogWindow();
            if (current_)
                ::ShowWindow(current_, SW_HIDE);
            current_ = nullptr;
            if (!page.dialog || !page.procedure || !dialog_)
                return;
            if (!page.window)
                page.window = CreateDialogParamA(page.module ? page.module : language_,
                                                 MAKEINTRESOURCEA(page.dialog), dialog_, page.procedure, 0);
            if (!page.window)
                return;
            ::SetWindowPos(page.window, nullptr, pageLeft, pageTop, pageWidth, pageHeight, SWP_NOZORDER);
            ::ShowWindow(page.window, SW_SHOW);
            current_ = shown = page.window;
            return;
        }
    });
    return shown;
}

void optionsPages::press(WPARAM command) {
    gui_.run([&] {
        std::vector<HWND> windows;
        for (const optionsPage& page : pages_)
            if (page.window)
                windows.push_back(page.window);
        for (HWND window : windows)
            ::SendMessageA(window, WM_COMMAND, command, 0);
    });
}

void optionsPages::paint() {
    gui_.run([&] {
        if (dialog_)
            ::RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    });
}

void optionsPages::dialogShown() {
    gui_.run([&] {
        if (current_)
            ::SendMessageA(current_, WM_SHOWWINDOW, 0, 0);
    });
}

}  // namespace vesk::testing
