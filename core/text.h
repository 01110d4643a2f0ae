// Text helpers every module may use.
#pragma once

#include <string>

#include "vesk/data.h"

namespace vesk {

// The text with the ASCII letters A-Z lower-cased and every other byte
// kept. Paths are compared in this form by the share engine and the
// manager; it is what the C run-time's lower-casing does in the "C" locale,
// which no module leaves, so lists written by either read the same.
std::string lowerCase(std::string text);

// The text, or "" for null.
std::string textOf(const char* text);
// A string object's text, or "" when there is no object or no text.
const char* textOrEmpty(Istring* s);

}  // namespace vesk
