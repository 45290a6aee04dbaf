#include "toolkit/skin/Bmp.h"

#include <algorithm>
#include <bit>

#include "base/Bytes.h"

namespace veltrane {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;

bool IsValidDepth(int bpp) {
    return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
}

unsigned ScaleMasked(std::uint32_t value, std::uint32_t mask) {
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const int width = std::popcount(mask);
    const std::uint32_t v = (value & mask) >> shift;
    const std::uint32_t max = width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1;
    return unsigned((std::uint64_t(v) * 255 + max / 2) / max);
}

enum class RunLengthEnd { Marker, Stopped, Broken };

// Walks RLE8 or RLE4 codes. After each code `at(row, x, count, index)` learns where the codes stand
// (rows from the bottom) and, for a run, its count of pixels, the k-th taking index(k); a move
// reports a count of 0. `at` returns false to stop the walk. Broken: the codes end inside a code.
template <typename At> RunLengthEnd RunLengthWalk(std::span<const std::uint8_t> codes, bool fourBit, At at) {
    std::int64_t px = 0, py = 0; // wide: long code runs must not wrap
    std::size_t i = 0;
    const auto nibbleOrByte = [fourBit](unsigned value, std::int64_t k) {
        return fourBit ? int(k % 2 == 0 ? value >> 4 : value & 0x0F) : int(value);
    };
    while (i + 2 <= codes.size()) {
        const unsigned first = codes[i], second = codes[i + 1];
        i += 2;
        if (first > 0) { // a run of one index (two alternating ones at four bits)
            if (!at(py, px, first, [&](std::int64_t k) { return nibbleOrByte(second, k); }))
                return RunLengthEnd::Stopped;
            px += first;
            continue;
        }
        if (second == 0) { // end of line
            px = 0;
            ++py;
        } else if (second == 1) { // end of bitmap
            return RunLengthEnd::Marker;
        } else if (second == 2) { // move right and up
            if (i + 2 > codes.size())
                return RunLengthEnd::Broken;
            px += codes[i];
            py += codes[i + 1];
            i += 2;
        } else { // literal indices, padded to a 16-bit boundary
            const std::size_t bytes = fourBit ? (second + 1) / 2 : second;
            if (i + bytes > codes.size())
                return RunLengthEnd::Broken;
            const std::size_t from = i;
            const auto literal = [&](std::int64_t k) {
                return nibbleOrByte(codes[from + std::size_t(fourBit ? k / 2 : k)], k);
            };
            if (!at(py, px, second, literal))
                return RunLengthEnd::Stopped;
            px += second;
            i += bytes + (bytes & 1);
            continue;
        }
        if (!at(py, px, 0u, [](std::int64_t) { return 0; }))
            return RunLengthEnd::Stopped;
    }
    return RunLengthEnd::Marker;
}

// The index of one pixel; pixels the codes skip keep index 0. Nothing if the codes end badly
// before reaching it.
std::optional<int> RunLengthIndexAt(std::span<const std::uint8_t> codes, bool fourBit, int x, int row) {
    int found = 0;
    const RunLengthEnd end =
        RunLengthWalk(codes, fourBit, [&](std::int64_t py, std::int64_t px, unsigned count, auto index) {
            if (py > row)
                return false;
            if (py == row && x >= px && x < px + count) {
                found = index(x - px);
                return false;
            }
            return true;
        });
    if (end == RunLengthEnd::Broken)
        return std::nullopt;
    return found;
}

std::uint32_t Dib32Of(Rgb c) {
    return RedOf(c) << 16 | GreenOf(c) << 8 | BlueOf(c);
}

struct Header {
    std::uint32_t size = 0;
    std::int64_t width = 0, height = 0;
    std::uint32_t planes = 0, bpp = 0, compression = 0, sizeImage = 0, colorsUsed = 0;
};

bool ReadHeader(std::span<const std::uint8_t> f, Header& h, std::string& error) {
    h.size = LoadLe32(f, kFileHeaderSize);
    if (h.size == kCoreHeaderSize) {
        h.width = LoadLe16(f, 18);
        h.height = LoadLe16(f, 20);
        h.planes = LoadLe16(f, 22);
        h.bpp = LoadLe16(f, 24);
        return true;
    }
    if (h.size < kInfoHeaderSize || h.size > f.size() - kFileHeaderSize) {
        error = "unsupported bitmap header size " + std::to_string(h.size);
        return false;
    }
    h.width = LoadLeI32(f, 18);
    h.height = LoadLeI32(f, 22);
    h.planes = LoadLe16(f, 26);
    h.bpp = LoadLe16(f, 28);
    h.compression = LoadLe32(f, 30);
    h.sizeImage = LoadLe32(f, 34);
    h.colorsUsed = LoadLe32(f, 46);
    return true;
}

} // namespace

