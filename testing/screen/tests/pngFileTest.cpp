#include <gtest/gtest.h>

#include <cstring>

#include "testing/screen/pngFile.h"
#include "testing/screen/tests/pngReader.h"
#include "testing/testPaths.h"

namespace vesk::testing::test {
namespace {

rgbImage gradient(int width, int height) {
    rgbImage image;
    image.width = width;
    image.height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.rgb.insert(image.rgb.end(), {static_cast<unsigned char>(x), static_cast<unsigned char>(y),
                                               static_cast<unsigned char>(x ^ y)});
    return image;
}

TEST(PngFile, CrcMatchesTheKnownValueOfAnEmptyEndChunk) {
    EXPECT_EQ(PngCrc32(reinterpret_cast<const unsigned char*>("IEND"), 4), 0xAE426082u);
}

// One pixel; rows a stored block holds whole; a picture that needs
// several stored blocks, with a block ending inside a row.
TEST(PngFile, ImagesReadBackUnchanged) {
    const std::pair<int, int> sizes[] = {{1, 1}, {3, 2}, {200, 120}, {1280, 40}};
    for (auto [width, height] : sizes) {
        rgbImage image = gradient(width, height);
        std::string why;
        rgbImage back = ReadStoredPng(EncodePng(image), why);
        EXPECT_EQ(why, "") << width << "x" << height;
        EXPECT_EQ(back.width, width);
        EXPECT_EQ(back.height, height);
        EXPECT_TRUE(back.rgb == image.rgb) << width << "x" << height;
    }
}

TEST(PngFile, AnEmptyOrInconsistentImageGivesNoFile) {
    tempDir dir;
    rgbImage none;
    rgbImage short_ = gradient(4, 4);
    short_.rgb.pop_back();
    for (const rgbImage* image : {&none, &short_}) {
        EXPECT_TRUE(EncodePng(*image).empty());
        EXPECT_FALSE(WritePngFile(dir.file("shot.png"), *image));
        EXPECT_FALSE(fileExists(dir.file("shot.png")));
        EXPECT_FALSE(fileExists(dir.file("shot.png.part")));
    }
}

TEST(PngFile, WritingReplacesAnOlderFileWhole) {
    tempDir dir;
    ASSERT_TRUE(writeFile(dir.file("shot.png"), std::string(100000, 'x')));
    rgbImage image = gradient(5, 7);
    ASSERT_TRUE(WritePngFile(dir.file("shot.png"), image));
    std::string bytes = readFile(dir.file("shot.png"));
    std::string why;
    rgbImage back = ReadStoredPng(std::vector<unsigned char>(bytes.begin(), bytes.end()), why);
    EXPECT_EQ(why, "");
    EXPECT_TRUE(back.rgb == image.rgb);
    EXPECT_FALSE(fileExists(dir.file("shot.png.part")));
}

}  // namespace
}  // namespace vesk::testing::test
