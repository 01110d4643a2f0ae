// Reads back the PNG files the screenshot code writes (RGB, stored
// deflate blocks), checking every length and sum on the way.
#pragma once

#include <string>
#include <vector>

#include "testing/screen/rgbImage.h"

namespace vesk::testing::test {

// The image, or an empty one with the reason in why.
rgbImage ReadStoredPng(const std::vector<unsigned char>& file, std::string& why);

}  // namespace vesk::testing::test
