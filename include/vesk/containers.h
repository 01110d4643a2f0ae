// Containers of values. None takes its own lock inside an operation: users
// that share one between threads lock getLock() (mode 0) around their use.
// In add-ref mode (flags bit 0) a container holds one reference to every
// stored object (keys included) and gives it up when the value leaves.
// Results are copies; no reference is added for the caller. Operations with
// nothing to return give the long value 0.
#pragma once

#include "vesk/lock.h"
#include "vesk/value.h"

namespace vesk {

constexpr unsigned long addRefMode = 1;

// An ordered map by the value ordering, with a cursor.
struct Ihash : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::Ihash *";
    virtual value first() = 0;
    virtual value last() = 0;
    virtual value next() = 0;
    virtual value currentValue() = 0;
    virtual value currentKey() = 0;
    virtual value setCurrentValue(const value& v) = 0;
    virtual value set(const value& key, const value& v) = 0;
    virtual bool erase(value key) = 0;
    virtual value previous() = 0;
    virtual value find(value key) = 0;
    virtual unsigned size() = 0;
    virtual bool empty() = 0;
    virtual void clear() = 0;
    virtual int reserved() = 0;
    virtual Ilock* getLock() = 0;
};

// A contiguous sequence with a cursor index.
struct Ivector : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::Ivector *";
    virtual value first() = 0;
    virtual value last() = 0;
    virtual value next() = 0;
    virtual value previous() = 0;
    virtual value current() = 0;
    virtual value at(unsigned index) = 0;
    virtual value pushBack(const value& v) = 0;
    virtual bool erase(unsigned from, unsigned count) = 0;
    virtual unsigned size() = 0;
    virtual bool empty() = 0;
    virtual bool clear() = 0;
    // Both sleep 1 ms per element copied; appending a vector to itself
    // copies the elements it had when the call began.
    virtual unsigned append(Ivector* other) = 0;
    virtual unsigned appendFirst(Ivector* other, int n) = 0;
    virtual Ilock* getLock() = 0;
};

struct Iqueue : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::Iqueue *";
    virtual unsigned size() = 0;
    virtual bool empty() = 0;
    virtual bool clear() = 0;
    virtual bool push(const value& v) = 0;
    virtual bool pop() = 0;
    virtual value front() = 0;
    virtual Ilock* getLock() = 0;
};

struct Istack : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::Istack *";
    virtual unsigned size() = 0;
    virtual bool empty() = 0;
    virtual bool clear() = 0;
    virtual bool push(const value& v) = 0;
    virtual bool pop() = 0;
    virtual value top() = 0;
    virtual Ilock* getLock() = 0;
};

struct Ipair : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::Ipair *";
    virtual value getFirst() = 0;
    virtual void setFirst(const value& v) = 0;
    virtual value getSecond() = 0;
    virtual void setSecond(const value& v) = 0;
    virtual Ilock* getLock() = 0;
};

struct Itrio : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::Itrio *";
    virtual value getFirst() = 0;
    virtual void setFirst(const value& v) = 0;
    virtual value getSecond() = 0;
    virtual void setSecond(const value& v) = 0;
    virtual value getThird() = 0;
    virtual void setThird(const value& v) = 0;
    virtual Ilock* getLock() = 0;
};

struct Iquad : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::Iquad *";
    virtual value getFirst() = 0;
    virtual void setFirst(const value& v) = 0;
    virtual value getSecond() = 0;
    virtual void setSecond(const value& v) = 0;
    virtual value getThird() = 0;
    virtual void setThird(const value& v) = 0;
    virtual value getFourth() = 0;
    virtual void setFourth(const value& v) = 0;
    virtual Ilock* getLock() = 0;
};

}  // namespace vesk
