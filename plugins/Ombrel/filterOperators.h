// The eight filter operators the module registers at start, in this order:
// "<", "<=", ">", ">=", "==", "!=", "IN", "TEXTORDER".
#pragma once

#include "vesk/ss.h"

namespace vesk::ss {

// Registers them with the manager; false when one was refused.
bool RegisterStandardOperators(ISSManager* manager);

namespace op {
// Comparisons: values of different type codes never match; two C strings
// compare byte by byte; other values by their number (32 bits, signed).
bool Less(value left, value right);
bool LessOrEqual(value left, value right);
bool Greater(value left, value right);
bool GreaterOrEqual(value left, value right);
bool Equal(value left, value right);
bool NotEqual(value left, value right);
// Texts (C strings or string objects), the first 260 characters of each,
// ignoring ASCII case. In: the right text occurs in the left one.
// TextOrder: the right text's characters occur in the left one in order.
bool In(value left, value right);
bool TextOrder(value left, value right);
}  // namespace op

}  // namespace vesk::ss
