#include "core/text.h"

namespace vesk {

std::string lowerCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string textOf(const char* text) { return text ? text : ""; }

const char* textOrEmpty(Istring* s) {
    const char* text = s ? s->c_str() : nullptr;
    return text ? text : "";
}

}  // namespace vesk
