// Whether a text is a whole document of the settings files' XML subset:
// one root element, nested elements, text only in elements without
// children, every element closed by its own name. Free of I/O.
#pragma once

#include <cstddef>

namespace vesk::persist {

bool isWholeDocument(const unsigned char* bytes, size_t size);

// Whether text can be an element's name in such a document: not empty and
// free of '<', '>', '/', blanks and line ends.
bool isElementName(const char* text);

}  // namespace vesk::persist
