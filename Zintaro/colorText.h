// The foreground colour as scripts read and write it: "#RRGGBB".
#pragma once

#include <windows.h>
#include <oleauto.h>

namespace vesk::zintaro {

// A new BSTR "#RRGGBB" (upper-case digits) in *text; E_POINTER for a null
// text, E_FAIL (and null) when the string cannot be made.
HRESULT FormatColorText(COLORREF colour, BSTR* text);

// Seven characters: the first is not examined, the other six are
// hexadecimal digits RRGGBB. E_POINTER for a null text, E_INVALIDARG for any
// other shape; colour changes only on S_OK.
HRESULT ParseColorText(BSTR text, COLORREF& colour);

}  // namespace vesk::zintaro
