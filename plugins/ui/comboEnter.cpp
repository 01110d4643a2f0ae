#include "plugins/ui/comboEnter.h"

#include <cstring>
#include <cwchar>

namespace vesk::ui {

bool EnterPressed(const NMHDR* header, std::string* text) {
    if (!header)
        return false;
    if (header->code == CBEN_ENDEDITA) {
        const auto* end = reinterpret_cast<const NMCBEENDEDITA*>(header);
        if (end->iWhy != CBENF_RETURN)
            return false;
        if (text)
            text->assign(end->szText, ::strnlen(end->szText, sizeof end->szText));
        return true;
    }
    if (header->code == CBEN_ENDEDITW) {
        const auto* end = reinterpret_cast<const NMCBEENDEDITW*>(header);
        if (end->iWhy != CBENF_RETURN)
            return false;
        if (text) {
            int length = static_cast<int>(::wcsnlen(end->szText, CBEMAXSTRLEN));
            char ansi[CBEMAXSTRLEN * 2] = "";
            int n = ::WideCharToMultiByte(CP_ACP, 0, end->szText, length, ansi, sizeof ansi - 1, nullptr, nullptr);
            text->assign(ansi, n > 0 ? static_cast<std::size_t>(n) : 0);
        }
        return true;
    }
    return false;
}

std::vector<std::string> ComboEntries(HWND box, int limit) {
    std::vector<std::string> entries;
    int count = box ? static_cast<int>(::SendMessageA(box, CB_GETCOUNT, 0, 0)) : 0;
    std::vector<char> text(limit > 0 ? static_cast<std::size_t>(limit) : 1u);
    for (int i = 0; i < count; ++i) {
        text[0] = '\0';
        COMBOBOXEXITEMA item = {};
        item.mask = CBEIF_TEXT;
        item.iItem = i;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        if (::SendMessageA(box, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
            entries.emplace_back(text.data());
    }
    return entries;
}

}  // namespace vesk::ui
