#include <gtest/gtest.h>

#include <cstring>

#include "driver/PartitionTable.h"

namespace veltrane {
namespace {

TEST(PartitionTable, SizesAreLittleEndianAndUnaligned) {
    PartitionTable table{};
    table.SetSizeMb(3, 0x11223344u);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&table);
    EXPECT_EQ(bytes[50 + 12], 0x44);
    EXPECT_EQ(bytes[50 + 13], 0x33);
    EXPECT_EQ(bytes[50 + 14], 0x22);
    EXPECT_EQ(bytes[50 + 15], 0x11);
    EXPECT_EQ(table.SizeMb(3), 0x11223344u);
    table.SetSizeMb(9, 4294967295u);
    EXPECT_EQ(table.SizeMb(9), 4294967295u);
    EXPECT_EQ(bytes[89], 0xFF);
}

TEST(PartitionTable, ClearZeroesEveryByteIncludingTheOpaqueBlock) {
    PartitionTable table;
    std::memset(&table, 0xA5, sizeof table);
    table.Clear();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&table);
    for (std::size_t i = 0; i < sizeof table; ++i)
        ASSERT_EQ(bytes[i], 0) << "byte " << i;
}

} // namespace
} // namespace veltrane