std::optional<BmpInfo> ParseBmp(std::span<const std::uint8_t> f, std::string& error) {
    if (f.size() < kFileHeaderSize + kCoreHeaderSize || f[0] != 'B' || f[1] != 'M') {
        error = "not a bitmap file";
        return std::nullopt;
    }
    Header h;
    if (!ReadHeader(f, h, error))
        return std::nullopt;
    BmpInfo info;
    const bool topDown = h.height < 0;
    const std::int64_t height = topDown ? -h.height : h.height;
    if (h.width <= 0 || h.width > kBmpMaxSide || height <= 0 || height > kBmpMaxSide || h.planes != 1 ||
        !IsValidDepth(int(h.bpp))) {
        error = "bad bitmap dimensions or depth";
        return std::nullopt;
    }
    if (h.width * height > kBmpMaxPixels) {
        error = "bitmap of more than " + std::to_string(kBmpMaxPixels) + " pixels";
        return std::nullopt;
    }
    info.width = int(h.width);
    info.height = int(height);
    info.topDown = topDown;
    info.bitsPerPixel = int(h.bpp);
    info.compression = h.compression;
    const bool rle =
        (h.compression == BmpInfo::kRle8 && h.bpp == 8) || (h.compression == BmpInfo::kRle4 && h.bpp == 4);
    const bool fields = h.compression == BmpInfo::kBitFields && (h.bpp == 16 || h.bpp == 32);
    if (h.compression != BmpInfo::kRgb && !rle && !fields) {
        error = "unsupported bitmap compression " + std::to_string(h.compression);
        return std::nullopt;
    }
    if (rle && topDown) {
        error = "compressed bitmap cannot be top-down";
        return std::nullopt;
    }

    std::size_t at = kFileHeaderSize + h.size;
    if (fields) {
        // The masks follow a plain info header; larger headers carry them inside.
        const std::size_t maskAt = h.size == kInfoHeaderSize ? at : kFileHeaderSize + kInfoHeaderSize;
        if (maskAt + 12 > f.size()) {
            error = "bitmap masks run past the end";
            return std::nullopt;
        }
        for (int i = 0; i < 3; ++i)
            info.masks[i] = LoadLe32(f, maskAt + 4 * std::size_t(i));
        if (h.size == kInfoHeaderSize)
            at += 12;
    } else if (h.bpp == 16) {
        info.masks[0] = 0x7C00, info.masks[1] = 0x03E0, info.masks[2] = 0x001F;
    } else if (h.bpp == 32) {
        info.masks[0] = 0xFF0000, info.masks[1] = 0x00FF00, info.masks[2] = 0x0000FF;
    }

    info.paletteEntrySize = h.size == kCoreHeaderSize ? 3 : 4;
    std::uint64_t entries = h.colorsUsed;
    if (h.bpp <= 8) {
        const std::uint64_t full = std::uint64_t(1) << h.bpp;
        if (entries == 0 || entries > full)
            entries = full;
    } else if (entries > 256) {
        error = "bitmap colour table too large";
        return std::nullopt;
    }
    const std::uint64_t paletteBytes = entries * std::uint64_t(info.paletteEntrySize);
    if (at + paletteBytes > f.size()) {
        error = "bitmap colour table runs past the end";
        return std::nullopt;
    }
    info.palette = f.subspan(at, std::size_t(paletteBytes));

    const std::uint64_t offBits = LoadLe32(f, 10);
    info.stride = std::size_t((std::uint64_t(info.width) * h.bpp + 31) / 32 * 4);
    if (offBits > f.size()) {
        error = "bitmap pixels start past the end";
        return std::nullopt;
    }
    std::uint64_t pixelBytes = std::uint64_t(info.stride) * std::uint64_t(info.height);
    if (rle)
        pixelBytes = h.sizeImage != 0 ? h.sizeImage : f.size() - offBits;
    if (offBits + pixelBytes > f.size()) {
        error = "bitmap pixels run past the end";
        return std::nullopt;
    }
    info.pixels = f.subspan(std::size_t(offBits), std::size_t(pixelBytes));
    return info;
}

