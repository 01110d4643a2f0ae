#include "plugins/Dravik/skin.h"

#include <initializer_list>

namespace vesk::ui {

namespace {

unsigned sizeValue(unsigned cx, unsigned cy) { return (cx & 0xFFFF) | ((cy & 0xFFFF) << 16); }

skinData* current = nullptr;

}  // namespace

skinData::skinData() {
    using namespace skinValue;
    for (unsigned id : {systemBoxSize, closeBoxSize, maximizeBoxSize, minimizeBoxSize})
        values_[id] = sizeValue(15, 15);
    values_[systemBoxX] = 4;
    values_[closeBoxX] = static_cast<unsigned>(-10);
    values_[maximizeBoxX] = static_cast<unsigned>(-20);
    values_[minimizeBoxX] = static_cast<unsigned>(-40);
    for (unsigned id : {systemBoxY, closeBoxY, maximizeBoxY, minimizeBoxY})
        values_[id] = 3;
    edges[0] = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    edges[1] = ::GetSysColor(COLOR_BTNSHADOW);
    edges[2] = ::GetSysColor(COLOR_3DDKSHADOW);
}

skinData::~skinData() { SetBackgroundBrush(nullptr, false); }

void skinData::Set(unsigned id, unsigned raw) {
    if (id < skinValue::count)
        values_[id] = raw;
    if (id == skinValue::background)
        background = raw;
}

SIZE skinData::Size(unsigned id) const {
    unsigned raw = Raw(id);
    return SIZE{static_cast<LONG>(raw & 0xFFFF), static_cast<LONG>(raw >> 16)};
}

void skinData::SetBackgroundBrush(HBRUSH brush, bool owned) {
    HBRUSH old = brush_;
    bool ownedOld = ownsBrush_;
    brush_ = brush;
    ownsBrush_ = owned;
    if (ownedOld && old && old != brush)
        ::DeleteObject(old);
}

skinData& BuiltInSkin() {
    static skinData* builtIn = new skinData();  // lives to the end: windows paint late
    return *builtIn;
}

skinData& CurrentSkin() { return current ? *current : BuiltInSkin(); }

void SetCurrentSkin(skinData* skin) { current = skin; }

libraryColours& LibraryColours() {
    static libraryColours colours = {::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW),
                                     ::GetSysColor(COLOR_3DDKSHADOW)};
    return colours;
}

void ReadSystemColours() {
    LibraryColours() = {::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW),
                        ::GetSysColor(COLOR_3DDKSHADOW)};
}

void FillBackground(HDC dc, const RECT& rect) {
    HBRUSH brush = CurrentSkin().BackgroundBrush();
    ::FillRect(dc, &rect, brush ? brush : reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
}

int DrawSkinPart(HWND window, HDC dc, int x, int y, int width, int height, int part) {
    SkinDrawProc draw = CurrentSkin().draw;
    return draw ? draw(window, dc, x, y, width, height, part, 0, 0) : 0;
}

}  // namespace vesk::ui
