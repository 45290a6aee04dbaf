#include <gtest/gtest.h>

#include <cstring>

#include "app/PartitionRows.h"
#include "tests/unit/app/FakeDriver.h"

namespace veltrane {
namespace {

PartitionTable TableWith(
    std::initializer_list<std::tuple<int, std::uint8_t, std::uint8_t, std::uint8_t, std::uint32_t>> slots) {
    PartitionTable table{};
    for (auto [slot, letter, protect, type, size] : slots) {
        table.letter[slot] = letter;
        table.protect[slot] = protect;
        table.type[slot] = type;
        table.SetSizeMb(slot, size);
    }
    return table;
}

TEST(PartitionRows, OnlyLettersCToZAreShownInSlotOrder) {
    const auto rows = PartitionRows(TableWith({{0, 'A', 1, 7, 1},
                                               {1, 'C', 1, 7, 2},
                                               {2, 0, 1, 7, 3},
                                               {3, 'Z', 0, 7, 4},
                                               {4, 'B', 0, 7, 5},
                                               {5, 'c', 0, 7, 6},
                                               {6, '[', 0, 7, 7},
                                               {7, 0xC3, 0, 7, 8}}));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].drive, L"C:\\");
    EXPECT_EQ(rows[0].slot, 1);
    EXPECT_EQ(rows[1].drive, L"Z:\\");
    EXPECT_EQ(rows[1].slot, 3);
}

TEST(PartitionRows, TypeNames) {
    const struct {
        std::uint8_t id;
        const wchar_t* name;
    } cases[] = {{7, L"NTFS"},   {11, L"FAT32"},    {12, L"FAT32"},    {6, L"Unknow"},
                 {0, L"Unknow"}, {0x0E, L"Unknow"}, {0x83, L"Unknow"}, {0xFF, L"Unknow"}};
    for (const auto& c : cases)
        EXPECT_EQ(PartitionTypeName(c.id), c.name) << int(c.id);
}

TEST(PartitionRows, TickOnlyForProtectEqualToOne) {
    const auto rows = PartitionRows(
        TableWith({{0, 'C', 0, 7, 1}, {1, 'D', 1, 7, 1}, {2, 'E', 2, 7, 1}, {3, 'F', 0xFF, 7, 1}}));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_FALSE(rows[0].ticked);
    EXPECT_TRUE(rows[1].ticked);
    EXPECT_FALSE(rows[2].ticked);
    EXPECT_FALSE(rows[3].ticked);
}

TEST(PartitionRows, SizesAreUnsignedDecimal) {
    const auto rows = PartitionRows(
        TableWith({{0, 'C', 0, 7, 4294967295u}, {1, 'D', 0, 7, 0}, {2, 'E', 0, 7, 2147483648u}}));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].sizeMb, L"4294967295");
    EXPECT_EQ(rows[1].sizeMb, L"0");
    EXPECT_EQ(rows[2].sizeMb, L"2147483648");
}

TEST(ReadDriverState, ReadsTableThenModeAndZeroFillsFirst) {
    testing::FakeDriver driver;
    driver.stored = TableWith({{0, 'C', 1, 7, 40960}});
    driver.protection = true;
    PartitionTable table;
    std::memset(&table, 0xEE, sizeof table);
    driver.reachable = false; // the table must then stay zero-filled
    int reports = 0;
    DriverState state = ReadDriverState(driver, table, [&] {
        ++reports;
        EXPECT_EQ(driver.calls, std::vector<std::string>{"fcGetPartition"})
            << "reported before the mode is read";
    });
    EXPECT_EQ(reports, 1);
    EXPECT_FALSE(state.reachable);
    EXPECT_TRUE(state.rows.empty());
    EXPECT_EQ(state.mode, kModeProtected);
    EXPECT_EQ(driver.calls, (std::vector<std::string>{"fcGetPartition", "fcGetProtection"}));
    for (auto b : table.letter)
        EXPECT_EQ(b, 0);

    driver.calls.clear();
    driver.reachable = true;
    driver.protection = false;
    state = ReadDriverState(driver, table, [&] { ++reports; });
    EXPECT_EQ(reports, 1);
    EXPECT_TRUE(state.reachable);
    ASSERT_EQ(state.rows.size(), 1u);
    EXPECT_TRUE(state.rows[0].ticked);
    EXPECT_EQ(state.mode, kModeOpen);
    EXPECT_EQ(driver.calls, (std::vector<std::string>{"fcGetPartition", "fcGetProtection"}));
}

// A later showing keeps the record it has when the driver does not answer: OK then never writes back
// a zero-filled table.
TEST(RefreshDriverState, ReplacesTheRecordOnlyWhenTheDriverAnswered) {
    testing::FakeDriver driver;
    driver.stored = TableWith({{0, 'D', 1, 7, 512}});
    PartitionTable table = TableWith({{0, 'C', 0, 7, 40960}});
    const PartitionTable before = table;
    driver.reachable = false;
    int reports = 0;
    EXPECT_FALSE(RefreshDriverState(driver, table, [&] { ++reports; }));
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(std::memcmp(&table, &before, sizeof table), 0);

    driver.reachable = true;
    const std::optional<DriverState> state = RefreshDriverState(driver, table, [&] { ++reports; });
    ASSERT_TRUE(state);
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(state->rows.size(), 1u);
    EXPECT_EQ(std::memcmp(&table, &driver.stored, sizeof table), 0);
}

TEST(LastColumnWidth, LeavesTheRestAndNeverFallsBelowFive) {
    EXPECT_EQ(LastColumnWidth(541, false, 17), 291);
    EXPECT_EQ(LastColumnWidth(541, true, 17), 274);
    EXPECT_EQ(LastColumnWidth(250, false, 17), 5);
    EXPECT_EQ(LastColumnWidth(260, true, 17), 5);
    EXPECT_EQ(LastColumnWidth(0, false, 17), 5);
}

} // namespace
} // namespace veltrane
