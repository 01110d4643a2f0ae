// The host's command line: "-name value" items.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vesk {

// Longest name and value kept; longer ones are cut.
constexpr std::size_t commandLineNameLimit = 259;
constexpr std::size_t commandLineValueLimit = 260;

// The items in the order given. Text before the first '-' is skipped; a
// name runs to the next blank and its value from there to the blank before
// the next '-' (that one character is dropped); a '-' inside a value ends
// it; quotation marks are ordinary characters. A name with no blank after
// it takes the rest of the text and an empty value; "-a -b 2" gives a = ''.
std::vector<std::pair<std::string, std::string>> splitCommandLine(const char* text);

}  // namespace vesk
