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

TEST(NewPasswordConfirmed, ExactByteComparison) {
    const struct {
        const char* entry;
        const char* confirmation;
        bool confirmed;
    } cases[] = {
        {"", "", true},
        {"abc", "abc", true},
        {"abc", "abd", false},
        {"abc", "", false},
        {"", "abc", false},
        {"abc", "ABC", false},
        {"abc", "abc ", false},
        {"abcdefgh", "abcdefgh", true},
        {"\xc3\xdc", "\xc3\xdc", true},
        {"\xc3\xdc", "\xc3\xdd", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NewPasswordConfirmed(c.entry, c.confirmation), c.confirmed)
            << c.entry << " / " << c.confirmation;
}

// Stands in for code page 936: ASCII one byte, the CJK block two, anything else unrepresentable.
std::size_t FakeWidth(wchar_t c) {
    return c < 0x80 ? 1 : (c >= 0x4E00 && c <= 0x9FFF) ? 2 : 0;
}

TEST(PasswordKeyAccepted, CountsBytesInTheLibrarysCodePage) {
    const struct {
        const wchar_t* text;
        std::size_t selectionStart, selectionEnd;
        wchar_t key;
        bool accepted;
    } cases[] = {
        {L"abcdefg", 7, 7, L'h', true},
        {L"abcdefgh", 8, 8, L'i', false},
        {L"中文ab", 4, 4, L'c', true},    // 6 bytes + 1
        {L"中文中", 3, 3, L'文', true},   // 6 + 2 = 8
        {L"中文中a", 4, 4, L'文', false}, // 7 + 2 = 9, though only 5 characters
        {L"中文中文", 0, 1, L'x', true},  // the selection is replaced: 6 + 1
        {L"中文中文", 0, 4, L'文', true},
        {L"", 0, 0, L'\u00e9', false},       // not in the code page: refused, never sent as '?'
        {L"", 0, 0, wchar_t(0xD83D), false}, // half of a pair
        {L"中文中文", 4, 4, L'\b', true},    // editing keys always pass
        {L"中文中文", 4, 4, wchar_t(1), true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PasswordKeyAccepted(c.text, c.selectionStart, c.selectionEnd, c.key, FakeWidth), c.accepted)
            << int(c.key) << " after " << std::wstring_view(c.text).size() << " characters";
}

} // namespace
} // namespace veltrane
