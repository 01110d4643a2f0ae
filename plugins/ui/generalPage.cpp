#include "plugins/ui/generalPage.h"

#include <cstring>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/options.h"

namespace vesk::ui {

namespace {

constexpr int languageNameSize = 80;

HWND pageWindow = nullptr;  // one page window per options dialog

struct checkBox {
    int id;
    int windowFlags::*flag;
};
constexpr checkBox checkBoxes[] = {
    {IDC_UIO_MINIMIZE_TO_TRAY, &windowFlags::minimizeToTray},
    {IDC_UIO_MINIMIZE_ON_START, &windowFlags::minimizeOnStart},
    {IDC_UIO_SHOW_IN_TRAY, &windowFlags::showInTray},
    {IDC_UIO_SAVE_ON_EXIT, &windowFlags::saveOnExit},
};

// Wine's pattern matching also finds "x.vkmx" (short-name matching).
bool EndsWithModuleSuffix(const char* name) {
    std::size_t length = ::strnlen(name, MAX_PATH);
    return length > 4 && ::_stricmp(name + length - 4, ".vkm") == 0;
}

BOOL CALLBACK OnVersionLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR list) {
    char name[languageNameSize] = "";
    if (::VerLanguageNameA(language, name, sizeof name) > 0)
        (*reinterpret_cast<std::map<std::string, DWORD>*>(list))[name] = language;
    return TRUE;
}

BOOL CALLBACK OnVersionName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR list) {
    ::EnumResourceLanguagesA(module, type, name, &OnVersionLanguage, list);
    return TRUE;
}

std::map<std::string, DWORD> ReadLanguages(const std::string& folder) {
    std::map<std::string, DWORD> list;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "rsrc*.vkm").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return list;
    do {
        if (!EndsWithModuleSuffix(found.cFileName))
            continue;
        // Kept loaded for the process, as the language module itself is.
        HMODULE module =
            ::LoadLibraryExA((folder + found.cFileName).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (module)
            ::EnumResourceNamesA(module, RT_VERSION, &OnVersionName, reinterpret_cast<LONG_PTR>(&list));
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return list;
}

void ShowFlags(HWND page, const windowFlags& flags) {
    for (const checkBox& box : checkBoxes)
        ::CheckDlgButton(page, box.id, flags.*box.flag == 1 ? BST_CHECKED : BST_UNCHECKED);
}

void FillLanguages(HWND page, const windowFlags& flags) {
    // Once per page window: Cancel sends the page its first message again.
    static HWND filled = nullptr;
    if (filled == page)
        return;
    filled = page;
    HWND combo = ::GetDlgItem(page, IDC_UIO_LANGUAGE);
    ::SendMessageA(combo, CB_INSERTSTRING, 0,
                   reinterpret_cast<LPARAM>(LanguageText(IDS_UIO_SYSTEM_LANGUAGE, languageNameSize).c_str()));
    int selected = 0, position = 1;
    for (const auto& [name, id] : LanguageList(GeneralPageServices().moduleFolder)) {
        ::SendMessageA(combo, CB_INSERTSTRING, position, reinterpret_cast<LPARAM>(name.c_str()));
        if (id == flags.languageId)
            selected = position;
        ++position;
    }
    ::SendMessageA(combo, CB_SETCURSEL, selected, 0);
}

DWORD ChosenLanguage(HWND page) {
    HWND combo = ::GetDlgItem(page, IDC_UIO_LANGUAGE);
    auto index = ::SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (index <= 0 || ::SendMessageA(combo, CB_GETLBTEXTLEN, index, 0) >= languageNameSize)
        return 0;
    char name[languageNameSize] = "";
    ::SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(name));
    const auto& list = LanguageList(GeneralPageServices().moduleFolder);
    auto found = list.find(name);
    return found == list.end() ? 0 : found->second;
}

