#pragma once
// Decoding of JPEG pictures (the main window's banner) into 8-bit RGB through libjpeg.
// Damaged input never ends the process: every failure comes back as a status and a message.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace veltrane {

// Pictures beyond these are refused before anything is allocated for them. The banner is 600 x 61;
// a side of 1024 keeps the worst picture a few megabytes and some milliseconds.
inline constexpr int kJpegMaxSide = 1024;
inline constexpr long kJpegMaxLibraryMemory = 32L * 1024 * 1024;
// Progressive files may repeat scans without end; real ones have about ten.
inline constexpr int kJpegMaxScans = 256;

struct JpegLimits {
    int maxSide = kJpegMaxSide;
    long maxLibraryMemory = kJpegMaxLibraryMemory;
    int maxScans = kJpegMaxScans;
};

enum class JpegStatus { Ok, Empty, NotJpeg, Truncated, Corrupt, Unsupported, TooLarge };

struct JpegImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // rows top to bottom, three bytes per pixel, no padding

    struct Rgb {
        std::uint8_t r, g, b;
    };
    Rgb At(int x, int y) const;
};

struct JpegDecodeResult {
    JpegStatus status = JpegStatus::Corrupt;
    std::string message; // libjpeg's own words, or ours, when status is not Ok
    JpegImage image;     // empty unless status is Ok

    bool Ok() const { return status == JpegStatus::Ok; }
};

JpegDecodeResult JpegDecode(std::span<const std::uint8_t> data, const JpegLimits& limits = {});

const char* JpegStatusName(JpegStatus status);

// The pixels laid out for a top-down 24-bit device-independent bitmap: blue, green, red, each row
// padded to a multiple of four bytes.
inline constexpr int kDibRowAlign = 4;
std::size_t DibStride24(int width);
std::vector<std::uint8_t> JpegToDib24(const JpegImage& image);

} // namespace veltrane
