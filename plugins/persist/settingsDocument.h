// Whether a text is a whole document of the settings files' XML subset:
// one root element, nested elements, text only in elements without
// children, every element closed by its own name. Free of I/O.
#pragma once

#include <cstddef>

namespace vesk::persist {

bool isWholeDocument(const unsigned char* bytes, size_t size);

// Whether text can be written as an element's name and read back as the
// same name: not empty, free of '<', '>', '/', '"', '=', blanks and line
// ends, and not beginning with '!'.
bool isElementName(const char* text);

}  // namespace vesk::persist
