// A picture as rows of red, green and blue bytes from the top left, the
// form screenshots are kept in between the screen and a file.
#pragma once

#include <cstddef>
#include <vector>

namespace vesk::testing {

struct rgbImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // width * height * 3 bytes

    bool empty() const { return width <= 0 || height <= 0 || rgb.size() != pixelCount() * 3; }
    std::size_t pixelCount() const {
        return width > 0 && height > 0 ? static_cast<std::size_t>(width) * static_cast<std::size_t>(height) : 0;
    }
};

}  // namespace vesk::testing
