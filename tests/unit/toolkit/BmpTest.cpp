#include "toolkit/skin/Bmp.h"

#include <gtest/gtest.h>

#include "tests/unit/toolkit/SkinTestSupport.h"

namespace veltrane {
namespace {

using namespace testing_support;

// A 4-bit bitmap, 3 x 2, with a palette of two entries: red and blue.
Bytes MakeBmp4() {
    Bytes b = MakeBmp24(1, 1);
    b.resize(54);
    b[28] = 4;                                       // bits per pixel
    StoreLe32(b, 46, 2);                             // colours used
    b.insert(b.end(), {0, 0, 255, 0, 255, 0, 0, 0}); // red, blue (blue first in each entry)
    StoreLe32(b, 10, std::uint32_t(b.size()));
    StoreLe32(b, 18, 3);
    StoreLe32(b, 22, 2);
    b.insert(b.end(), {0x01, 0x00, 0, 0}); // bottom row: blue, red, red
    b.insert(b.end(), {0x10, 0x10, 0, 0}); // top row: blue... index 1, 0, 1
    return b;
}

TEST(Bmp, ReadsHeadersAndPixels) {
    const Bytes file = MakeBmp24(5, 3, [](int x, int y) { return std::uint32_t(x + 16 * y); });
    std::string error;
    const auto bmp = ParseBmp(file, error);
    ASSERT_TRUE(bmp) << error;
    EXPECT_EQ(bmp->width, 5);
    EXPECT_EQ(bmp->height, 3);
    EXPECT_EQ(bmp->bitsPerPixel, 24);
    EXPECT_EQ(bmp->stride, 16u);
    EXPECT_EQ(bmp->PixelAt(4, 2), Rgb(4 + 32));
    EXPECT_EQ(bmp->PixelAt(0, 0), Rgb(0));
    EXPECT_FALSE(bmp->PixelAt(5, 0));
    EXPECT_FALSE(bmp->PixelAt(0, -1));

    const Bytes four = MakeBmp4();
    const auto pal = ParseBmp(four, error);
    ASSERT_TRUE(pal) << error;
    EXPECT_EQ(pal->PaletteSize(), 2);
    EXPECT_EQ(pal->PixelAt(0, 1), MakeRgb(255, 0, 0)); // bottom row, index 0
    EXPECT_EQ(pal->PixelAt(1, 1), MakeRgb(0, 0, 255)); // index 1
    EXPECT_EQ(pal->PixelAt(0, 0), MakeRgb(0, 0, 255));
    EXPECT_EQ(pal->PixelAt(1, 0), MakeRgb(255, 0, 0));
}

// A 4 x 2 RLE8 bitmap; palette black, red, green, blue.
Bytes MakeRle8() {
    Bytes b = MakeBmp24(1, 1);
    b.resize(54);
    b[28] = 8;
    StoreLe32(b, 30, BmpInfo::kRle8);
    StoreLe32(b, 46, 4);
    b.insert(b.end(), {0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0});
    StoreLe32(b, 10, std::uint32_t(b.size()));
    StoreLe32(b, 18, 4);
    StoreLe32(b, 22, 2);
    const Bytes codes = {2, 1, 2, 2, 0, 0, // bottom row: red red green green
                         0, 3, 3, 1, 2, 0, // top row: literal blue red green (padded)
                         1, 3, 0, 1};      // then blue; end of bitmap
    StoreLe32(b, 34, std::uint32_t(codes.size()));
    b.insert(b.end(), codes.begin(), codes.end());
    return b;
}

TEST(Bmp, ReadsRunLengthPixels) {
    const Bytes file = MakeRle8();
    std::string error;
    const auto bmp = ParseBmp(file, error);
    ASSERT_TRUE(bmp) << error;
    const Rgb red = MakeRgb(255, 0, 0), green = MakeRgb(0, 255, 0), blue = MakeRgb(0, 0, 255);
    const Rgb expected[2][4] = {{blue, red, green, blue}, {red, red, green, green}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(bmp->PixelAt(x, y), expected[y][x]) << x << "," << y;
    Bytes cut = file;
    cut.resize(cut.size() - 8); // the literal run now ends early
    StoreLe32(cut, 34, 0);
    const auto partial = ParseBmp(cut, error);
    ASSERT_TRUE(partial) << error;
    EXPECT_FALSE(partial->PixelAt(0, 0));
}

TEST(Bmp, TopDownRowsAreReadFromTheTop) {
    Bytes file = MakeBmp24(2, 2, [](int, int y) { return y == 0 ? 0x0000FFu : 0xFF0000u; });
    StoreLe32(file, 22, std::uint32_t(-2)); // the same rows now count from the top
    std::string error;
    const auto bmp = ParseBmp(file, error);
    ASSERT_TRUE(bmp) << error;
    EXPECT_TRUE(bmp->topDown);
    EXPECT_EQ(bmp->PixelAt(0, 0), Rgb(0xFF0000));
}

// What GDI is given: every pixel as PixelAt reads it, in a top-down 32-bit layout.
TEST(BmpDecode, GivesEveryPixelTopDownAsPixelAtReadsIt) {
    Bytes topDown = MakeBmp24(3, 2, [](int x, int y) { return std::uint32_t(x + 16 * y); });
    StoreLe32(topDown, 22, std::uint32_t(-2));
    const std::vector<std::pair<const char*, Bytes>> files = {
        {"24-bit", MakeBmp24(5, 3, [](int x, int y) { return std::uint32_t(x + 16 * y + 0x030201); })},
        {"top-down", topDown},
        {"4-bit", MakeBmp4()},
        {"RLE8", MakeRle8()},
    };
    for (const auto& [name, file] : files) {
        std::string error;
        const auto bmp = ParseBmp(file, error);
        ASSERT_TRUE(bmp) << name << ": " << error;
        const std::vector<std::uint32_t> pixels = BmpDecodeDib32(*bmp);
        ASSERT_EQ(pixels.size(), std::size_t(bmp->width * bmp->height)) << name;
        for (int y = 0; y < bmp->height; ++y)
            for (int x = 0; x < bmp->width; ++x) {
                const Rgb c = bmp->PixelAt(x, y).value();
                EXPECT_EQ(pixels[std::size_t(y * bmp->width + x)],
                          RedOf(c) << 16 | GreenOf(c) << 8 | BlueOf(c))
                    << name << " " << x << "," << y;
            }
    }
}

// A 6 x 3 RLE8 bitmap with the given codes after a palette of black, red, green, blue.
Bytes MakeRle8Codes(const Bytes& codes) {
    Bytes b = MakeRle8();
    b.resize(b.size() - 16);
    StoreLe32(b, 18, 6);
    StoreLe32(b, 22, 3);
    StoreLe32(b, 34, 0); // no stated size: the codes run to the end of the file
    b.insert(b.end(), codes.begin(), codes.end());
    return b;
}

TEST(BmpDecode, RunLengthCodesStayInsideTheImage) {
    const std::uint32_t black = 0, red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF;
    struct Case {
        const char* name;
        Bytes codes;
        std::vector<std::uint32_t> expected; // rows from the top
    };
    const Case cases[] = {
        {"a run past the right edge is cut there, not carried to the next row",
         {9, 1, 0, 0, 1, 2, 0, 1},
         {black, black, black, black, black, black, //
          green, black, black, black, black, black, //
          red, red, red, red, red, red}},
        {"a move skips pixels, which keep index 0; rows past the top are dropped",
         {0, 2, 2, 1, 1, 3, 0, 2, 0, 9, 2, 3, 0, 1},
         {black, black, black, black, black, black, //
          black, black, blue, black, black, black,  //
          black, black, black, black, black, black}},
        {"codes that end inside a literal leave the rest at index 0",
         {2, 2, 0, 5, 1},
         {black, black, black, black, black, black, //
          black, black, black, black, black, black, //
          green, green, black, black, black, black}},
    };
    for (const Case& c : cases) {
        std::string error;
        const Bytes file = MakeRle8Codes(c.codes);
        const auto bmp = ParseBmp(file, error);
        ASSERT_TRUE(bmp) << c.name << ": " << error;
        EXPECT_EQ(BmpDecodeDib32(*bmp), c.expected) << c.name;
    }
}

TEST(Bmp, RefusesMorePixelsThanTheLimit) {
    const int side = 2048;
    ASSERT_EQ(std::int64_t(side) * side, kBmpMaxPixels);
    std::string error;
    Bytes file = MakeRle8Codes({0, 1});
    StoreLe32(file, 18, side);
    StoreLe32(file, 22, side);
    const auto largest = ParseBmp(file, error);
    ASSERT_TRUE(largest) << error;
    EXPECT_EQ(BmpDecodeDib32(*largest).size(), std::size_t(kBmpMaxPixels));
    StoreLe32(file, 22, side + 1);
    EXPECT_FALSE(ParseBmp(file, error));
    EXPECT_NE(error.find("pixels"), std::string::npos) << error;
}

TEST(Bmp, RejectsMalformedFiles) {
    const Bytes good = MakeBmp24(4, 4);
    const auto with = [&](std::size_t at, std::uint32_t v) {
        Bytes b = good;
        StoreLe32(b, at, v);
        return b;
    };
    const Bytes truncated(good.begin(), good.end() - 1);
    Bytes badMagic = good;
    badMagic[0] = 'X';
    Bytes depth = good;
    depth[28] = 7;
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"empty", {}},
        {"too short", Bytes(good.begin(), good.begin() + 20)},
        {"magic", badMagic},
        {"truncated pixels", truncated},
        {"pixels start past end", with(10, 100000)},
        {"zero width", with(18, 0)},
        {"negative width", with(18, 0xFFFFFFFF)},
        {"huge height", with(22, 0x7FFFFFFF)},
        {"most negative height", with(22, 0x80000000)},
        {"odd header size", with(14, 20)},
        {"header past end", with(14, 4000)},
        {"depth", depth},
        {"compression", with(30, 9)},
        {"palette past end", with(46, 200)},
    };
    for (const auto& [name, file] : cases) {
        std::string error;
        EXPECT_FALSE(ParseBmp(file, error)) << name;
        EXPECT_FALSE(error.empty()) << name;
    }
}

} // namespace
} // namespace veltrane
