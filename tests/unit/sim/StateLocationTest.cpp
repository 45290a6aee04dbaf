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

} // namespace
} // namespace veltrane::sim
