// Owners of the GDI objects and device contexts a frame makes. Each counts
// itself alive from its creation to its deletion: Wine answers 0 to
// GetGuiResources, so these counts are how a leak shows.
#pragma once

#include <windows.h>

#include <utility>

namespace vesk::zintaro {

// Objects and contexts made through these owners and not yet deleted.
long liveGdiObjects();
// Made through these owners since the module was loaded.
long gdiObjectsMade();

namespace gdiCount {
void made();
void deleted();
}  // namespace gdiCount

// A bitmap, pen or brush, deleted when the owner goes. It must not be
// selected into a context by then (a selection restores first).
template <class Handle>
class gdiObject {
public:
    gdiObject() = default;
    // Takes the new handle over; null makes an empty owner.
    explicit gdiObject(Handle handle) : handle_(handle) {
        if (handle_)
            gdiCount::made();
    }
    ~gdiObject() { reset(); }
    gdiObject(gdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    gdiObject& operator=(gdiObject&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    gdiObject(const gdiObject&) = delete;
    gdiObject& operator=(const gdiObject&) = delete;

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

    void reset() {
        // An object that cannot be deleted stays counted: that is a leak.
        if (handle_ && DeleteObject(handle_))
            gdiCount::deleted();
        handle_ = nullptr;
    }

private:
    Handle handle_ = nullptr;
};

using ownedBitmap = gdiObject<HBITMAP>;
using ownedPen = gdiObject<HPEN>;
using ownedBrush = gdiObject<HBRUSH>;

// A memory context compatible with another (null: with the screen).
class memoryDc {
public:
    explicit memoryDc(HDC compatibleWith);
    ~memoryDc();
    memoryDc(const memoryDc&) = delete;
    memoryDc& operator=(const memoryDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
};

// The screen's context, released when the owner goes.
class screenDc {
public:
    screenDc();
    ~screenDc();
    screenDc(const screenDc&) = delete;
    screenDc& operator=(const screenDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
};

// An object selected into a context for the selection's lifetime; the
// context's previous object comes back when it goes. Declare it after the
// owner of the object so that it goes first.
class selection {
public:
    selection(HDC dc, HGDIOBJ object);
    ~selection();
    selection(const selection&) = delete;
    selection& operator=(const selection&) = delete;
    explicit operator bool() const { return previous_ != nullptr; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace vesk::zintaro
