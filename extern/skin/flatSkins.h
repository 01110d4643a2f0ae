// What the flat skins stand-in registers and exports, for the tests that
// load it.
#pragma once

#include <windows.h>

namespace vesk::skinStandIn {

struct flatSkin {
    const char* name;
    const char* description;
    COLORREF background;  // value 20: every part is filled with it
    COLORREF content;     // value 24
    COLORREF text;        // value 27
    int answer;           // the drawing procedure's answer: 1 drew the part
};

constexpr int captionHeight = 22;  // value 1, the top border
constexpr int edgeWidth = 4;       // values 2 to 4

// In the order "Load" registers them.
constexpr flatSkin skins[] = {
    {"Flat teal", "Teal parts, drawn by the skin alone", RGB(0, 128, 128), RGB(0, 96, 160), RGB(255, 255, 0), 1},
    {"Flat plum", "Plum parts under the library's own drawing", RGB(128, 0, 96), RGB(160, 80, 0),
     RGB(255, 255, 255), 0},
};

// Exports besides "Load" and "Init": the part numbers the drawing procedure
// was asked for since the last "Init" (at most `size`; the number copied),
// and that record emptied.
using drawnPartsEntry = int (*)(int* out, int size);
using forgetPartsEntry = void (*)();

}  // namespace vesk::skinStandIn
