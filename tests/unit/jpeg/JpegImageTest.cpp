#include "toolkit/jpeg/JpegImage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace veltrane {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kBannerWidth = 600;
constexpr int kBannerHeight = 61;
constexpr int kTolerance = 24;
constexpr std::uint8_t kSof0 = 0xC0;
constexpr std::uint8_t kSos = 0xDA;

Bytes ReadPicture(const std::string& name) {
    std::ifstream in(std::string(JPEG_TEST_PICTURES) + "/" + name, std::ios::binary);
    Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_FALSE(bytes.empty()) << name;
    return bytes;
}

const Bytes& Banner() {
    static const Bytes banner = ReadPicture("banner.jpg");
    return banner;
}

// Offset of the first segment with this marker, walking the segments after the start marker.
std::optional<std::size_t> FindSegment(const Bytes& jpeg, std::uint8_t marker) {
    std::size_t at = 2;
    while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF) {
        if (jpeg[at + 1] == marker)
            return at;
        if (jpeg[at + 1] == kSos)
            return std::nullopt;
        at += 2 + (std::size_t(jpeg[at + 2]) << 8 | jpeg[at + 3]);
    }
    return std::nullopt;
}

// Frame header fields, counted from the marker.
constexpr std::size_t kFramePrecision = 4;
constexpr std::size_t kFrameHeight = 5;
constexpr std::size_t kFrameWidth = 7;
constexpr std::size_t kFrameComponents = 9;
constexpr std::size_t kFirstQuantSelector = 12;

void Put16(Bytes& bytes, std::size_t at, unsigned value) {
    bytes[at] = std::uint8_t(value >> 8);
    bytes[at + 1] = std::uint8_t(value);
}

bool Near(JpegImage::Rgb pixel, int r, int g, int b) {
    return std::abs(pixel.r - r) <= kTolerance && std::abs(pixel.g - g) <= kTolerance &&
           std::abs(pixel.b - b) <= kTolerance;
}

std::string Describe(JpegImage::Rgb p) {
    return std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b);
}

TEST(JpegDecode, BannerDecodesToItsSizeAndColours) {
    const JpegDecodeResult result = JpegDecode(Banner());
    ASSERT_TRUE(result.Ok()) << result.message;
    ASSERT_EQ(result.image.width, kBannerWidth);
    ASSERT_EQ(result.image.height, kBannerHeight);
    ASSERT_EQ(result.image.rgb.size(), std::size_t(kBannerWidth) * kBannerHeight * 3);
    struct Spot {
        int x, y, r, g, b;
        const char* what;
    };
    const Spot spots[] = {
        {4, 20, 0x1F, 0x8A, 0x8C, "teal on the left"},
        {596, 20, 0xFF, 0xFF, 0xFF, "white on the right"},
        {24, 14, 0xFF, 0xFF, 0xFF, "shield face"},
        {300, 60, 0xEA, 0xEA, 0xEA, "light-grey bottom line"},
    };
    for (const Spot& spot : spots) {
        const JpegImage::Rgb pixel = result.image.At(spot.x, spot.y);
        EXPECT_TRUE(Near(pixel, spot.r, spot.g, spot.b)) << spot.what << ": " << Describe(pixel);
    }
}

TEST(JpegDecode, OtherEncodingsOfTheBannerDecodeToTheSamePicture) {
    const JpegImage banner = JpegDecode(Banner()).image;
    for (const char* name : {"progressive.jpg", "grey.jpg"}) {
        const JpegDecodeResult result = JpegDecode(ReadPicture(name));
        ASSERT_TRUE(result.Ok()) << name << ": " << result.message;
        ASSERT_EQ(result.image.width, kBannerWidth) << name;
        ASSERT_EQ(result.image.height, kBannerHeight) << name;
        const JpegImage::Rgb white = result.image.At(596, 20);
        EXPECT_TRUE(Near(white, 0xFF, 0xFF, 0xFF)) << name << ": " << Describe(white);
    }
    const JpegImage grey = JpegDecode(ReadPicture("grey.jpg")).image;
    const JpegImage::Rgb left = grey.At(4, 20);
    EXPECT_EQ(left.r, left.g);
    EXPECT_EQ(left.g, left.b);
    EXPECT_TRUE(Near(JpegDecode(ReadPicture("progressive.jpg")).image.At(4, 20), 0x1F, 0x8A, 0x8C));
}

