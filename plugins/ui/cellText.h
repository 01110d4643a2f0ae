// How a list shows an agent's attribute: the text of the value by its type.
#pragma once

#include <cstddef>
#include <string>

#include "vesk/ss.h"
#include "vesk/value.h"

namespace vesk::ui {

// Signed and unsigned 32-bit and unsigned 16-bit numbers in decimal, C
// strings and string objects as their text; every other type is empty.
std::string CellText(const value& v);
// Into a buffer of size bytes (cut to fit, always ended); nothing for a
// null buffer or a size of 0.
void CellText(const value& v, char* out, std::size_t size);
// The attribute's cell text; empty without the agent or the attribute.
std::string AttributeText(ss::IAgent* agent, const char* name);
// The attribute as a number (long, unsigned long or unsigned short), or
// the fallback for any other type.
long AttributeNumber(ss::IAgent* agent, const char* name, long fallback);
// Copies text into a buffer of size bytes, cut to fit and always ended.
void CopyCut(const std::string& text, char* out, std::size_t size);

}  // namespace vesk::ui
