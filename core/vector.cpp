#include "core/vector.h"

namespace vesk {

vector::vector(const value& flags) : containerBase(flags) { registerInterfaces(); }

vector::vector(const value& flags, const value& initial) : containerBase(flags) {
    registerInterfaces();
    if (!(initial.code & vt::pointerBit) && initial.code != vt::reference)
        return;
    const value* array = static_cast<const value*>(initial.payload.p);
    if (!array)
        return;
    long n = array[0].asLong();
    for (long i = 1; i <= n; ++i)
        pushBack(array[i]);
}

vector::~vector() { clear(); }

void vector::registerInterfaces() {
    registerInterfaceOf<Ivector>(this);
    registerInterfaceOf<Igeneric>(this);
}

value vector::first() {
    cursor_ = 0;
    return elements_.empty() ? nothing() : elements_[0];
}

value vector::last() {
    if (elements_.empty())
        return nothing();
    cursor_ = size() - 1;
    return elements_[cursor_];
}

value vector::next() {
    if (cursor_ + 1 >= size())
        return nothing();
    return elements_[++cursor_];
}

value vector::previous() {
    if (cursor_ == 0 || cursor_ > size())
        return nothing();
    return elements_[--cursor_];
}

value vector::current() { return cursor_ < size() ? elements_[cursor_] : nothing(); }

value vector::at(unsigned index) {
    if (index >= size())
        return nothing();
    cursor_ = index;
    return elements_[index];
}

value vector::pushBack(const value& v) {
    retain(v);
    elements_.push_back(v);
    return v;
}

bool vector::erase(unsigned from, unsigned count) {
    if (count > size() || from > size() - count)
        return false;
    if (count == 0)
        return true;
    cursor_ = from;
    std::vector<value> removed(elements_.begin() + from, elements_.begin() + from + count);
    elements_.erase(elements_.begin() + from, elements_.begin() + from + count);
    for (const value& v : removed)
        drop(v);
    return true;
}

bool vector::clear() { return erase(0, size()); }

// Copies other's elements 0 .. limit-1 through its at(); the other's size is
// read anew each turn, except when other is this vector, whose size at the
// start is the most that is copied.
unsigned vector::copyFrom(Ivector* other, unsigned limit) {
    if (!other)
        return size();
    bool self = other == static_cast<Ivector*>(this);
    unsigned selfSize = size();
    for (unsigned i = 0; i < limit; ++i) {
        unsigned available = self ? selfSize : other->size();
        if (i >= available)
            break;
        pushBack(other->at(i));
        Sleep(1);
    }
    return size();
}

unsigned vector::append(Ivector* other) { return copyFrom(other, 0xFFFFFFFFu); }

unsigned vector::appendFirst(Ivector* other, int n) {
    if (n <= 0)
        return size();
    return copyFrom(other, static_cast<unsigned>(n));
}

}  // namespace vesk
