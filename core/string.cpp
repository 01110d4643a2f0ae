#include "core/string.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "core/capsule.h"
#include "vesk/host.h"

namespace vesk {

string::string(const char* text)
    : length_(text ? static_cast<unsigned short>(std::strlen(text)) : 0),
      text_(text ? strdup(text) : nullptr) {
    if (text && !text_)
        length_ = 0;  // out of memory: behave like a string made from null
}

string::~string() {
    std::free(text_);
    length_ = 0;
}

void* string::queryInterface(const char* typeName) {
    const char* name = queriedName(typeName);
    if (!name)
        return nullptr;
    if (std::strcmp(name, nameOf<Istring>()) == 0 || std::strcmp(name, nameOf<Igeneric>()) == 0)
        return static_cast<Igeneric*>(this);
    return nullptr;
}

int string::addRef() { return InterlockedIncrement(&count_); }

int string::release() {
    LONG after = InterlockedDecrement(&count_);
    if (after == 0)
        delete this;
    return after;
}

bool logLine(Itarget* target, const char* text) {
    if (!target)
        return false;
    return target->write(new (std::nothrow) string(text));
}

}  // namespace vesk
