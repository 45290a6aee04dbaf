#pragma once
// The six functions of ZELK.dll, bound when the process loads. Booleans come back in the low byte
// of the return register only: the upper bytes are undefined, so the result type is one byte.

#include <cstdint>

#include "driver/PartitionTable.h"

extern "C" {
std::uint8_t __stdcall fcGetPartition(veltrane::PartitionTable* table);
std::uint8_t __stdcall fcSetPartition(veltrane::PartitionTable* table);
std::uint8_t __stdcall fcGetProtection();
std::uint8_t __stdcall fcSetProtection(std::uint32_t mode);
std::uint8_t __stdcall fcSetPassword(const char* password);
std::uint8_t __stdcall fcCheckPassword(const char* password);
}
