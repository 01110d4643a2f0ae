#include "plugins/Quillet/xmlElement.h"

#include <new>

namespace vesk::xml {

namespace {

constexpr long recordFieldCount = 5;

const char* textOr(const value& v) { return v.asCString() ? v.asCString() : ""; }

}  // namespace

xmlElement::xmlElement(const value* args) {
    registerInterfaceOf<IxmlElement>(this);
    registerInterfaceOf<Igeneric>(this);
    if (!args || args[0].asLong() != recordFieldCount)
        return;
    name_ = textOr(args[1]);
    text_ = textOr(args[2]);
    parentName_ = textOr(args[3]);
    kind_ = static_cast<int>(args[4].asLong());
    depth_ = static_cast<int>(args[5].asLong());
}

IxmlElement* newElement(const char* name, const char* text, const char* parentName, int kind, int depth) {
    value args[] = {value(recordFieldCount), value(name), value(text), value(parentName),
                    value(static_cast<long>(kind)), value(static_cast<long>(depth))};
    try {
        return new capsule<xmlElement>(args);
    } catch (...) {
        return nullptr;  // a text copy that could not be made
    }
}

}  // namespace vesk::xml
