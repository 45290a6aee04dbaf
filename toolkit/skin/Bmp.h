#pragma once
// Bounds-checked reading of Windows BMP files as stored in the skin package.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/Colour.h"

namespace veltrane {

inline constexpr int kBmpMaxSide = 32768;
// Bitmaps are refused beyond this many pixels (16 MB decoded at 32 bits): the largest of our skin
// has 18,720, and a run-length bitmap could otherwise claim a billion in a few bytes.
inline constexpr std::int64_t kBmpMaxPixels = std::int64_t(1) << 22;

struct BmpInfo {
    static constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;

    int width = 0;
    int height = 0; // always positive; topDown tells the row order
    int bitsPerPixel = 0;
    bool topDown = false;
    std::uint32_t compression = kRgb;
    std::span<const std::uint8_t> palette; // paletteEntrySize bytes per entry, blue first
    int paletteEntrySize = 4;
    std::uint32_t masks[3] = {0, 0, 0};   // red, green, blue for 16 and 32 bits per pixel
    std::span<const std::uint8_t> pixels; // rows from the bottom unless topDown
    std::size_t stride = 0;               // bytes per row of uncompressed pixels

    int PaletteSize() const { return int(palette.size()) / paletteEntrySize; }
    // The colour at (x, y), y counted from the top; nothing outside the image or where the
    // pixel data cannot say.
    std::optional<Rgb> PixelAt(int x, int y) const;
    std::optional<Rgb> PaletteColour(int index) const;

private:
    std::span<const std::uint8_t> Row(int y) const;
    std::optional<Rgb> RowPixel(std::span<const std::uint8_t> line, int x) const;
    friend std::vector<std::uint32_t> BmpDecodeDib32(const BmpInfo& info);
};

// Fills `error` with the reason when the file is not a usable bitmap.
std::optional<BmpInfo> ParseBmp(std::span<const std::uint8_t> file, std::string& error);

// Every pixel, rows from the top, as a top-down 32-bit device-independent bitmap holds them:
// 0x00RRGGBB. A pixel the data cannot say is black; one that run-length codes skip takes index 0.
// This, not the file, is what GDI is given, so it never decodes codes or headers our reader has not
// bounded. Empty for an image without pixels or beyond kBmpMaxPixels.
std::vector<std::uint32_t> BmpDecodeDib32(const BmpInfo& info);

} // namespace veltrane
