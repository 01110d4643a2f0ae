#include "Zintaro/colorText.h"

#include <cwchar>

namespace vesk::zintaro {

namespace {

int hexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    return -1;
}

}  // namespace

HRESULT FormatColorText(COLORREF colour, BSTR* text) {
    if (!text)
        return E_POINTER;
    wchar_t formatted[8];
    unsigned rgb = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    std::swprintf(formatted, sizeof formatted / sizeof formatted[0], L"#%06X", rgb);
    *text = SysAllocString(formatted);
    return *text ? S_OK : E_FAIL;
}

HRESULT ParseColorText(BSTR text, COLORREF& colour) {
    if (!text)
        return E_POINTER;
    if (SysStringLen(text) != 7)
        return E_INVALIDARG;
    unsigned rgb = 0;
    for (int i = 1; i < 7; ++i) {
        int digit = hexDigit(text[i]);
        if (digit < 0)
            return E_INVALIDARG;
        rgb = (rgb << 4) | static_cast<unsigned>(digit);
    }
    colour = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    return S_OK;
}

}  // namespace vesk::zintaro
