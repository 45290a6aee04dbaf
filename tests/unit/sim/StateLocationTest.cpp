#include "sim/StateLocation.h"

#include <gtest/gtest.h>

namespace veltrane::sim {
namespace {

// ZELK_SIM_STATE wins over an installed evaluation's record, which wins over the file beside the
// library; only the installed state is shared by every user of the machine.
TEST(StateLocationTest, VariableThenSetupRecordThenBesideTheLibrary) {
    struct Case {
        const wchar_t* variable;
        const wchar_t* installed;
        const wchar_t* path;
        StateOrigin origin;
        bool shared;
    };
    const Case cases[] = {
        {L"Z:\\tmp\\s.ini", L"C:\\ProgramData\\Veltrane\\ZELK.ini", L"Z:\\tmp\\s.ini", StateOrigin::kVariable,
         false},
        {L"", L"C:\\ProgramData\\Veltrane\\ZELK.ini", L"C:\\ProgramData\\Veltrane\\ZELK.ini",
         StateOrigin::kInstalled, true},
        {L"", L"", L"C:\\dist\\ZELK.ini", StateOrigin::kBesideLibrary, false},
    };
    for (const Case& c : cases) {
        const StateLocation location = ChooseStateLocation(c.variable, c.installed, L"C:\\dist\\");
        EXPECT_EQ(location.path, c.path);
        EXPECT_EQ(location.origin, c.origin);
        EXPECT_EQ(location.Shared(), c.shared);
    }
}

TEST(StateLocationTest, TemporaryNameCarriesEveryRandomByte) {
    const std::uint8_t random[16] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                     0x88, 0x99, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff};
    EXPECT_EQ(TemporaryStatePath(L"C:\\v\\ZELK.ini", random),
              L"C:\\v\\ZELK.ini.00112233445566778899aabbccddeeff.tmp");
}

} // namespace
} // namespace veltrane::sim
