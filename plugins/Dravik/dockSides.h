// The sides of the frame and their corners, with the same codes everywhere
// in the library.
#pragma once

namespace vesk::ui {

namespace side {
constexpr int top = 1, right = 2, bottom = 3, left = 4;
}  // namespace side

namespace corner {
constexpr int topLeft = 1, topRight = 2, bottomRight = 3, bottomLeft = 4;
}  // namespace corner

// Areas on the right and left are vertical: their bands are columns.
inline bool IsVerticalSide(int s) { return s == side::right || s == side::left; }

}  // namespace vesk::ui