std::optional<Rgb> BmpInfo::PaletteColour(int index) const {
    if (index < 0 || index >= PaletteSize())
        return std::nullopt;
    const auto e = palette.subspan(std::size_t(index) * std::size_t(paletteEntrySize), 3);
    return MakeRgb(e[2], e[1], e[0]);
}

std::optional<Rgb> BmpInfo::RowPixel(std::span<const std::uint8_t> line, int x) const {
    const std::size_t bitPos = std::size_t(x) * std::size_t(bitsPerPixel);
    switch (bitsPerPixel) {
    case 1:
    case 4:
    case 8: {
        const unsigned byte = line[bitPos / 8];
        const unsigned shift = 8 - bitsPerPixel - unsigned(bitPos % 8);
        return PaletteColour(int((byte >> shift) & ((1u << bitsPerPixel) - 1)));
    }
    case 24: {
        const auto p = line.subspan(bitPos / 8, 3);
        return MakeRgb(p[2], p[1], p[0]);
    }
    default: {
        const std::size_t at = bitPos / 8;
        const std::uint32_t v = bitsPerPixel == 16 ? LoadLe16(line, at) : LoadLe32(line, at);
        return MakeRgb(ScaleMasked(v, masks[0]), ScaleMasked(v, masks[1]), ScaleMasked(v, masks[2]));
    }
    }
}

std::span<const std::uint8_t> BmpInfo::Row(int y) const {
    const std::size_t row = std::size_t(topDown ? y : height - 1 - y);
    return pixels.subspan(row * stride, stride);
}

std::optional<Rgb> BmpInfo::PixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height)
        return std::nullopt;
    if (compression == kRle8 || compression == kRle4) {
        const std::optional<int> index = RunLengthIndexAt(pixels, compression == kRle4, x, height - 1 - y);
        return index ? PaletteColour(*index) : std::nullopt;
    }
    return RowPixel(Row(y), x);
}

std::vector<std::uint32_t> BmpDecodeDib32(const BmpInfo& info) {
    const std::size_t width = std::size_t(std::max(info.width, 0));
    const std::size_t height = std::size_t(std::max(info.height, 0));
    if (width == 0 || height == 0 || std::int64_t(width * height) > kBmpMaxPixels)
        return {};
    const auto dib = [](std::optional<Rgb> c) {
        return c ? Dib32Of(*c) : 0u;
    };
    if (info.compression == BmpInfo::kRle8 || info.compression == BmpInfo::kRle4) {
        std::vector<std::uint32_t> out(width * height, dib(info.PaletteColour(0)));
        std::vector<std::uint32_t> palette(std::size_t(info.PaletteSize()));
        for (std::size_t i = 0; i < palette.size(); ++i)
            palette[i] = dib(info.PaletteColour(int(i)));
        RunLengthWalk(info.pixels, info.compression == BmpInfo::kRle4,
                      [&](std::int64_t row, std::int64_t x, unsigned count, auto index) {
                          if (row >= std::int64_t(height))
                              return false; // rows only go up
                          const std::int64_t end = std::min<std::int64_t>(x + count, std::int64_t(width));
                          std::uint32_t* line = out.data() + (height - 1 - std::size_t(row)) * width;
                          for (std::int64_t px = x; px < end; ++px) {
                              const std::size_t i = std::size_t(index(px - x));
                              line[px] = i < palette.size() ? palette[i] : 0u;
                          }
                          return true;
                      });
        return out;
    }
    std::vector<std::uint32_t> out(width * height);
    for (std::size_t y = 0; y < height; ++y) {
        const std::span<const std::uint8_t> line = info.Row(int(y));
        for (std::size_t x = 0; x < width; ++x)
            out[y * width + x] = dib(info.RowPixel(line, int(x)));
    }
    return out;
}

} // namespace veltrane
