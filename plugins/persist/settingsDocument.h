// Whether a text is a whole document of the settings files' XML subset:
// one root element, nested elements, text only in elements without
// children, every element closed by its own name. Free of I/O.
#pragma once

#include <cstddef>

namespace vesk::persist {

bool isWholeDocument(const unsigned char* bytes, size_t size);

}  // namespace vesk::persist