void ApplyFlags(HWND page) {
    generalPageServices& s = GeneralPageServices();
    windowFlags flags = s.readFlags();
    int wasInTray = flags.showInTray;
    for (const checkBox& box : checkBoxes)
        flags.*box.flag = ::IsDlgButtonChecked(page, box.id) == BST_CHECKED ? 1 : 0;
    flags.languageId = ChosenLanguage(page);
    s.writeFlags(flags);
    if (s.tray && wasInTray == 0 && flags.showInTray == 1)
        s.tray->Add();
    else if (s.tray && wasInTray == 1 && flags.showInTray == 0)
        s.tray->Remove();
    if (s.markSaveOnExit)
        s.markSaveOnExit(flags.saveOnExit == 1);
}

// Writes the default settings over the settings file. The file is cut to
// the new text: the store reads it as one document, and an older, longer
// file would leave a tail after it.
bool WriteDefaultSettings() {
    IUIControl* control = ListServices().control;
    HINSTANCE language = control ? control->GetResourceInstance() : nullptr;
    HRSRC found =
        language ? ::FindResourceA(language, MAKEINTRESOURCEA(IDR_DEFAULT_SETTINGS), "txt") : nullptr;
    HGLOBAL loaded = found ? ::LoadResource(language, found) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    DWORD size = found ? ::SizeofResource(language, found) : 0;
    if (!bytes || size == 0)
        return false;
    HANDLE file = ::CreateFileA(GeneralPageServices().defaultsFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool whole = ::WriteFile(file, bytes, size, &written, nullptr) && written == size;
    ::CloseHandle(file);
    // Only once the defaults are there: the exit must not write the present
    // settings over them.
    if (whole) {
        windowFlags flags = GeneralPageServices().readFlags();
        flags.saveOnExit = 0;
        GeneralPageServices().writeFlags(flags);
    }
    return whole;
}

}  // namespace

generalPageServices& GeneralPageServices() {
    static generalPageServices services;
    return services;
}

const std::map<std::string, DWORD>& LanguageList(const std::string& folder) {
    static std::map<std::string, std::map<std::string, DWORD>> lists;
    auto known = lists.find(folder);
    if (known == lists.end())
        known = lists.emplace(folder, ReadLanguages(folder)).first;
    return known->second;
}

HWND GeneralPageWindow() {
    return pageWindow && ::IsWindow(pageWindow) ? pageWindow : nullptr;
}

INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    const generalPageServices& s = GeneralPageServices();
    if (!s.readFlags || !s.writeFlags)
        return 0;
    switch (message) {
        case WM_INITDIALOG:
            pageWindow = page;
            ShowFlags(page, s.readFlags());
            ::ShowWindow(::GetDlgItem(page, IDC_UIO_DEFAULT_SETTINGS), SW_HIDE);
            ::SendMessageA(page, WM_GENERAL_FILL_LANGUAGES, 0, 0);
            return 0;
        case WM_GENERAL_FILL_LANGUAGES:
            FillLanguages(page, s.readFlags());
            return 0;
        case WM_COMMAND:
            if (wParam == IDOK || wParam == IDC_UIO_APPLY)
                ApplyFlags(page);
            else if (wParam == IDCANCEL)
                ::SendMessageA(page, WM_INITDIALOG, 0, 0);
            else if (wParam == IDC_UIO_DEFAULT_SETTINGS)
                WriteDefaultSettings();
            return 0;
        default:
            return 0;
    }
}

HTREEITEM AddGeneralPage(VOptions& options) {
    IUIControl* control = ListServices().control;
    if (!control)
        return nullptr;
    int image = control->AddIcon(control->GetDefaultResourceInstance(), IDI_UIO_GENERAL);
    HTREEITEM item = options.AddPage(options.GeneralTitle(), nullptr, image, IDD_UIO_GENERAL,
                                     control->GetResourceInstance(), &GeneralPageProc);
    options.Select(item);
    return item;
}

}  // namespace vesk::ui
