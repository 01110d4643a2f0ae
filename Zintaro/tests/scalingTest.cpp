// The picture operations alone: the weights of the shrinker, shrinking,
// turning and drawing with a transparent colour.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <string>
#include <vector>

#include "Zintaro/bitmapDrawing.h"
#include "Zintaro/gdiObjects.h"
#include "Zintaro/scaleBitmap.h"
#include "Zintaro/tests/dibCanvas.h"

namespace vesk::zintaro {

static bool operator==(const scaleWeight& a, const scaleWeight& b) {
    return a.first == b.first && a.second == b.second && a.closes == b.closes;
}

static std::ostream& operator<<(std::ostream& out, const scaleWeight& w) {
    return out << "{" << w.first << ", " << w.second << (w.closes ? ", closes}" : "}");
}

}  // namespace vesk::zintaro

namespace vesk::test {
namespace {

using namespace vesk::zintaro;

struct weightsCase {
    int n, t;
    std::vector<scaleWeight> start;  // the first weights of the table
};

class ScaleWeights : public ::testing::TestWithParam<weightsCase> {};

TEST_P(ScaleWeights, ShareEverySourcePixelAndGiveEachTargetPixel4096) {
    const weightsCase& test = GetParam();
    std::vector<scaleWeight> weights = BuildScaleWeights(test.n, test.t);
    ASSERT_EQ(weights.size(), static_cast<size_t>(test.n));
    for (size_t i = 0; i < test.start.size(); ++i)
        EXPECT_EQ(weights[i], test.start[i]) << "source pixel " << i;

    std::vector<int> received(static_cast<size_t>(test.t) + 1, 0);
    int target = 0;
    for (const scaleWeight& weight : weights) {
        received[target] += weight.first;
        received[target + 1] += weight.second;
        target += weight.closes ? 1 : 0;
    }
    EXPECT_EQ(target, test.t) << "every target pixel closes once";
    EXPECT_TRUE(weights.back().closes && weights.back().second == 0) << "the last source pixel ends the last";
    for (int i = 0; i < test.t; ++i)
        EXPECT_EQ(received[i], 4096) << "target pixel " << i;
    EXPECT_EQ(received[test.t], 0);
}

// 230 -> 170: a source pixel is 170/230 of a target pixel, 3027.5 4096ths.
// 310 -> 100: 1321.3 4096ths each, the fourth straddles.
INSTANTIATE_TEST_SUITE_P(
    Zintaro, ScaleWeights,
    ::testing::Values(weightsCase{3, 2, {{2730, 0, false}, {1366, 1365, true}, {2731, 0, true}}},
                      weightsCase{230, 170, {{3027, 0, false}, {1069, 1958, true}, {2138, 890, true}}},
                      weightsCase{310, 100, {{1321, 0, false}, {1321, 0, false}, {1321, 0, false}, {133, 1189, true}}},
                      weightsCase{4, 4, {{4096, 0, true}, {4096, 0, true}}},
                      weightsCase{310, 1, {{13, 0, false}, {13, 0, false}, {13, 0, false}, {13, 0, false},
                                           {14, 0, false}}}));

TEST(ScaleWeightsRefused, ForGrowingOrNothing) {
    EXPECT_TRUE(BuildScaleWeights(2, 3).empty());
    EXPECT_TRUE(BuildScaleWeights(3, 0).empty());
    EXPECT_TRUE(BuildScaleWeights(0, 0).empty());
}

dibPixels flatDib(int width, int height, BYTE blue, BYTE green, BYTE red) {
    dibPixels dib;
    dib.width = width;
    dib.height = height;
    dib.bytes.assign(dibStride(width) * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            BYTE* pixel = &dib.bytes[dibStride(width) * y + 3 * x];
            pixel[0] = blue;
            pixel[1] = green;
            pixel[2] = red;
        }
    return dib;
}

struct flatCase {
    int width, height, toWidth, toHeight;
    BYTE blue, green, red;
};

class ShrinkFlat : public ::testing::TestWithParam<flatCase> {};

TEST_P(ShrinkFlat, KeepsAFlatColour) {
    const flatCase& test = GetParam();
    dibPixels shrunk = ShrinkDib(flatDib(test.width, test.height, test.blue, test.green, test.red), test.toWidth,
                                 test.toHeight);
    ASSERT_EQ(shrunk.width, test.toWidth);
    ASSERT_EQ(shrunk.height, test.toHeight);
    ASSERT_EQ(shrunk.bytes.size(), dibStride(test.toWidth) * test.toHeight);
    EXPECT_EQ(shrunk.bytes, flatDib(test.toWidth, test.toHeight, test.blue, test.green, test.red).bytes);
}

INSTANTIATE_TEST_SUITE_P(Zintaro, ShrinkFlat,
                         ::testing::Values(flatCase{230, 310, 170, 100, 255, 255, 255},
                                           flatCase{230, 310, 170, 170, 1, 2, 3},
                                           flatCase{3, 3, 2, 2, 0, 128, 254},
                                           flatCase{310, 5, 1, 1, 255, 255, 255},
                                           flatCase{7, 5, 7, 5, 200, 100, 50}));

TEST(ShrinkDib, AveragesByCoveredArea) {
    // One row: 0, 90, 255 into two pixels of 2730 + 1366 and 1365 + 2731.
    dibPixels row = flatDib(3, 1, 0, 0, 0);
    row.bytes[3] = 90;
    row.bytes[6] = 255;
    dibPixels shrunk = ShrinkDib(row, 2, 1);
    ASSERT_EQ(shrunk.width, 2);
    EXPECT_EQ(shrunk.bytes[0], (90 * 1366) / 4096);
    EXPECT_EQ(shrunk.bytes[3], (90 * 1365 + 255 * 2731) / 4096);

    // A white pixel beside a black one, and below: half the white.
    dibPixels square = flatDib(2, 2, 0, 0, 0);
    square.bytes[0] = 255;
    shrunk = ShrinkDib(square, 1, 1);
    ASSERT_EQ(shrunk.width, 1);
    EXPECT_EQ(shrunk.bytes[0], 255 / 4);
}

TEST(ShrinkDib, RefusesGrowingAndShortPictures) {
    EXPECT_EQ(ShrinkDib(flatDib(4, 4, 1, 1, 1), 5, 4).width, 0);
    EXPECT_EQ(ShrinkDib(flatDib(4, 4, 1, 1, 1), 4, 0).width, 0);
    dibPixels cut = flatDib(4, 4, 1, 1, 1);
    cut.bytes.resize(cut.bytes.size() - 1);
    EXPECT_EQ(ShrinkDib(cut, 2, 2).width, 0);
}

TEST(ScaleBitmap, ShrinksABitmapAndRefusesToGrowIt) {
    HBITMAP source = makeBitmap(23, 31, [](int, int) { return RGB(200, 100, 50); });
    ASSERT_NE(source, nullptr);
    {
        ownedBitmap scaled = ScaleBitmap(source, 17, 10);
        ASSERT_TRUE(scaled);
        bitmapPixels pixels = readBitmap(scaled.get());
        ASSERT_EQ(pixels.width, 17);
        ASSERT_EQ(pixels.height, 10);
        for (COLORREF pixel : pixels.pixels)
            ASSERT_EQ(pixel, RGB(200, 100, 50));
        EXPECT_FALSE(ScaleBitmap(source, 24, 10));
        EXPECT_FALSE(ScaleBitmap(source, 10, 32));
        EXPECT_FALSE(ScaleBitmap(source, 0, 10));
        EXPECT_FALSE(ScaleBitmap(nullptr, 1, 1));
    }
    DeleteObject(source);
    EXPECT_EQ(liveGdiObjects(), 0);
}

// ---- turning ----

COLORREF pattern(int x, int y) { return RGB(x * 10 + 5, y * 10 + 5, (x + y) % 2 ? 200 : 100); }

TEST(RotateBitmap, AtAngle0CopiesThePicture) {
    dibCanvas canvas(8, 8);
    HBITMAP source = makeBitmap(13, 7, pattern);
    ASSERT_NE(source, nullptr);
    {
        ownedBitmap turned = RotateBitmap(canvas.dc(), source, 0.0, RGB(0, 0, 0));
        ASSERT_TRUE(turned);
        bitmapPixels pixels = readBitmap(turned.get());
        ASSERT_EQ(pixels.width, 13);
        ASSERT_EQ(pixels.height, 7);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(pixels.at(x, y), pattern(x, y)) << x << "," << y;
    }
    bitmapPixels after = readBitmap(source);
    EXPECT_EQ(after.at(12, 6), pattern(12, 6)) << "the source stays";
    DeleteObject(source);
    EXPECT_EQ(liveGdiObjects(), 0);
}

TEST(RotateBitmap, AQuarterTurnSwapsTheSides) {
    dibCanvas canvas(8, 8);
    HBITMAP source = makeBitmap(13, 7, pattern);
    ASSERT_NE(source, nullptr);
    {
        ownedBitmap turned = RotateBitmap(canvas.dc(), source, std::acos(0.0), RGB(0, 0, 0));
        ASSERT_TRUE(turned);
        BITMAP size = {};
        ASSERT_TRUE(GetObjectW(turned.get(), sizeof size, &size));
        EXPECT_EQ(size.bmWidth, 7);
        EXPECT_EQ(size.bmHeight, 13);
    }
    DeleteObject(source);
    EXPECT_EQ(liveGdiObjects(), 0);
}

// Wine blits through a world transform by stretching to the turned corners,
// without turning the picture: only what holds either way is checked.
TEST(RotateBitmap, FillsTheCornersItLeaves) {
    dibCanvas canvas(8, 8);
    HBITMAP source = makeBitmap(20, 20, [](int, int) { return RGB(255, 255, 255); });
    ASSERT_NE(source, nullptr);
    {
        ownedBitmap turned = RotateBitmap(canvas.dc(), source, std::acos(0.0) / 2, RGB(0, 0, 255));
        ASSERT_TRUE(turned);
        bitmapPixels pixels = readBitmap(turned.get());
        ASSERT_EQ(pixels.width, 28);  // 20 x (cos + sin) of 45 degrees, cut
        ASSERT_EQ(pixels.height, 28);
        EXPECT_EQ(pixels.at(0, 0), RGB(0, 0, 255));
        EXPECT_EQ(pixels.at(27, 0), RGB(0, 0, 255));
        EXPECT_EQ(pixels.at(0, 27), RGB(0, 0, 255));
        EXPECT_EQ(pixels.at(27, 27), RGB(0, 0, 255));
    }
    DeleteObject(source);
}

// ---- transparency ----

TEST(TransparentDraw, KeepsTheDestinationUnderTheKeyColour) {
    dibCanvas canvas(30, 20);
    auto background = [](int x, int y) { return RGB(x * 8, y * 12, 77); };
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            SetPixel(canvas.dc(), x, y, background(x, y));
    // A ring of colour round a key-coloured hole, on a key-coloured field.
    auto picture = [](int x, int y) {
        bool ring = (x >= 2 && x < 8 && y >= 2 && y < 8) && !(x >= 4 && x < 6 && y >= 4 && y < 6);
        return ring ? RGB(250, (x * 30) % 256, 1) : RGB(0, 0, 0);
    };
    HBITMAP bitmap = makeBitmap(10, 10, picture);
    ASSERT_NE(bitmap, nullptr);
    ASSERT_TRUE(TransparentDraw(canvas.dc(), bitmap, 12, 5, RGB(0, 0, 0)));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) {
            bool over = x >= 12 && x < 22 && y >= 5 && y < 15;
            COLORREF drawn = over ? picture(x - 12, y - 5) : RGB(0, 0, 0);
            COLORREF expected = over && drawn != RGB(0, 0, 0) ? drawn : background(x, y);
            ASSERT_EQ(canvas.pixel(x, y), expected) << x << "," << y;
        }
    bitmapPixels after = readBitmap(bitmap);
    EXPECT_EQ(after.at(3, 3), picture(3, 3)) << "the bitmap stays";
    DeleteObject(bitmap);
    EXPECT_EQ(liveGdiObjects(), 0);
}

}  // namespace
}  // namespace vesk::test