TEST(JpegDecode, EveryCutShortBannerIsAnErrorWithoutPixels) {
    const Bytes& banner = Banner();
    for (std::size_t length = 0; length < banner.size(); ++length) {
        const JpegDecodeResult result = JpegDecode(std::span(banner.data(), length));
        const JpegStatus expected = length == 0   ? JpegStatus::Empty
                                    : length == 1 ? JpegStatus::NotJpeg
                                                  : JpegStatus::Truncated;
        ASSERT_EQ(result.status, expected) << "length " << length << ": " << result.message;
        ASSERT_FALSE(result.message.empty());
        ASSERT_TRUE(result.image.rgb.empty());
        ASSERT_EQ(result.image.width, 0);
    }
}

TEST(JpegDecode, ForeignDataIsNotAJpeg) {
    const Bytes inputs[] = {
        {0xFF},
        {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A},
        {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0},
        {'B', 'M', 0x36, 0, 0, 0},
        {0xD8, 0xFF, 0xE0},
        {0xFF, 0xD9},
    };
    for (const Bytes& input : inputs) {
        const JpegDecodeResult result = JpegDecode(input);
        EXPECT_EQ(result.status, JpegStatus::NotJpeg) << int(input[0]) << ": " << result.message;
    }
}

TEST(JpegDecode, DamagedHeadersAreRefusedWithTheirReason) {
    const std::size_t frame = FindSegment(Banner(), kSof0).value();
    struct Damage {
        const char* what;
        void (*apply)(Bytes&, std::size_t frame);
        JpegStatus expected;
    };
    const Damage damages[] = {
        {"12-bit samples", [](Bytes& b, std::size_t f) { b[f + kFramePrecision] = 12; },
         JpegStatus::Unsupported},
        {"zero width", [](Bytes& b, std::size_t f) { Put16(b, f + kFrameWidth, 0); }, JpegStatus::Corrupt},
        {"zero height", [](Bytes& b, std::size_t f) { Put16(b, f + kFrameHeight, 0); }, JpegStatus::Corrupt},
        {"no components", [](Bytes& b, std::size_t f) { b[f + kFrameComponents] = 0; }, JpegStatus::Corrupt},
        {"undefined quantisation table", [](Bytes& b, std::size_t f) { b[f + kFirstQuantSelector] = 3; },
         JpegStatus::Corrupt},
        {"wider than allowed", [](Bytes& b, std::size_t f) { Put16(b, f + kFrameWidth, kJpegMaxSide + 1); },
         JpegStatus::TooLarge},
        {"taller than allowed", [](Bytes& b, std::size_t f) { Put16(b, f + kFrameHeight, kJpegMaxSide + 1); },
         JpegStatus::TooLarge},
        {"largest dimensions",
         [](Bytes& b, std::size_t f) {
             Put16(b, f + kFrameWidth, 0xFFFF);
             Put16(b, f + kFrameHeight, 0xFFFF);
         },
         JpegStatus::TooLarge},
        {"frame length disagrees with its fields", [](Bytes& b, std::size_t f) { Put16(b, f + 2, 0xFFFF); },
         JpegStatus::Corrupt},
    };
    for (const Damage& damage : damages) {
        Bytes damaged = Banner();
        damage.apply(damaged, frame);
        const JpegDecodeResult result = JpegDecode(damaged);
        EXPECT_EQ(result.status, damage.expected) << damage.what << ": " << result.message;
        EXPECT_FALSE(result.message.empty()) << damage.what;
        EXPECT_TRUE(result.image.rgb.empty()) << damage.what;
    }
}

