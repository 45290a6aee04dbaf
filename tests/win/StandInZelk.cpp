// A ZELK.dll that is not the simulated one, for the tests only: the six functions over a state kept
// in memory, and no mark of the simulated library (no VeltraneSimulatedDriverLibrary export, no
// version record). It stands for the driver's own library where a test needs another ZELK.dll.

#include <cstdint>
#include <cstring>

#include "driver/PartitionTable.h"

namespace {

using veltrane::PartitionTable;

PartitionTable g_table = [] {
    PartitionTable table{};
    table.letter[0] = 'C';
    table.protect[0] = 1;
    table.type[0] = 7; // NTFS
    table.SetSizeMb(0, 40960);
    return table;
}();
std::uint8_t g_protection = 1;

} // namespace

extern "C" {

std::uint8_t __stdcall fcGetPartition(PartitionTable* table) {
    *table = g_table;
    return 1;
}

std::uint8_t __stdcall fcSetPartition(PartitionTable* table) {
    g_table = *table;
    return 1;
}

std::uint8_t __stdcall fcGetProtection() {
    return g_protection;
}

std::uint8_t __stdcall fcSetProtection(std::uint32_t mode) {
    g_protection = std::uint8_t(mode);
    return 1;
}

std::uint8_t __stdcall fcCheckPassword(const char* password) {
    return std::strcmp(password, "admin") == 0 ? 1 : 0;
}

std::uint8_t __stdcall fcSetPassword(const char*) {
    return 1;
}

} // extern "C"
