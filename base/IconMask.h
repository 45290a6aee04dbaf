#pragma once
// The AND mask of an icon made from 32-bit pixels with alpha: where the shell draws an icon without
// its alpha channel (high-contrast themes, some remote sessions) the mask alone decides what shows.

#include <cstdint>
#include <span>
#include <vector>

namespace veltrane {

// `pixels`: width x height pixels of 4 bytes (blue, green, red, alpha), rows top first. A set bit
// where alpha is zero (the screen shows through), rows padded to 16 bits as monochrome bitmaps want
// them. Empty when `pixels` is too short for the size.
std::vector<std::uint8_t> IconMaskFromAlpha(std::span<const std::uint8_t> pixels, int width, int height);

// Blackens the colour of fully transparent pixels: drawn through the mask, they must leave the
// screen as it is.
void IconClearTransparent(std::span<std::uint8_t> pixels);

} // namespace veltrane
