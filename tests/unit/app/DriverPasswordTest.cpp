#include <gtest/gtest.h>

#include <string>

#include "driver/DriverPassword.h"

namespace veltrane {
namespace {

TEST(DriverPasswordFits, AtMostEightBytesOfWellFormedCodePage936Text) {
    const struct {
        std::string bytes;
        bool fits;
    } cases[] = {
        {"", true},
        {"abcdefgh", true},
        {"abcdefghi", false},
        {"abcdefghijklmnop", false},                // what WM_SETTEXT once carried to the library
        {"\xD6\xD0\xCE\xC4\xD6\xD0\xCE\xC4", true}, // four Chinese characters
        {"a\xD6\xD0\xCE\xC4\xD6\xD0\xCE", false},   // nine bytes
        {"ab\xD6", false},                          // a lead byte without its trail byte
        {"\xD6\x7F", false},                        // not a trail byte
        {"\xD6\x30", false},
        {"a b~", true},
        {"\x80", true}, // the euro sign
        {"\xFF", false},
        {"ab\tc", false},
        {"ab\x7F", false},
        {std::string("a\0b", 3), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DriverPasswordFits(c.bytes), c.fits) << testing::PrintToString(c.bytes);
}

} // namespace
} // namespace veltrane
