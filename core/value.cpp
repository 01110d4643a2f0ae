#include "vesk/value.h"

#include <cstdlib>
#include <cstring>

#include "core/buffer.h"
#include "vesk/data.h"

namespace vesk {

namespace {

// Null sorts before any text; two nulls are equal.
bool textLess(const char* a, const char* b) {
    if (!a || !b)
        return !a && b;
    return std::strcmp(a, b) < 0;
}

// Null for a string object without a payload or without a text: such an
// object is no text and orders neither before nor after anything.
const char* textOfStringObject(Istring* s) { return s ? s->c_str() : nullptr; }

template <class N>
bool pointeeLess(const N* a, const N* b) {
    if (!a || !b)
        return !a && b;
    return *a < *b;
}

bool bufferLess(Ibuffer* a, Ibuffer* b) {
    if (!a || !b)
        return false;
    unsigned sa = a->resize(0), sb = b->resize(0);
    if (sa != sb)
        return sa < sb;
    if (sa == 0)
        return false;
    return std::memcmp(bufferData(a), bufferData(b), sa) < 0;
}

bool sameCodeLess(const value& a, const value& b) {
    const auto& x = a.payload;
    const auto& y = b.payload;
    switch (a.code) {
    case vt::charV: return x.c < y.c;
    case vt::shortV: return x.s < y.s;
    case vt::longV: return x.l < y.l;
    case vt::longlongV: return x.ll < y.ll;
    case vt::ucharV: return x.uc < y.uc;
    case vt::ushortV: return x.us < y.us;
    case vt::ulongV: return x.ul < y.ul;
    case vt::ulonglongV: return x.ull < y.ull;
    case vt::floatV: return x.f < y.f;
    case vt::doubleV: return x.d < y.d;
    case vt::pointer:
    case vt::object:
        return reinterpret_cast<std::uintptr_t>(x.p) < reinterpret_cast<std::uintptr_t>(y.p);
    case vt::cString:
    case vt::bytes:
        return textLess(x.text, y.text);
    case vt::shortPtr: return pointeeLess(static_cast<short*>(x.p), static_cast<short*>(y.p));
    case vt::ushortPtr:
        return pointeeLess(static_cast<unsigned short*>(x.p), static_cast<unsigned short*>(y.p));
    case vt::longPtr: return pointeeLess(static_cast<long*>(x.p), static_cast<long*>(y.p));
    case vt::ulongPtr:
        return pointeeLess(static_cast<unsigned long*>(x.p), static_cast<unsigned long*>(y.p));
    case vt::longlongPtr:
        return pointeeLess(static_cast<long long*>(x.p), static_cast<long long*>(y.p));
    case vt::ulonglongPtr:
        return pointeeLess(static_cast<unsigned long long*>(x.p), static_cast<unsigned long long*>(y.p));
    case vt::floatPtr: return pointeeLess(static_cast<float*>(x.p), static_cast<float*>(y.p));
    case vt::doublePtr: return pointeeLess(static_cast<double*>(x.p), static_cast<double*>(y.p));
    case vt::stringObject: {
        const char* p = textOfStringObject(x.string);
        const char* q = textOfStringObject(y.string);
        return p && q && std::strcmp(p, q) < 0;
    }
    case vt::bufferObject: return bufferLess(x.buffer, y.buffer);
    default: return false;
    }
}

}  // namespace

value::value() : code(vt::empty), owned(0) { payload.raw = 0; }
value::value(int v) : value() { code = vt::longV; payload.l = v; }
value::value(unsigned int v) : value() { code = vt::ulongV; payload.ul = v; }
value::value(long v) : value() { code = vt::longV; payload.l = v; }
value::value(unsigned long v) : value() { code = vt::ulongV; payload.ul = v; }
value::value(char v) : value() { code = vt::charV; payload.c = v; }
value::value(unsigned char v) : value() { code = vt::ucharV; payload.uc = v; }
value::value(short v) : value() { code = vt::shortV; payload.s = v; }
value::value(unsigned short v) : value() { code = vt::ushortV; payload.us = v; }
value::value(long long v) : value() { code = vt::longlongV; payload.ll = v; }
value::value(unsigned long long v) : value() { code = vt::ulonglongV; payload.ull = v; }
value::value(float v) : value() { code = vt::floatV; payload.f = v; }
value::value(double v) : value() { code = vt::doubleV; payload.d = v; }
value::value(const char* text) : value() { code = vt::cString; payload.text = text; }
value::value(unsigned char* bytes) : value() { code = vt::bytes; payload.bytes = bytes; }
value::value(void* p) : value() { code = vt::pointer; payload.p = p; }
value::value(Igeneric* object) : value() { code = vt::object; payload.object = object; }
value::value(Istring* string) : value() { code = vt::stringObject; payload.string = string; }
value::value(Ibuffer* buffer) : value() { code = vt::bufferObject; payload.buffer = buffer; }

value::~value() {
    if (owned) {
        if (code & vt::objectBit) {
            if (Igeneric* o = anyObject())
                o->release();
        } else if (code & vt::pointerBit) {
            std::free(payload.p);
            payload.p = nullptr;
        }
    }
    owned = 0;
}

Igeneric* value::anyObject() const {
    switch (code) {
    case vt::object: return payload.object;
    case vt::stringObject: return payload.string;
    case vt::bufferObject: return payload.buffer;
    default: return nullptr;
    }
}

long value::asLong() const { return code == vt::longV ? payload.l : 0; }
unsigned long value::asUlong() const { return code == vt::ulongV ? payload.ul : 0; }
char value::asChar() const { return code == vt::charV ? payload.c : 0; }
unsigned char value::asUchar() const { return code == vt::ucharV ? payload.uc : 0; }
short value::asShort() const { return code == vt::shortV ? payload.s : 0; }
unsigned short value::asUshort() const { return code == vt::ushortV ? payload.us : 0; }
long long value::asLongLong() const { return code == vt::longlongV ? payload.ll : 0; }
pointerInt value::asPointerInt() const {
    if (code != vt::pointerIntV)
        return 0;
    return sizeof(pointerInt) == sizeof(long) ? static_cast<pointerInt>(payload.l)
                                                : static_cast<pointerInt>(payload.ll);
}
unsigned long long value::asUlongLong() const { return code == vt::ulonglongV ? payload.ull : 0; }
float value::asFloat() const { return code == vt::floatV ? payload.f : 0; }
double value::asDouble() const { return code == vt::doubleV ? payload.d : 0; }
void* value::asPointer() const { return code == vt::pointer ? payload.p : nullptr; }
const char* value::asCString() const { return code == vt::cString ? payload.text : nullptr; }
unsigned char* value::asBytes() const { return code == vt::bytes ? payload.bytes : nullptr; }
short* value::asShortPtr() const { return code == vt::shortPtr ? static_cast<short*>(payload.p) : nullptr; }
unsigned short* value::asUshortPtr() const {
    return code == vt::ushortPtr ? static_cast<unsigned short*>(payload.p) : nullptr;
}
long* value::asLongPtr() const { return code == vt::longPtr ? static_cast<long*>(payload.p) : nullptr; }
unsigned long* value::asUlongPtr() const {
    return code == vt::ulongPtr ? static_cast<unsigned long*>(payload.p) : nullptr;
}
long long* value::asLongLongPtr() const {
    return code == vt::longlongPtr ? static_cast<long long*>(payload.p) : nullptr;
}
unsigned long long* value::asUlongLongPtr() const {
    return code == vt::ulonglongPtr ? static_cast<unsigned long long*>(payload.p) : nullptr;
}
float* value::asFloatPtr() const { return code == vt::floatPtr ? static_cast<float*>(payload.p) : nullptr; }
double* value::asDoublePtr() const { return code == vt::doublePtr ? static_cast<double*>(payload.p) : nullptr; }
Igeneric* value::asGeneric() const { return code == vt::object ? payload.object : nullptr; }
Istring* value::asString() const { return code == vt::stringObject ? payload.string : nullptr; }
Ibuffer* value::asBuffer() const { return code == vt::bufferObject ? payload.buffer : nullptr; }

bool valueLess(const value& a, const value& b) {
    if (a.code == b.code)
        return sameCodeLess(a, b);
    if (a.code == vt::stringObject && b.code == vt::cString) {
        const char* text = textOfStringObject(a.payload.string);
        return text && textLess(text, b.payload.text);
    }
    if (a.code == vt::cString && b.code == vt::stringObject) {
        const char* text = textOfStringObject(b.payload.string);
        return text && textLess(a.payload.text, text);
    }
    return false;
}

}  // namespace vesk
