// What the library's own drawing reads of the current skin, and the three
// colours it draws borders and grippers with. The skin engine decides which
// skin is current; until a skin with a drawing procedure is current the
// library draws with system colours.
#pragma once

#include <windows.h>

#include "plugins/Dravik/export.h"
#include "vesk/ui.h"

namespace vesk::ui {

// Skin value ids read by the frame and the dock windows.
namespace skinValue {
constexpr unsigned borderTop = 1, borderLeft = 2, borderRight = 3, borderBottom = 4;
constexpr unsigned systemBoxSize = 6, systemBoxX = 7, closeBoxSize = 8, closeBoxX = 9;
constexpr unsigned maximizeBoxSize = 10, maximizeBoxX = 11, minimizeBoxSize = 12, minimizeBoxX = 13;
constexpr unsigned systemBoxY = 14, closeBoxY = 15, maximizeBoxY = 16, minimizeBoxY = 17;
constexpr unsigned background = 20;
// The library's three drawing colours: shared, not per skin.
constexpr unsigned libraryHighlight = 21, libraryShadow = 22, libraryDarkShadow = 23;
// Tab bars and lists: the selected tab's and a list's background, a list's
// text background, the selected tab's and a list's text.
constexpr unsigned contentBackground = 24, spareColour = 25, textBackground = 26, contentText = 27;
constexpr unsigned count = 28;
}  // namespace skinValue

// Drawing parts handed to a skin's drawing procedure.
namespace skinPart {
constexpr int band = 0, frame = 1, dockArea = 3, maximizeBox = 4, closeBox = 5;
constexpr int gripperVertical = 101, gripperHorizontal = 102;
constexpr int closeNormal = 103, closePressed = 104, closeHot = 105;
}  // namespace skinPart

class DRAVIK_API skinData {
public:
    skinData();
    skinData(const skinData&) = delete;
    skinData& operator=(const skinData&) = delete;
    ~skinData();

    SkinDrawProc draw = nullptr;
    // Values as SetValue stores them: a size holds cx in its low and cy in
    // its high 16 bits; ids beyond the table are not kept. The background
    // value is also the background colour.
    void Set(unsigned id, unsigned raw);
    unsigned Raw(unsigned id) const { return id < skinValue::count ? values_[id] : 0; }
    int Number(unsigned id) const { return static_cast<int>(Raw(id)); }
    SIZE Size(unsigned id) const;

    COLORREF background = 0;
    // The brush of the frame's background; deleted by the skin only when
    // the skin made it.
    HBRUSH BackgroundBrush() const { return brush_; }
    void SetBackgroundBrush(HBRUSH brush, bool owned);
    // Button highlight, button shadow, dark 3-D shadow.
    COLORREF edges[3];

private:
    unsigned values_[skinValue::count] = {};
    HBRUSH brush_ = nullptr;
    bool ownsBrush_ = false;
};

// The skin the library draws with: the built-in one unless the skin engine
// chose another (null goes back to the built-in one).
DRAVIK_API skinData& CurrentSkin();
DRAVIK_API void SetCurrentSkin(skinData* skin);
DRAVIK_API skinData& BuiltInSkin();

// The library's three drawing colours, one set for the whole process.
struct libraryColours {
    COLORREF highlight, shadow, darkShadow;
};
DRAVIK_API libraryColours& LibraryColours();
// Takes them from the system again.
DRAVIK_API void ReadSystemColours();

// The current skin's drawing procedure, asked to draw a part: its answer,
// 0 when there is no procedure (the library then draws itself).
int DrawSkinPart(HWND window, HDC dc, int x, int y, int width, int height, int part);
inline bool Skinned() { return CurrentSkin().draw != nullptr; }

// Fills the rectangle with what the frame erases its background with (the
// skin's brush, or the button face before the frame was made). The dock
// areas and containers have no class brush: their paint handlers fill the
// parts no child covers, or old pixels would stay there.
void FillBackground(HDC dc, const RECT& rect);

}  // namespace vesk::ui
