// A GDI object (font, bitmap, brush) deleted by scope. The module counts
// the objects its wrappers hold: the platform's own count reads 0 under
// Wine, so a leak shows only here.
#pragma once

#include <windows.h>

namespace vesk::ui {

class gdiObject {
public:
    gdiObject() = default;
    explicit gdiObject(HGDIOBJ object) { reset(object); }
    ~gdiObject() { reset(); }
    gdiObject(const gdiObject&) = delete;
    gdiObject& operator=(const gdiObject&) = delete;

    // Deletes the object held and takes the new one (null: none).
    void reset(HGDIOBJ object = nullptr);
    HGDIOBJ get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

    // The objects held by every wrapper of the module.
    static long Live();

private:
    HGDIOBJ object_ = nullptr;
};

}  // namespace vesk::ui
