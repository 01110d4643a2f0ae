#include "core/queue.h"

namespace vesk {

queue::queue(const value& flags) : containerBase(flags) {
    registerInterfaceOf<Iqueue>(this);
    registerInterfaceOf<Igeneric>(this);
}

queue::~queue() { clear(); }

bool queue::clear() {
    while (pop()) {
    }
    return true;
}

bool queue::push(const value& v) {
    retain(v);
    elements_.push_back(v);
    return true;
}

bool queue::pop() {
    if (elements_.empty())
        return false;
    value gone = elements_.front();
    elements_.pop_front();
    drop(gone);
    return true;
}

stack::stack(const value& flags) : containerBase(flags) {
    registerInterfaceOf<Istack>(this);
    registerInterfaceOf<Igeneric>(this);
}

stack::~stack() { clear(); }

bool stack::clear() {
    while (pop()) {
    }
    return true;
}

bool stack::push(const value& v) {
    retain(v);
    elements_.push_back(v);
    return true;
}

bool stack::pop() {
    if (elements_.empty())
        return false;
    value gone = elements_.back();
    elements_.pop_back();
    drop(gone);
    return true;
}

}  // namespace vesk
