#include "base/Bytes.h"

#include <gtest/gtest.h>

namespace veltrane {
namespace {

// Every byte value, so the neighbours of each range ('@', '[', '`', '{', '/', ':') and the bytes of
// GBK text (0x80 and above, negative as char) are all checked.
TEST(AsciiHelpers, OnlyAsciiLettersFoldAndOnlyHexDigitsHaveValues) {
    constexpr std::string_view kUpper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    constexpr std::string_view kLower = "abcdefghijklmnopqrstuvwxyz";
    constexpr std::string_view kHex = "0123456789abcdef";
    for (int byte = 0; byte < 256; ++byte) {
        const char c = char(byte);
        const auto upperAt = kUpper.find(c), lowerAt = kLower.find(c);
        EXPECT_EQ(AsciiLower(c), upperAt == kUpper.npos ? c : kLower[upperAt]) << byte;
        EXPECT_EQ(AsciiUpper(c), lowerAt == kLower.npos ? c : kUpper[lowerAt]) << byte;
        const auto hexAt = kHex.find(AsciiLower(c));
        EXPECT_EQ(HexDigitValue(c), hexAt == kHex.npos ? -1 : int(hexAt)) << byte;
    }
}

TEST(AsciiHelpers, CaseBlindEqualityFoldsLettersOnly) {
    EXPECT_TRUE(AsciiEqualNoCase("Harbor\\BG-Tabs.bmp", "harbor\\bg-tabs.BMP"));
    // A bit-flip fold would take these pairs, 0x20 apart, for one another.
    EXPECT_FALSE(AsciiEqualNoCase("@", "`"));
    EXPECT_FALSE(AsciiEqualNoCase("[", "{"));
    EXPECT_FALSE(AsciiEqualNoCase("\xC4", "\xE4"));
    EXPECT_FALSE(AsciiEqualNoCase("ab", "abc"));
}

} // namespace
} // namespace veltrane
