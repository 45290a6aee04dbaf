#include <gtest/gtest.h>

#include "dialogs/PasswordRules.h"

namespace veltrane {
namespace {

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

} // namespace
} // namespace veltrane
