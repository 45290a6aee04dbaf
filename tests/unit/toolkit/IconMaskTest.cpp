#include <gtest/gtest.h>

#include <vector>

#include "base/IconMask.h"

namespace veltrane {
namespace {

std::vector<std::uint8_t> Pixels(int width, int height, std::uint8_t alpha) {
    std::vector<std::uint8_t> pixels(std::size_t(width * height) * 4, 0x7F);
    for (std::size_t i = 3; i < pixels.size(); i += 4)
        pixels[i] = alpha;
    return pixels;
}

// A 17-pixel-wide icon: rows take four bytes (two 16-bit words); only alpha 0 is transparent.
TEST(IconMaskFromAlpha, SetsTheBitsOfFullyTransparentPixelsInWordPaddedRows) {
    std::vector<std::uint8_t> pixels = Pixels(17, 2, 255);
    pixels[(0 * 17 + 0) * 4 + 3] = 0;  // top left
    pixels[(0 * 17 + 16) * 4 + 3] = 0; // top right, in the second word
    pixels[(1 * 17 + 9) * 4 + 3] = 0;  // second row
    pixels[(1 * 17 + 10) * 4 + 3] = 1; // nearly transparent still draws
    EXPECT_EQ(IconMaskFromAlpha(pixels, 17, 2),
              (std::vector<std::uint8_t>{0x80, 0x00, 0x80, 0x00, 0x00, 0x40, 0x00, 0x00}));
    EXPECT_EQ(IconMaskFromAlpha(Pixels(16, 1, 0), 16, 1), (std::vector<std::uint8_t>{0xFF, 0xFF}));
    EXPECT_TRUE(IconMaskFromAlpha(Pixels(16, 1, 0), 16, 2).empty()) << "too few pixels for the size";
    EXPECT_TRUE(IconMaskFromAlpha({}, 0, 0).empty());
}

TEST(IconClearTransparent, BlackensOnlyFullyTransparentPixels) {
    std::vector<std::uint8_t> pixels = {10, 20, 30, 0, 10, 20, 30, 1};
    IconClearTransparent(pixels);
    EXPECT_EQ(pixels, (std::vector<std::uint8_t>{0, 0, 0, 0, 10, 20, 30, 1}));
}

} // namespace
} // namespace veltrane
