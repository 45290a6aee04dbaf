#pragma once
// The record exchanged whole with the driver control library, and the work mode.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "base/Bytes.h"

namespace veltrane {

inline constexpr int kSlotCount = 10;
inline constexpr std::size_t kOpaqueSize = 20;

#pragma pack(push, 1)
struct PartitionTable {
    std::uint8_t opaque[kOpaqueSize]; // the driver's own bytes, passed back unchanged
    std::uint8_t letter[kSlotCount];
    std::uint8_t protect[kSlotCount]; // 1 = protected; only 0 or 1 are ever written back
    std::uint8_t type[kSlotCount];    // partition system id
    std::uint8_t size[kSlotCount][4]; // megabytes, little-endian, unaligned

    std::uint32_t SizeMb(int slot) const { return LoadLe32(size[slot], 0); }
    void SetSizeMb(int slot, std::uint32_t mb) { StoreLe32(size[slot], 0, mb); }
    void Clear() { std::memset(this, 0, sizeof *this); }
};
#pragma pack(pop)

static_assert(sizeof(PartitionTable) == 90);
static_assert(offsetof(PartitionTable, letter) == 20);
static_assert(offsetof(PartitionTable, protect) == 30);
static_assert(offsetof(PartitionTable, type) == 40);
static_assert(offsetof(PartitionTable, size) == 50);

// 1 = protected, 0 = not protected; handed to the library as its low byte.
using WorkMode = std::int32_t;
inline constexpr WorkMode kModeOpen = 0;
inline constexpr WorkMode kModeProtected = 1;

} // namespace veltrane
