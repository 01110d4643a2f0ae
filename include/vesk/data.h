// Text and byte objects that carry data across modules.
#pragma once

#include "vesk/object.h"

namespace vesk {

// An immutable copy of a C string. The text is null for a string made from
// null; length is strlen modulo 65536.
struct Istring : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::Istring *";
    virtual const char* c_str() = 0;
    virtual unsigned short length() = 0;
};

// A growable block of bytes with a position. No operation reports an error
// but through its result; none throws.
struct Ibuffer : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::Ibuffer *";
    // Grows (new bytes zero-filled) or shrinks to n; 0 or the current size
    // changes nothing, so resize(0) reads the size. Returns the size after.
    virtual unsigned resize(unsigned n) = 0;
    virtual unsigned setSize(unsigned n) = 0;
    // New buffer (count 0) with bytes [from, to); null when out of range.
    virtual Ibuffer* slice(unsigned from, unsigned to) = 0;
    // Appends n bytes; null or n <= 0 change nothing. Returns the size.
    virtual unsigned append(const void* bytes, int n) = 0;
    virtual void appendBuffer(Ibuffer* other) = 0;
    // The data at the position.
    virtual unsigned char* current() = 0;
    // New buffer (count 0) with a copy of every byte, position 0.
    virtual Ibuffer* clone() = 0;
    // Replaces the content; null empties the buffer. The position stays.
    virtual void assign(const void* bytes, int n) = 0;
    // origin 0 start, 1 position, 2 end; the result is kept within [0, size].
    virtual int seek(int offset, int origin) = 0;
    virtual int tell() = 0;
};

}  // namespace vesk