TEST(JpegDecode, CallersMayLowerTheSideLimit) {
    JpegLimits limits;
    limits.maxSide = 600;
    EXPECT_EQ(JpegDecode(Banner(), limits).status, JpegStatus::Ok);
    limits.maxSide = 599;
    const JpegDecodeResult refused = JpegDecode(Banner(), limits);
    EXPECT_EQ(refused.status, JpegStatus::TooLarge);
    EXPECT_EQ(refused.message, "picture is 600 x 61, larger than the allowed side of 599");
    EXPECT_TRUE(refused.image.rgb.empty());
}

TEST(JpegDecode, SkippedSegmentRunningPastTheEndIsTruncated) {
    Bytes damaged = Banner();
    const Bytes comment{0xFF, 0xFE, 0x7F, 0xFF, 'h', 'i'};
    damaged.insert(damaged.begin() + 2, comment.begin(), comment.end());
    damaged.resize(64);
    const JpegDecodeResult result = JpegDecode(damaged);
    EXPECT_EQ(result.status, JpegStatus::Truncated) << result.message;
}

TEST(JpegDecode, GarbageInTheScanIsCorrupt) {
    const Bytes& banner = Banner();
    struct Damage {
        const char* what;
        Bytes inserted;
        std::size_t fromEnd;
    };
    const Damage damages[] = {
        {"stray restart marker", {0xFF, 0xD0}, banner.size() / 2},
        {"stray end marker in the middle", {0xFF, 0xD9}, banner.size() / 2},
        // A few bytes would pass as entropy data; libjpeg reads at most four ahead.
        {"junk before the end marker", Bytes(64, 0x5A), 2},
    };
    for (const Damage& damage : damages) {
        Bytes damaged = banner;
        damaged.insert(damaged.end() - std::ptrdiff_t(damage.fromEnd), damage.inserted.begin(),
                       damage.inserted.end());
        const JpegDecodeResult result = JpegDecode(damaged);
        EXPECT_EQ(result.status, JpegStatus::Corrupt) << damage.what << ": " << result.message;
    }
}

TEST(JpegDecode, ColourSpacesWithoutRgbOutputAreUnsupported) {
    const JpegDecodeResult result = JpegDecode(ReadPicture("cmyk.jpg"));
    EXPECT_EQ(result.status, JpegStatus::Unsupported) << result.message;
    EXPECT_TRUE(result.image.rgb.empty());
}

TEST(JpegDecode, SingleBitFlipsNeverCrashAndNeverLeaveHalfPictures) {
    const Bytes& banner = Banner();
    for (std::size_t at = 2; at < banner.size(); at += 3) {
        Bytes damaged = banner;
        damaged[at] ^= std::uint8_t(1u << (at % 8));
        const JpegDecodeResult result = JpegDecode(damaged);
        if (result.Ok()) {
            ASSERT_EQ(result.image.rgb.size(), std::size_t(result.image.width) * result.image.height * 3);
        } else {
            ASSERT_TRUE(result.image.rgb.empty()) << at;
            ASSERT_FALSE(result.message.empty()) << at;
        }
    }
}

TEST(JpegToDib24, RowsAreBlueGreenRedAndPaddedToFourBytes) {
    struct Case {
        int width;
        std::size_t stride;
    };
    for (const Case c : {Case{1, 4}, Case{2, 8}, Case{3, 12}, Case{4, 12}, Case{5, 16}, Case{600, 1800}}) {
        EXPECT_EQ(DibStride24(c.width), c.stride) << c.width;
    }
    JpegImage image;
    image.width = 2;
    image.height = 2;
    image.rgb = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    EXPECT_EQ(JpegToDib24(image), (Bytes{3, 2, 1, 6, 5, 4, 0, 0, 9, 8, 7, 12, 11, 10, 0, 0}));
}

} // namespace
} // namespace veltrane
