#include "plugins/ui/gdiObject.h"

namespace vesk::ui {

namespace {
volatile LONG live = 0;
}

void gdiObject::reset(HGDIOBJ object) {
    if (object_ && ::DeleteObject(object_))
        InterlockedDecrement(&live);
    object_ = object;
    if (object_)
        InterlockedIncrement(&live);
}

long gdiObject::Live() {
    return live;
}

}  // namespace vesk::ui
