// The value texts of the settings files: a type tag in parentheses followed
// by the value's text, percent-encoded as a whole. Free of I/O.
#pragma once

#include <string>

#include "vesk/value.h"

namespace vesk::persist {

// Tag and text of a value ("(long)5"), unencoded; false for a type without
// a tag and for a string-object value without an object.
bool valueText(const value& v, std::string& out);

// Bytes 0x00-0x1F, 0x7F-0xFF, the blank and " # % < > [ \ ] ^ { | } ~ `
// become '%' and two lower-case hexadecimal digits.
std::string percentEncode(const std::string& text);

// '%' and two hexadecimal digits become one byte; a pair that is no
// hexadecimal number, an escape cut off by the end and %00 give nothing.
std::string percentDecode(const char* text);

// The value of a decoded text whose tag starts at tagAt ("(long)5" gives
// long 5); an empty value (code 0) when no tag is recognised there. A
// string comes back as a new string object (count 0) the caller must take.
value valueFromText(const std::string& decoded, size_t tagAt = 0);

}  // namespace vesk::persist
