// The tagged value that crosses every interface: a 32-bit type code, an
// 8-byte payload and an owned flag. Every module compiles this same layout
// (24 bytes: code, payload at offset 8, owned at 16).
//
// A value passed by value is owned by the caller (GCC's ABI destroys it in
// the caller); callees never destroy their by-value arguments. Copies never
// add references: a container or store that keeps an object alive adds the
// reference itself.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vesk {

struct Igeneric;
struct Istring;
struct Ibuffer;

namespace vt {
// Flag bits of a type code.
constexpr std::uint32_t objectBit = 0x1;
constexpr std::uint32_t pointerBit = 0x4000;

constexpr std::uint32_t empty = 0;
constexpr std::uint32_t object = 0x1;
constexpr std::uint32_t stringObject = 0x400001;
constexpr std::uint32_t bufferObject = 0x800001;
constexpr std::uint32_t charV = 0x40040;
constexpr std::uint32_t ucharV = 0xC0080;
constexpr std::uint32_t shortV = 0x40002;
constexpr std::uint32_t ushortV = 0xC0100;
constexpr std::uint32_t longV = 0x40004;
constexpr std::uint32_t ulongV = 0xC0004;
constexpr std::uint32_t longlongV = 0x40400;
constexpr std::uint32_t ulonglongV = 0xC0400;
constexpr std::uint32_t floatV = 0x100008;
constexpr std::uint32_t doubleV = 0x100010;
constexpr std::uint32_t pointer = 0x4000;
constexpr std::uint32_t cString = 0x44040;
constexpr std::uint32_t bytes = 0xC4080;
constexpr std::uint32_t shortPtr = 0x44002;
constexpr std::uint32_t ushortPtr = 0xC4100;
constexpr std::uint32_t longPtr = 0x44004;
constexpr std::uint32_t ulongPtr = 0xC4004;
constexpr std::uint32_t longlongPtr = 0x44400;
constexpr std::uint32_t ulonglongPtr = 0xC4400;
constexpr std::uint32_t floatPtr = 0x104008;
constexpr std::uint32_t doublePtr = 0x104010;
constexpr std::uint32_t reference = 0x200000;
}  // namespace vt

// An integer as wide as a pointer, for the places where a value or an
// interface carries an address as a number (thread procedures, share objects
// in search results, the factory table). On 32-bit Windows it is exactly
// long, so every 32-bit layout, export and stored file stays as it was; on
// 64-bit Windows long stays 32 bits wide and the address needs long long.
#ifdef _WIN64
using pointerInt = long long;
#else
using pointerInt = long;
#endif
static_assert(sizeof(pointerInt) == sizeof(void*), "an address fits its number");

namespace vt {
// The code of a value made from a pointerInt: long on 32-bit Windows.
constexpr std::uint32_t pointerIntV = sizeof(pointerInt) == sizeof(long) ? longV : longlongV;
}  // namespace vt
static_assert(sizeof(void*) != 4 || vt::pointerIntV == vt::longV, "32-bit values carry addresses as long");

struct value {
    std::uint32_t code;
    union alignas(8) payloadUnion {
        char c;
        unsigned char uc;
        short s;
        unsigned short us;
        long l;
        unsigned long ul;
        long long ll;
        unsigned long long ull;
        float f;
        double d;
        void* p;
        const char* text;
        unsigned char* bytes;
        Igeneric* object;
        Istring* string;
        Ibuffer* buffer;
        value* ref;
        std::uint64_t raw;
    } payload;
    unsigned char owned;

    value();
    value(int v);  // a plain int literal is a long
    value(unsigned int v);
    value(long v);
    value(unsigned long v);
    value(char v);
    value(unsigned char v);
    value(short v);
    value(unsigned short v);
    value(long long v);
    value(unsigned long long v);
    value(float v);
    value(double v);
    value(const char* text);  // the pointer is kept, the text is not copied
    value(unsigned char* bytes);
    value(void* p);
    value(Igeneric* object);  // no reference is added
    value(Istring* string);
    value(Ibuffer* buffer);
    ~value();  // releases or frees only when owned is 1

    value(const value&) = default;
    value& operator=(const value&) = default;

    // Each accessor answers only for its exact code; 0 or null otherwise.
    long asLong() const;
    unsigned long asUlong() const;
    char asChar() const;
    unsigned char asUchar() const;
    short asShort() const;
    unsigned short asUshort() const;
    long long asLongLong() const;
    unsigned long long asUlongLong() const;
    float asFloat() const;
    double asDouble() const;
    void* asPointer() const;
    const char* asCString() const;
    unsigned char* asBytes() const;
    short* asShortPtr() const;
    unsigned short* asUshortPtr() const;
    long* asLongPtr() const;
    unsigned long* asUlongPtr() const;
    long long* asLongLongPtr() const;
    unsigned long long* asUlongLongPtr() const;
    float* asFloatPtr() const;
    double* asDoublePtr() const;
    Igeneric* asGeneric() const;
    Istring* asString() const;
    Ibuffer* asBuffer() const;
    // A number made from a pointerInt (long on 32-bit Windows); 0 otherwise.
    pointerInt asPointerInt() const;

    bool hasObject() const { return (code & vt::objectBit) && payload.p; }
    // The object of any object code (generic, string, buffer) as its root.
    Igeneric* anyObject() const;
};

static_assert(sizeof(value) == 24, "value layout is shared by every module");
static_assert(offsetof(value, payload) == 8, "value layout is shared by every module");
static_assert(offsetof(value, owned) == 16, "value layout is shared by every module");

// An address carried as a number (pointerInt), and read back from one.
template <typename T>
value addressValue(T* address) {
    return value(reinterpret_cast<pointerInt>(address));
}
template <typename T>
T addressFrom(const value& v) {
    return reinterpret_cast<T>(v.asPointerInt());
}

// The "nothing" result: a long 0.
inline value nothing() { return value(0L); }

// Strict less-than of the value ordering; the key order of every hash.
bool valueLess(const value& a, const value& b);

}  // namespace vesk
