#pragma once
// Pixel sizes and rectangles of the portable drawing and skinning code: a rectangle is its top-left
// corner and its size, as the skin's pieces and the frame geometry give them.

#include <cstdint>

namespace veltrane {

struct PixelSize {
    int width = 0;
    int height = 0;

    bool operator==(const PixelSize&) const = default;
};

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int Right() const { return x + width; }
    int Bottom() const { return y + height; }
    bool Empty() const { return width <= 0 || height <= 0; }
    bool Contains(int px, int py) const { return px >= x && py >= y && px < x + width && py < y + height; }
    bool operator==(const PixelRect&) const = default;
};

enum class SkinFill : std::uint8_t { Copy, Stretch, Tile };

// One piece of a skin image drawn into a window: the part of the bitmap (y from the top) and where
// it goes, copied, stretched or tiled.
struct SkinPiece {
    PixelRect source;
    PixelRect dest;
    SkinFill fill = SkinFill::Copy;
    bool operator==(const SkinPiece&) const = default;
};

} // namespace veltrane
