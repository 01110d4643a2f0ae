// The filters page: two lists of words that hide results by name, one
// matched in order ("TEXTORDER"), one contained ("IN").
#include <string>
#include <vector>

#include "core/capsule.h"
#include "extern/rsrc/rsrcIds.h"
#include "plugins/Ombrel/manager.h"
#include "plugins/Ombrel/moduleServices.h"
#include "plugins/Ombrel/optionPages.h"
#include "core/string.h"
#include "vesk/data.h"

namespace vesk::ss {

namespace {

constexpr int wordLimit = 255;  // 254 characters
constexpr int fieldNameLimit = 260;

struct wordList {
    int edit;
    int add;
    int list;
    int remove;
    const char* operatorName;
};

const wordList lists[] = {
    {IDC_SS_IN_ORDER_WORD, IDC_SS_ADD_IN_ORDER, IDC_SS_IN_ORDER_LIST, IDC_SS_REMOVE_IN_ORDER, "TEXTORDER"},
    {IDC_SS_CONTAINS_WORD, IDC_SS_ADD_CONTAINS, IDC_SS_CONTAINS_LIST, IDC_SS_REMOVE_CONTAINS, "IN"},
};

void show(HWND page, CSSManager& manager) {
    for (const wordList& l : lists)
        SendDlgItemMessageA(page, l.list, LB_RESETCONTENT, 0, 0);
    for (const auto& filter : manager.Filters())
        for (const wordList& l : lists)
            if (filter->operatorName == l.operatorName)
                SendDlgItemMessageA(page, l.list, LB_ADDSTRING, 0,
                                    reinterpret_cast<LPARAM>(filter->friendlyName.c_str()));
}

// An empty word is not added: it would hide every result.
void addWord(HWND page, const wordList& l) {
    char word[wordLimit] = {};
    GetDlgItemTextA(page, l.edit, word, wordLimit);
    if (*word)
        SendDlgItemMessageA(page, l.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(word));
}

void removeSelected(HWND page, const wordList& l) {
    LRESULT selected = SendDlgItemMessageA(page, l.list, LB_GETCURSEL, 0, 0);
    if (selected != LB_ERR)
        SendDlgItemMessageA(page, l.list, LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
}

std::vector<std::string> entriesOf(HWND page, int list) {
    std::vector<std::string> entries;
    LRESULT count = SendDlgItemMessageA(page, list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = SendDlgItemMessageA(page, list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length < 0)
            continue;
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        SendDlgItemMessageA(page, list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
        text.resize(static_cast<std::size_t>(length));
        entries.push_back(text);
    }
    return entries;
}

// Every filter replaced by the lists' words, in one step.
void store(HWND page, CSSManager& manager) {
    std::string fieldName = languageText(IDS_SS_FILTER_FIELD, fieldNameLimit);
    std::vector<ref<Istring>> operands;  // held until the filters have their copies
    std::vector<filterRequest> requests;
    for (const wordList& l : lists) {
        for (const std::string& word : entriesOf(page, l.list)) {
            operands.emplace_back(new vesk::string(word.c_str()));
            requests.push_back(filterRequest{word, fieldName, l.operatorName, value(operands.back().get())});
        }
    }
    manager.ReplaceFilters(requests);
}

}  // namespace

INT_PTR CALLBACK FiltersPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    CSSManager* manager = services().manager;
    if (!manager)
        return 0;
    if (message == WM_INITDIALOG) {
        show(page, *manager);
        return 1;
    }
    if (message != WM_COMMAND)
        return 0;
    if (wParam == pageOk || wParam == pageApply) {
        store(page, *manager);
        return 0;
    }
    if (wParam == pageCancel) {
        show(page, *manager);
        return 0;
    }
    for (const wordList& l : lists) {
        if (wParam == static_cast<WPARAM>(l.add))
            addWord(page, l);
        else if (wParam == static_cast<WPARAM>(l.remove))
            removeSelected(page, l);
    }
    return 0;
}

}  // namespace vesk::ss
